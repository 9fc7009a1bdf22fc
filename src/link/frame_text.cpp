#include "link/frame_text.h"

#include "data/record_codec.h"
#include "link/reply_decode.h"
#include "wire/display_text.h"
#include "wire/encoding.h"
#include "wire/frame.h"

namespace {

struct CodeNames {
    const char* command;
    const char* reply;
};

// Index: the code. Replies without data confirm their command.
constexpr CodeNames kNames[cmd::Last + 1] = {
    {"", ""},
    {"Link check", "Link check"},
    {"Antenna information request", "Antenna information"},
    {"Current region request", "Current region"},
    {"Region satellite request", "Region satellite"},
    {"", ""},
    {"Region count announcement", "Region count announcement"},
    {"Region record", "Region record received"},
    {"Satellite record", "Satellite record received"},
    {"End of default data", "End of default data received"},
    {"Default data upload start", "Default data upload started"},
    {"Region record", "Region record received"},
    {"Satellite record", "Satellite record received"},
    {"Default data upload end", "Default data upload ended"},
    {"Status poll", "Status"},
    {"Antenna restart", "Antenna restart done"},
    {"Enter setup mode", "Setup mode"},
    {"Target satellite change", "Target satellite changed"},
    {"Edit satellite information", "Edit satellite information done"},
    {"Set local frequency", "Set local frequency done"},
    {"Set DiSEqC use", "Set DiSEqC use done"},
    {"Diagnosis start", "Diagnosis started"},
    {"", "Diagnosis item under test"},
    {"", "Diagnosis item result"},
    {"Diagnosis stop", "Diagnosis stopped"},
    {"Go to position", "Go to position done"},
    {"Move azimuth", "Move azimuth done"},
    {"Move elevation", "Move elevation done"},
    {"Move skew", "Move skew done"},
    {"Set antenna parameters", "Set antenna parameters done"},
    {"Factory default setting", "Factory default started"},
    {"", "Factory default progress"},
    {"", "Factory default finished"},
    {"LCD data write, part 1", "LCD data write, part 1 done"},
    {"LCD data write, part 2", "LCD data write, part 2 done"},
    {"LCD data write, part 3", "LCD data write, part 3 done"},
    {"LCD data write, part 4", "LCD data write, part 4 done"},
    {"LCD data write, part 5", "LCD data write, part 5 done"},
    {"LCD data read start", "LCD data read, part 1"},
    {"LCD data read, part 2", "LCD data read, part 2"},
    {"LCD data read, part 3", "LCD data read, part 3"},
    {"LCD data read, part 4", "LCD data read, part 4"},
    {"LCD data read, part 5", "LCD data read, part 5"},
};

// A code past its list shows as its number in brackets, so the line still says what came.
std::string pick(std::uint8_t code, std::initializer_list<const char*> texts) {
    if (std::optional<std::string> text = codeText(code, texts)) return *text;
    // Appended rather than "(" + ...: GCC 12 at -O3 takes that prepend for an overlapping copy.
    std::string number = "(";
    number += numberText(code);
    number += ')';
    return number;
}

char printable(char c) {
    return c >= 0x20 && c < 0x7F ? c : '?';
}

// A fixed-width text field, without its padding (blanks, or NULs from some units); bytes that are
// not printable ASCII are shown as \xNN so nothing on the line is hidden or garbles the log.
std::string quoted(std::span<const std::uint8_t> field) {
    std::size_t end = field.size();
    while (end > 0 && (field[end - 1] == ' ' || field[end - 1] == 0)) --end;
    std::string text = "\"";
    for (std::size_t i = 0; i < end; ++i) {
        const std::uint8_t c = field[i];
        text += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c))
                                      : formatText("\\x%02X", static_cast<unsigned>(c));
    }
    return text + "\"";
}

std::string volts(double value) {
    return formatText("%.2fV", value);
}

std::string receiverText(double supply, std::uint8_t output18V, std::uint8_t tone22k) {
    return "receiver " + volts(supply) + (output18V != 0 ? " 18V" : " 13V") +
           (tone22k != 0 ? " 22kHz" : " 0kHz");
}

