#include "link/command_builder.h"

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/record_codec.h"
#include "data/satellite_tables.h"
#include "data/upload_state.h"
#include "lcd/lcd_data.h"
#include "link/controller_view.h"
#include "link/link_state.h"
#include "wire/protocol.h"

namespace {

// g_RegionMode 6..11: one continent; 12: all of them; 0..5: a single region.
void writeRegionCountAnnouncement(PayloadWriter& out) {
    out.U8(g_RegionMode);
    if (g_RegionMode >= 6 && g_RegionMode <= 11) {
        out.U8(g_RegionCount[g_RegionMode - 6]);
    } else if (g_RegionMode == 12) {
        for (std::uint8_t count : g_RegionCount) out.U8(count);
    } else {
        out.U8(g_RegionSelector);
    }
}

void writeUploadStart(PayloadWriter& out, const ControllerView& view) {
    // Stored as read: an empty selection is -1 here and 0xFF on the line.
    g_UploadContinent = static_cast<std::uint32_t>(view.adminContinentSelection());
    g_UploadRegion = static_cast<std::uint32_t>(view.adminRegionSelection());
    out.BE16(g_SifHeaderNumber);
    for (std::uint8_t count : g_RegionCount) out.U8(count);
    out.U8(g_UploadContinent);
    out.U8(g_UploadRegion);
}

void writeUploadRegion(PayloadWriter& out) {
    out.U8(g_UploadContinent);
    out.U8(g_UploadRegion);
    writeRegionBody(out, regionRecord(g_UploadContinent, g_UploadRegion));
}

// Upload cursors index the whole table; past its end an all-zero record goes out.
const SatelliteRecord& uploadSatellite() {
    return satelliteByNumber(g_UploadSatIndex < kSatelliteTableSize ? g_UploadSatIndex + 1 : 0);
}

const SatelliteRecord& editSatellite() {
    static const SatelliteRecord kNone{};
    return g_EditSatIndex < g_EditSatellites.size() ? g_EditSatellites[g_EditSatIndex] : kNone;
}

void writeParameters(PayloadWriter& out) {
    out.X100(g_ParTrackingScale);
    out.BE16(static_cast<std::uint32_t>(g_ParDetectLevel));
    out.BE16(static_cast<std::uint32_t>(g_ParTrackingLevel));
    out.SGN100(g_ParElAdjust);
    out.SGN100(g_ParSkewAdjust);
    out.BE16(static_cast<std::uint32_t>(g_ParSignalLostTime));
    out.BE16(static_cast<std::uint32_t>(g_ParBreakTime));
}

void writeLcdPiece(PayloadWriter& out, std::uint8_t code) {
    const LcdPiece& piece = kLcdPieces[code - cmd::LcdWriteFirst];
    out.CHARS(std::span<const std::uint8_t>(g_LcdData).subspan(piece.offset, piece.size));
}

// Writes the fields that follow the code byte; false for the codes that have no command.
bool writeCommandBody(std::uint8_t code, const ControllerView& view, PayloadWriter& out) {
    switch (code) {
        case cmd::RegionSatellite:
            out.U8(g_ReceiveSatIndex);
            return true;
        case cmd::RegionCountAnnouncement:
            writeRegionCountAnnouncement(out);
            return true;
        case cmd::RegionRecord:
        case cmd::UploadRegion:
            writeUploadRegion(out);
            return true;
        case cmd::SatelliteRecord:
        case cmd::UploadSatellite:
            writeSatelliteRecord(out, uploadSatellite());
            return true;
        case cmd::UploadStart:
            writeUploadStart(out, view);
            return true;
        case cmd::TargetChange:
            out.U8(g_DefaultSatIndex);
            return true;
        case cmd::EditSatellite:
            out.U8(g_EditSatIndex);
            writeSatelliteRecord(out, editSatellite());
            return true;
        case cmd::SetLocalFrequency:
            out.U8(g_LnbType);
            if (g_LnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
                out.BE16(g_LocalFreqSingle);
            }
            return true;
        case cmd::SetDiseqc:
            out.U8(g_DiseqcMode);
            return true;
        case cmd::GoToPosition:
            out.SGN100(g_TargetAz);
            out.SGN100(g_TargetEl);
            return true;
        case cmd::MoveAzimuth:
            out.SGN100(g_TargetAz);
            return true;
        case cmd::MoveElevation:
            out.SGN100(g_TargetEl);
            return true;
        case cmd::MoveSkew:
            out.SGN100(g_TargetSkew);
            return true;
        case cmd::SetParameters:
            writeParameters(out);
            return true;
        case 0:
        case 5:
        case cmd::DiagnosisItem:
        case cmd::DiagnosisResult:
        case cmd::FactoryProgress:
        case cmd::FactoryDone:
            return false;
        default:
            if (code >= cmd::LcdWriteFirst && code <= cmd::LcdWriteLast) {
                writeLcdPiece(out, code);
                return true;
            }
            // The rest carry nothing but their code: 1, 2, 3, 9, 13..16, 21, 24, 30, 38..42.
            return code <= cmd::Last;
    }
}

}  // namespace

std::uint8_t buildCommandPayload(std::uint8_t code, const ControllerView& view,
                                 std::span<std::uint8_t> payload) {
    // Built aside first so that a code without a command leaves the buffer untouched.
    std::uint8_t scratch[kMaxFrameSize];
    PayloadWriter out(scratch);
    out.U8(code);
    if (!writeCommandBody(code, view, out) || out.overflowed() || out.size() > payload.size()) {
        return 0;
    }
    for (std::size_t i = 0; i < out.size(); ++i) payload[i] = scratch[i];
    return static_cast<std::uint8_t>(out.size());
}
