#include "link/session_log.h"

#include <ctime>

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "data/upload_state.h"
#include "link/frame_decoder.h"
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

std::string uploadDetails(const std::string& file) {
    std::string scope;
    if (g_RegionMode == 12) {
        scope = "all continents";
    } else if (g_RegionMode >= 6 && g_RegionMode <= 11) {
        scope = continentName(g_RegionMode - 6u);
    } else {
        scope = continentName(g_RegionMode) + " " +
                utf8Text(regionNameText(regionRecord(g_RegionMode, g_RegionSelector)));
    }
    // The selector positions go out as read; -1 is an empty selector.
    return "file " + (file.empty() ? std::string("(not named)") : file) + ", " + scope +
           formatText(", selectors %d / %d", static_cast<int>(g_UploadContinent),
                      static_cast<int>(g_UploadRegion));
}

// The LNB and DiSEqC settings as the region's lines show them, from the values just sent.
RegionRecord sentLnbSettings() {
    RegionRecord region;
    region.lnbType = g_LnbType;
    region.singleLocalFreq = g_LocalFreqSingle;
    region.universalLowLocalFreq = g_LocalFreqUniversalLow;
    region.universalHighLocalFreq = g_LocalFreqUniversalHigh;
    region.diseqcMode = g_DiseqcMode;
    return region;
}

std::string parameterDetails() {
    const AntennaParameterTexts p = antennaParameterTexts();
    return "Tracking Scale " + p.trackingScale + ", Detect Level Threshold " + p.detectLevel +
           ", Tracking Level Threshold " + p.trackingLevel + ", EL Adjust " + p.elAdjust +
           ", Skew Adjust " + p.skewAdjust + ", Signal lost time " + p.signalLostTime +
           ", Antenna Break Time " + p.breakTime;
}

std::string changeDetails(std::uint8_t code, const std::string& file) {
    switch (code) {
        case cmd::UploadStart:
            return uploadDetails(file);
        case cmd::TargetChange:
            return g_DefaultSatIndex < g_RegionSatellites.size()
                       ? satelliteText(g_RegionSatellites[g_DefaultSatIndex])
                       : std::string();
        case cmd::EditSatellite:
            return g_EditSatIndex < g_EditSatellites.size()
                       ? formatText("No. %d ", g_EditSatIndex + 1) +
                             satelliteText(g_EditSatellites[g_EditSatIndex])
                       : std::string();
        case cmd::SetLocalFrequency: {
            std::string text = lnbInformationText(sentLnbSettings());
            for (char& c : text) c = c == '\t' ? ' ' : c;
            return text.empty() ? text : text.substr(1);
        }
        case cmd::SetDiseqc:
            return satelliteDetailsTexts(SatelliteRecord{}, sentLnbSettings()).diseqc;
        case cmd::SetParameters:
            return parameterDetails();
        default:
            return {};
    }
}

}  // namespace

void SessionLog::commandSent(std::uint8_t code) {
    const ChangeKind* kind = changeKind(code);
    if (kind == nullptr) return;
    m_Changes.push_back({now(), code, kind->what, changeDetails(code, m_DefaultDataFile), false});
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