std::string satelliteText(const SatelliteRecord& sat) {
    std::string text = "sat " + numberText(sat.number) + " " + quoted(sat.name) +
                       formatText(" %.1f%c", sat.longitude, printable(sat.eastWest));
    const auto transponder = [](const char* name, std::uint32_t freq, std::uint32_t rate,
                                std::uint32_t nid) {
        return std::string(", ") + name + " " + numberText(freq) + "/" + numberText(rate) + "/" +
               numberText(nid);
    };
    text += transponder("VL", sat.vLowFreq, sat.vLowSymbolRate, sat.vLowNid);
    text += transponder("VH", sat.vHighFreq, sat.vHighSymbolRate, sat.vHighNid);
    text += transponder("HL", sat.hLowFreq, sat.hLowSymbolRate, sat.hLowNid);
    text += transponder("HH", sat.hHighFreq, sat.hHighSymbolRate, sat.hHighNid);
    text += ", " + pick(sat.verification, {"Signal Level", "DVB Lock", "DVB Decode", "DSS Decode"});
    text += ", pol " + pick(sat.polarization, {"Auto", "+13V", "+18V"});
    text += ", tone " + pick(sat.tone, {"Auto", "0kHz", "22kHz"});
    return text;
}

std::string regionText(const RegionRecord& region) {
    std::string text = quoted(region.name) + ", " + numberText(region.satelliteCount) +
                       " satellites, default " + numberText(region.defaultSatellite) + ", list";
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        text += ' ';
        text += numberText(region.satelliteList[k]);
    }
    text += region.lnbType == 0 ? ", LNB Single Band " + numberText(region.singleLocalFreq)
                                : ", LNB " + pick(region.lnbType, {"", "Universal"}) + " " +
                                      numberText(region.universalLowLocalFreq) + "/" +
                                      numberText(region.universalHighLocalFreq);
    text += ", DiSEqC " + pick(region.diseqcMode, {"Not Use", "Change Band", "Change Satellite"});
    text += formatText(", GPS %.2f%c %.2f%c", region.gpsLongitude, printable(region.gpsEastWest),
                       region.gpsLatitude, printable(region.gpsNorthSouth));
    return text;
}

std::string positions(PayloadReader& in, std::initializer_list<const char*> axes) {
    std::string text;
    for (const char* axis : axes) {
        if (!text.empty()) text += " ";
        text += std::string(axis) + " " + positionText(in.SGN100());
    }
    return text;
}

std::string commandFields(std::span<const std::uint8_t> payload) {
    PayloadReader in(payload.subspan(1));
    const std::uint8_t code = payload[0];
    std::string text;
    switch (code) {
        case cmd::RegionSatellite:
            text = "index " + numberText(in.U8());
            break;
        case cmd::RegionCountAnnouncement: {
            // Only the continent modes 6..12 carry region counts; any other mode carries the
            // region selector.
            const std::uint8_t mode = in.U8();
            text = "mode " + numberText(mode);
            if (mode < 6 || mode > 12) {
                text += ", selector " + numberText(in.U8());
                break;
            }
            text += ", counts";
            while (in.position() < payload.size() - 1) text += " " + numberText(in.U8());
            break;
        }
        case cmd::RegionRecord:
        case cmd::UploadRegion: {
            const std::uint8_t continent = in.U8();
            const std::uint8_t region = in.U8();
            text = "continent " + numberText(continent) + " region " + numberText(region) + ", " +
                   regionText(readRegionBody(in));
            break;
        }
        case cmd::SatelliteRecord:
        case cmd::UploadSatellite:
            text = satelliteText(readSatelliteRecord(in));
            break;
        case cmd::UploadStart: {
            text = "header " + numberText(in.BE16()) + ", regions";
            for (std::size_t c = 0; c < kContinentCount; ++c) text += " " + numberText(in.U8());
            const std::uint8_t continent = in.U8();
            text += ", continent " + numberText(continent) + " region " + numberText(in.U8());
            break;
        }
        case cmd::TargetChange:
            text = "target " + numberText(in.U8());
            break;
        case cmd::EditSatellite: {
            text = "index " + numberText(in.U8());
            text += ", " + satelliteText(readSatelliteRecord(in));
            break;
        }
        case cmd::SetLocalFrequency: {
            const std::uint8_t lnb = in.U8();
            text = pick(lnb, {"Single Band", "Universal"});
            if (lnb == 0) text += " " + numberText(in.BE16()) + " MHz";
            break;
        }
        case cmd::SetDiseqc:
            text = pick(in.U8(), {"Not Use", "Change Band", "Change Satellite"});
            break;
        case cmd::GoToPosition:
            text = positions(in, {"AZ", "EL"});
            break;
        case cmd::MoveAzimuth:
            text = positions(in, {"AZ"});
            break;
        case cmd::MoveElevation:
            text = positions(in, {"EL"});
            break;
        case cmd::MoveSkew:
            text = positions(in, {"Skew"});
            break;
        case cmd::SetParameters: {
            text = formatText("tracking scale %.2f", in.X100());
            text += ", detect level " + numberText(in.BE16());
            text += ", tracking level " + numberText(in.BE16());
            text += ", EL adjust " + positionText(in.SGN100());
            text += ", skew adjust " + positionText(in.SGN100());
            text += ", signal lost " + numberText(in.BE16());
            text += ", break " + numberText(in.BE16());
            break;
        }
        default:
            if (code >= cmd::LcdWriteFirst && code <= cmd::LcdWriteLast) {
                text = quoted(payload.subspan(1));
            }
            break;
    }
    if (in.exhausted()) text += " (short frame)";
    return text;
}

