#include "link/command_builder.h"

#include "data/record_codec.h"
#include "data/satellite_tables.h"
#include "link/link_state.h"

namespace {

// Writes the code byte, then lets body write the fields that follow it.
template <typename Body>
Command build(std::uint8_t code, Body body) {
    Command command;
    PayloadWriter out(command.bytes);
    out.U8(code);
    body(out);
    if (!out.overflowed()) command.length = static_cast<std::uint8_t>(out.size());
    return command;
}

bool isPlain(std::uint8_t code) {
    return (code >= cmd::LinkCheck && code <= cmd::CurrentRegion) || code == cmd::ChainEnd ||
           (code >= cmd::UploadEnd && code <= cmd::SetupMode) || code == cmd::DiagnosisStart ||
           code == cmd::DiagnosisStop || code == cmd::FactoryDefault ||
           (code >= cmd::LcdReadFirst && code <= cmd::LcdReadLast);
}

}  // namespace

Command plainCommand(std::uint8_t code) {
    if (!isPlain(code)) return {};
    return build(code, [](PayloadWriter&) {});
}

Command regionSatelliteCommand(std::uint8_t index) {
    return build(cmd::RegionSatellite, [&](PayloadWriter& out) { out.U8(index); });
}

Command announcementCommand(const SatelliteTables& tables) {
    // RegionMode 6..11: one continent; 12: all of them; 0..5: a single region.
    return build(cmd::RegionCountAnnouncement, [&](PayloadWriter& out) {
        const std::uint8_t mode = tables.RegionMode;
        out.U8(mode);
        if (mode >= 6 && mode <= 11) {
            out.U8(tables.RegionCount[mode - 6]);
        } else if (mode == 12) {
            for (std::uint8_t count : tables.RegionCount) out.U8(count);
        } else {
            out.U8(tables.RegionSelector);
        }
    });
}

Command uploadStartCommand(const SatelliteTables& tables, std::uint32_t continentSelection,
                           std::uint32_t regionSelection) {
    return build(cmd::UploadStart, [&](PayloadWriter& out) {
        out.BE16(tables.SifHeaderNumber);
        for (std::uint8_t count : tables.RegionCount) out.U8(count);
        out.U8(continentSelection);
        out.U8(regionSelection);
    });
}

Command regionRecordCommand(std::uint8_t code, const SatelliteTables& tables,
                            std::uint32_t continent, std::uint32_t region) {
    return build(code, [&](PayloadWriter& out) {
        out.U8(continent);
        out.U8(region);
        writeRegionBody(out, regionRecord(tables, continent, region));
    });
}

Command satelliteRecordCommand(std::uint8_t code, const SatelliteTables& tables,
                               std::uint32_t index) {
    return build(code, [&](PayloadWriter& out) {
        writeSatelliteRecord(
            out, satelliteByNumber(tables, index < kSatelliteTableSize ? index + 1 : 0));
    });
}

Command targetChangeCommand(std::uint8_t position) {
    return build(cmd::TargetChange, [&](PayloadWriter& out) { out.U8(position); });
}

Command editSatelliteCommand(std::uint8_t index, const SatelliteRecord& satellite) {
    return build(cmd::EditSatellite, [&](PayloadWriter& out) {
        out.U8(index);
        writeSatelliteRecord(out, satellite);
    });
}

Command localFrequencyCommand(std::uint8_t lnbType, std::uint32_t singleBandFrequency) {
    return build(cmd::SetLocalFrequency, [&](PayloadWriter& out) {
        out.U8(lnbType);
        if (lnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
            out.BE16(singleBandFrequency);
        }
    });
}

Command diseqcCommand(std::uint8_t mode) {
    return build(cmd::SetDiseqc, [&](PayloadWriter& out) { out.U8(mode); });
}

Command goToPositionCommand(double az, double el) {
    return build(cmd::GoToPosition, [&](PayloadWriter& out) {
        out.SGN100(az);
        out.SGN100(el);
    });
}

Command moveCommand(std::uint8_t code, double target) {
    if (code < cmd::MoveAzimuth || code > cmd::MoveSkew) return {};
    return build(code, [&](PayloadWriter& out) { out.SGN100(target); });
}

Command parametersCommand(const AntennaParameters& p) {
    return build(cmd::SetParameters, [&](PayloadWriter& out) {
        out.X100(p.ParTrackingScale);
        out.BE16(static_cast<std::uint32_t>(p.ParDetectLevel));
        out.BE16(static_cast<std::uint32_t>(p.ParTrackingLevel));
        out.SGN100(p.ParElAdjust);
        out.SGN100(p.ParSkewAdjust);
        out.BE16(static_cast<std::uint32_t>(p.ParSignalLostTime));
        out.BE16(static_cast<std::uint32_t>(p.ParBreakTime));
    });
}

Command lcdWriteCommand(std::uint8_t code, const LcdDataBlock& block) {
    if (code < cmd::LcdWriteFirst || code > cmd::LcdWriteLast) return {};
    const LcdPiece& piece = kLcdPieces[code - cmd::LcdWriteFirst];
    return build(code, [&](PayloadWriter& out) {
        out.CHARS(std::span<const std::uint8_t>(block).subspan(piece.offset, piece.size));
    });
}

Command BuildCommand(std::uint8_t code, const LinkState& state) {
    const UploadCursor& cursor = state.upload;
    switch (code) {
        case cmd::RegionSatellite:
            return regionSatelliteCommand(state.ReceiveSatIndex);
        case cmd::RegionCountAnnouncement:
            return announcementCommand(state.data);
        case cmd::UploadStart:
            return uploadStartCommand(state.data, cursor.UploadContinent, cursor.UploadRegion);
        case cmd::RegionRecord:
        case cmd::UploadRegion:
            return regionRecordCommand(code, state.data, cursor.UploadContinent,
                                       cursor.UploadRegion);
        case cmd::SatelliteRecord:
        case cmd::UploadSatellite:
            return satelliteRecordCommand(code, state.data, cursor.UploadSatIndex);
        default:
            if (code >= cmd::LcdWriteFirst && code <= cmd::LcdWriteLast) {
                return lcdWriteCommand(code, state.LcdData);
            }
            return plainCommand(code);
    }
}
