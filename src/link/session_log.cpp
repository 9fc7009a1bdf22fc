#include "link/session_log.h"

#include <cstdio>
#include <ctime>

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "link/frame_text.h"
#include "link/link_state.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

// The commands that change what the ACU holds, the button that sends each, and the reply
// that says it is done: a transfer in pieces is done only when its last piece is answered.
struct ChangeKind {
    std::uint8_t code;
    const char* what;
    std::uint8_t doneReply;
};
constexpr ChangeKind kChanges[] = {
    {cmd::UploadStart, "Update Default Data", cmd::UploadEnd},
    {cmd::TargetChange, "Target Change", cmd::TargetChange},
    {cmd::EditSatellite, "Edit Satellite Information", cmd::EditSatellite},
    {cmd::SetLocalFrequency, "Set Local Frequency", cmd::SetLocalFrequency},
    {cmd::SetDiseqc, "DiSEqC Use", cmd::SetDiseqc},
    {cmd::SetParameters, "Set Parameters", cmd::SetParameters},
    {cmd::FactoryDefault, "Factory Setting", cmd::FactoryDone},
    {cmd::LcdWriteFirst, "LCD Write", cmd::LcdWriteLast},
};

const ChangeKind* changeKind(std::uint8_t code) {
    for (const ChangeKind& kind : kChanges) {
        if (kind.code == code) return &kind;
    }
    return nullptr;
}

std::string satelliteText(const SatelliteRecord& satellite) {
    return utf8Text(satelliteNameText(satellite)) + orbitalPositionText(satellite);
}

std::string uploadDetails(const std::string& file, const LinkState& state) {
    const SatelliteData& data = state.data;
    const std::uint8_t mode = data.RegionMode;
    std::string scope;
    if (mode == 12) {
        scope = "all continents";
    } else if (mode >= 6 && mode <= 11) {
        scope = continentName(mode - 6u);
    } else {
        scope = continentName(mode) + " " +
                utf8Text(regionNameText(regionRecord(data, mode, data.RegionSelector)));
    }
    // The selector positions go out as read; -1 is an empty selector.
    return "file " + (file.empty() ? std::string("(not named)") : file) + ", " + scope +
           formatText(", selectors %d / %d", static_cast<int>(state.upload.UploadContinent),
                      static_cast<int>(state.upload.UploadRegion));
}

// The LNB and DiSEqC settings as the region's lines show them, from the values just sent.
RegionRecord sentLnbSettings(const SatelliteData& data) {
    RegionRecord region;
    region.lnbType = data.LnbType;
    region.singleLocalFreq = data.LocalFreqSingle;
    region.universalLowLocalFreq = data.LocalFreqUniversalLow;
    region.universalHighLocalFreq = data.LocalFreqUniversalHigh;
    region.diseqcMode = data.DiseqcMode;
    return region;
}

std::string parameterDetails(const AntennaParameters& parameters) {
    const AntennaParameterTexts p = antennaParameterTexts(parameters);
    return "Tracking Scale " + p.trackingScale + ", Detect Level Threshold " + p.detectLevel +
           ", Tracking Level Threshold " + p.trackingLevel + ", EL Adjust " + p.elAdjust +
           ", Skew Adjust " + p.skewAdjust + ", Signal lost time " + p.signalLostTime +
           ", Antenna Break Time " + p.breakTime;
}

std::string changeDetails(std::uint8_t code, const std::string& file, const LinkState& state) {
    const SatelliteData& data = state.data;
    switch (code) {
        case cmd::UploadStart:
            return uploadDetails(file, state);
        case cmd::TargetChange:
            return data.DefaultSatIndex < data.RegionSatellites.size()
                       ? satelliteText(data.RegionSatellites[data.DefaultSatIndex])
                       : std::string();
        case cmd::EditSatellite:
            return data.EditSatIndex < data.EditSatellites.size()
                       ? formatText("No. %d ", data.EditSatIndex + 1) +
                             satelliteText(data.EditSatellites[data.EditSatIndex])
                       : std::string();
        case cmd::SetLocalFrequency: {
            std::string text = lnbInformationText(sentLnbSettings(data));
            for (char& c : text) c = c == '\t' ? ' ' : c;
            return text.empty() ? text : text.substr(1);
        }
        case cmd::SetDiseqc:
            return satelliteDetailsTexts(SatelliteRecord{}, sentLnbSettings(data)).diseqc;
        case cmd::SetParameters:
            return parameterDetails(state.parameters);
        default:
            return {};
    }
}

}  // namespace

std::string rfc3339(WallClock::time_point at) {
    const std::time_t seconds = WallClock::to_time_t(at);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    // Minutes east of UTC; no zone is more than a day away.
    const int offset = static_cast<int>(local.tm_gmtoff / 60) % (24 * 60);
    const int absolute = offset < 0 ? -offset : offset;
    char text[96];
    std::snprintf(text, sizeof text, "%s.%03d%c%02d:%02d", date,
                  static_cast<int>(millis < 0 ? millis + 1000 : millis), offset < 0 ? '-' : '+',
                  absolute / 60, absolute % 60);
    return text;
}

void SessionLog::commandSent(std::uint8_t code, const LinkState& state) {
    const ChangeKind* kind = changeKind(code);
    if (kind == nullptr) return;
    m_Changes.push_back(
        {now(), code, kind->what, changeDetails(code, m_DefaultDataFile, state), false});
}

void SessionLog::replyReceived(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (code == cmd::DiagnosisResult) m_SelfTest = now();
    if (code == cmd::LcdWriteLast || code == cmd::LcdReadLast) {
        m_LcdTransfer = now();
        m_LcdWritten = code == cmd::LcdWriteLast;
    }
    // Replies are matched by code alone: the newest change still waiting for this answer.
    for (auto change = m_Changes.rbegin(); change != m_Changes.rend(); ++change) {
        if (!change->acknowledged && changeKind(change->code)->doneReply == code) {
            change->acknowledged = true;
            return;
        }
    }
}

void SessionLog::commandTimedOut(int id) {
    // The status poll's timer is its metronome, not a wait for an answer.
    if (id < 1 || id > cmd::Last || id == cmd::StatusPoll) return;
    // Timer 31 waits for the factory default's progress, which has no command of its own.
    std::string name = frameName(static_cast<std::uint8_t>(id), false);
    if (name.empty()) name = frameName(static_cast<std::uint8_t>(id), true);
    fault("No answer to " + name + formatText(" (command %d)", id), 1);
}

void SessionLog::hungUp(const std::string& portName) {
    fault("Line hung up on " + portName, 1);
}

void SessionLog::bytesDropped(std::size_t count) {
    fault("Received bytes dropped", count);
}

void SessionLog::fault(std::string what, std::uint64_t count) {
    const WallClock::time_point at = now();
    if (!m_Faults.empty() && m_Faults.back().what == what) {
        m_Faults.back().last = at;
        m_Faults.back().count += count;
        return;
    }
    m_Faults.push_back({at, at, std::move(what), count});
}

std::string wallTimeText(WallClock::time_point at) {
    const std::time_t seconds = WallClock::to_time_t(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}