std::string replyFields(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (payload.size() < replyLength(code)) {
        return formatText("short frame, %zu of %zu bytes", payload.size(), replyLength(code));
    }
    switch (code) {
        case cmd::LinkCheck:
            return antennaStateText(payload[1]);
        case cmd::AntennaInformation: {
            const auto info = decodeProductInfo(payload);
            if (!info) return {};
            return "type " + numberText(info->AntennaType) + ", model " +
                   numberText(info->AntennaModel) + ", skewless " + numberText(info->SkewlessFlag) +
                   ", " + quoted(info->ModelName) + ", serial " + quoted(info->SerialNumber) +
                   formatText(", ANT SW %.2f, ACU SW %.2f, library %.2f", info->AntSwVersion,
                              info->AcuSwVersion, info->LibraryVersion) +
                   ", antenna " + volts(info->AntennaPowerV) + ", ACU " + volts(info->AcuPowerV) +
                   ", " + receiverText(info->ReceiverV, info->Receiver18V, info->Receiver22k);
        }
        case cmd::CurrentRegion: {
            const auto reply = decodeRegionReply(payload);
            if (!reply) return "region outside the tables, not stored";
            return "continent " + numberText(reply->continent) + " region " +
                   numberText(reply->region) + " of " + numberText(reply->regionCount) + ", " +
                   regionText(reply->record);
        }
        case cmd::RegionSatellite: {
            const auto reply = decodeSatelliteReply(payload);
            if (!reply) return {};
            return "index " + numberText(reply->index) + ", " + satelliteText(reply->record);
        }
        case cmd::StatusPoll: {
            const auto s = decodeStatusReply(payload);
            if (!s) return {};
            const std::string gps = s->gpsLinkState == 1 ? "GPS Link"
                                    : s->gpsLinkState == 2
                                        ? "GPS Not Link"
                                        : "GPS state " + numberText(s->gpsLinkState);
            // The position comes before GPS and receiver: it is what changes from one poll to
            // the next, and the monitor's Meaning column shows the start of the text only.
            return "target " + numberText(s->defaultSatIndex) + ", " +
                   antennaStateText(s->antennaMode) + ", signal " + numberText(s->signalLevel) +
                   ", AZ " + positionText(s->az) + " EL " + positionText(s->el) + " Skew " +
                   positionText(s->skew) + ", " + gps +
                   formatText(" %.2f%c %.2f%c", s->gpsLongitude, printable(s->gpsEastWest),
                              s->gpsLatitude, printable(s->gpsNorthSouth)) +
                   ", " + receiverText(s->receiverV, s->receiver18V, s->receiver22k);
        }
        case cmd::SetupMode: {
            const auto s = decodeSetupReply(payload);
            if (!s) return {};
            return antennaStateText(s->antennaMode) + ", AZ " + positionText(s->az) + " EL " +
                   positionText(s->el) + " Skew " + positionText(s->skew);
        }
        case cmd::DiagnosisItem:
            return diagnosisItemText(payload[1]);
        case cmd::DiagnosisResult:
            return diagnosisItemText(payload[1]) + (payload[2] == 'P' ? " PASS" : " FAIL");
        case cmd::FactoryDefault:
            return "total " + numberText(payload[1] * 256u + payload[2]);
        case cmd::FactoryProgress:
            return "at " + numberText(payload[1] * 256u + payload[2]);
        default:
            if (code >= cmd::LcdReadFirst && code <= cmd::LcdReadLast) {
                return quoted(payload.subspan(1, replyLength(code) - 1));
            }
            return {};
    }
}

}  // namespace

std::string antennaStateText(std::uint8_t mode) {
    std::string text = "state " + std::to_string(mode);
    if (const char* name = antennaModeName(mode); *name != 0) return text + " " + name;
    return text;
}

std::string diagnosisItemText(std::uint8_t item) {
    std::string text = "item " + std::to_string(item);
    if (item >= 1 && item <= 10) return text + " " + diagnosisItemName(item);
    if (item == 11) return text + " end of test";
    return text;
}

std::string frameName(std::uint8_t code, bool fromAcu) {
    if (code > cmd::Last) return {};
    return fromAcu ? kNames[code].reply : kNames[code].command;
}

std::string frameMeaning(std::span<const std::uint8_t> frame, bool fromAcu) {
    if (frame.size() < kFrameOverhead || frame[0] != kStx ||
        frame.size() != frame[1] + kFrameOverhead) {
        return formatText("Malformed frame of %zu bytes", frame.size());
    }
    const auto payload = frame.subspan(2, frame[1]);
    const std::uint8_t checksum = frameChecksum(payload);
    const std::string name = payload.empty() ? std::string() : frameName(payload[0], fromAcu);
    if (frame.back() != kEtx) {
        return formatText("Rejected, end byte %02X instead of 03", frame.back()) +
               (name.empty() ? "" : ": " + name);
    }
    if (frame[frame.size() - 2] != checksum) {
        return formatText("Rejected, checksum %02X instead of %02X", frame[frame.size() - 2],
                          checksum) +
               (name.empty() ? "" : ": " + name);
    }
    if (payload.empty()) return "Empty frame";
    if (name.empty()) return "Unknown code " + numberText(payload[0]);
    const std::string fields = fromAcu ? replyFields(payload) : commandFields(payload);
    return fields.empty() ? name : name + ": " + fields;
}

const char* trafficDirection(const TrafficEntry& entry) {
    if (entry.kind == TrafficKind::LinkOpened) return "------";
    return entry.fromAcu() ? "ACU>PC" : "PC>ACU";
}

std::string trafficCode(const TrafficEntry& entry) {
    return entry.code() < 0 ? "-" : numberText(static_cast<std::uint32_t>(entry.code()));
}

std::string trafficMeaning(const TrafficEntry& entry) {
    switch (entry.kind) {
        case TrafficKind::LinkOpened:
            return entry.size == 0 ? "Link opened"
                                   : "Link opened on " +
                                         std::string(entry.bytes().begin(), entry.bytes().end());
        case TrafficKind::Discarded:
            return formatText("Discarded %u bytes before an STX", entry.size);
        default:
            return frameMeaning(entry.bytes(), entry.fromAcu());
    }
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += formatText("%02X", static_cast<unsigned>(byte));
    }
    return text;
}

std::string trafficHex(const TrafficEntry& entry) {
    return entry.kind == TrafficKind::LinkOpened ? std::string() : hexBytes(entry.bytes());
}

std::string trafficLine(const TrafficEntry& entry) {
    const long long micros = entry.at.count();
    std::string line = formatText("%6lld.%06lld %s %3s ", micros / 1'000'000, micros % 1'000'000,
                                  trafficDirection(entry), trafficCode(entry).c_str());
    line += trafficMeaning(entry);
    if (entry.size > 0 && entry.kind != TrafficKind::LinkOpened) {
        line += " | " + hexBytes(entry.bytes());
    }
    return line;
}

std::string trafficCsvHeader() {
    return "time_ms,direction,code,meaning,hex";
}

std::string trafficCsvLine(const TrafficEntry& entry) {
    std::string meaning;
    for (char c : trafficMeaning(entry)) {
        if (c == '"') meaning += '"';
        meaning += c;
    }
    return formatText("%.3f,%s,%s,", static_cast<double>(entry.at.count()) / 1000.0,
                      trafficDirection(entry), trafficCode(entry).c_str()) +
           "\"" + meaning + "\"," + trafficHex(entry);
}

std::string antennaStateLabel(int mode) {
    static constexpr const char* kStates[] = {"antenna_initialize", "satellite_search",
                                              "satellite_tracking", "antenna_break",
                                              "antenna_stop_setup", "antenna_diagnosis"};
    return mode >= 2 && mode <= 7 ? kStates[mode - 2] : "";
}

const char* antennaModeName(std::uint8_t mode) {
    // The labels of the state lamps, which name the modes 2..7.
    static const char* const kModes[] = {"Antenna Initialize",   "Satellite Search",
                                         "Satellite Tracking",   "Antenna Break",
                                         "Antenna Stop / Setup", "Antenna Diagonis"};
    if (mode == 1) return "Setup";
    return mode >= 2 && mode <= 7 ? kModes[mode - 2] : "";
}

const char* diagnosisItemName(std::uint8_t item) {
    static const char* const kItems[] = {
        "Serial Communication", "Gyro Sensor Check",  "LNB Status Check",
        "AZ CW Limit Check",    "AZ CCW Limit Check", "EL UP Limit Check",
        "Skew Limit Check",     "Antenna Power",      "ACU Power",
        "Receiver Connect"};
    return item >= 1 && item <= 10 ? kItems[item - 1] : "";
}
