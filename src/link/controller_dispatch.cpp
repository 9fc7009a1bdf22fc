#include <algorithm>

#include "data/satellite_edit.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/frame_text.h"
#include "link/pointing_samples.h"
#include "link/reply_decode.h"
#include "link/timer_bank.h"
#include "wire/display_text.h"

namespace {

// The operation whose command is code, for the commands repeated until answered.
Operation operationOf(std::uint8_t code) {
    switch (code) {
        case cmd::AntennaRestart:
            return Operation::Restart;
        case cmd::SetupMode:
            return Operation::SetupMode;
        case cmd::TargetChange:
            return Operation::TargetChange;
        case cmd::EditSatellite:
            return Operation::EditSatellite;
        case cmd::SetLocalFrequency:
            return Operation::LocalFrequency;
        case cmd::SetDiseqc:
            return Operation::Diseqc;
        case cmd::DiagnosisStart:
            return Operation::DiagnosisStart;
        case cmd::DiagnosisStop:
            return Operation::DiagnosisStop;
        case cmd::GoToPosition:
            return Operation::GoToPosition;
        case cmd::SetParameters:
            return Operation::Parameters;
        case cmd::FactoryDefault:
            return Operation::FactoryReset;
        default:
            if (code >= cmd::MoveAzimuth && code <= cmd::MoveSkew) return Operation::Step;
            return code <= cmd::LcdWriteLast ? Operation::LcdWrite : Operation::LcdRead;
    }
}

}  // namespace

void AcuController::DispatchReply() {
    // Decoded from a copy: a message box shown by a handler lets further frames arrive, and
    // they overwrite m_RxFrame.
    std::array<std::uint8_t, kMaxFrameSize> frame{};
    std::copy_n(m_RxFrame.begin(), frame.size(), frame.begin());
    const std::size_t length = frame[1];
    if (length == 0) return;
    const auto payload = std::span<const std::uint8_t>(frame).subspan(2, length);
    const std::uint8_t code = payload[0];
    if (replyLength(code) == 0 || payload.size() < replyLength(code)) return;
    m_Log.replyReceived(payload);
    measureAnswer(code);

    if (m_Upload.onReply(code) || m_Lcd.onReply(payload) || m_Diagnosis.onReply(payload)) return;
    dispatchLinkReply(payload);
}

void AcuController::dispatchLinkReply(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    switch (code) {
        case cmd::LinkCheck:
            onLinkCheck(payload);
            break;
        case cmd::AntennaInformation:
            onProductInfo(payload);
            break;
        case cmd::CurrentRegion:
            onCurrentRegion(payload);
            break;
        case cmd::RegionSatellite:
            onRegionSatellite(payload);
            break;
        case cmd::StatusPoll:
            onStatus(payload);
            break;
        case cmd::AntennaRestart:
        case cmd::TargetChange:
            m_Timers.stop(code);
            m_State.SetupMode = 0;
            m_Timers.start(cmd::StatusPoll, kStatusPollPeriod);
            m_Outcomes.done(operationOf(code), code);
            break;
        case cmd::SetupMode:
            onSetupMode(payload);
            break;
        case cmd::EditSatellite:
            m_Timers.stop(code);
            keepSentSatellite(m_State.data);
            notify(changed::SatelliteAcknowledged);
            m_View.MessageBox(" Edit Satellite Information Complete !!! ",
                              MessageIcon::Exclamation);
            m_Outcomes.done(Operation::EditSatellite, code);
            break;
        case cmd::SetLocalFrequency:
            m_Timers.stop(code);
            keepSentLnbSetting(m_State.data);
            notify(changed::SettingAcknowledged);
            m_View.MessageBox(" Set Local Frequency Complete !!! ", MessageIcon::Exclamation);
            m_Outcomes.done(Operation::LocalFrequency, code);
            break;
        case cmd::SetDiseqc:
            m_Timers.stop(code);
            keepSentDiseqcMode(m_State.data);
            notify(changed::SettingAcknowledged);
            m_View.MessageBox(" Set DiSEqc USE Complete !!! ", MessageIcon::Exclamation);
            m_Outcomes.done(Operation::Diseqc, code);
            break;
        case cmd::GoToPosition:
        case cmd::MoveAzimuth:
        case cmd::MoveElevation:
        case cmd::MoveSkew:
            m_Timers.stop(code);
            m_Outcomes.done(operationOf(code), code);
            break;
        case cmd::SetParameters:
            m_Timers.stop(code);
            m_View.MessageBox(" Set Antenna Parameter Complete !!! ", MessageIcon::Exclamation);
            m_Outcomes.done(Operation::Parameters, code);
            break;
        case cmd::FactoryDefault:
        case cmd::FactoryProgress:
        case cmd::FactoryDone:
            onFactoryProgress(payload);
            break;
        default:
            break;
    }
}

void AcuController::giveUpCommand(std::uint8_t code) {
    m_Timers.stop(code);
    const ResendWait wait = m_ResendWaits[code];
    m_ResendWaits[code] = {};
    setBusy(false);
    if (m_FactoryResetShown) {
        m_FactoryResetShown = false;
        m_View.CloseProgress(ProgressPopup::Load);
    }
    if (code == cmd::DiagnosisStart) {
        // The test never started: the button offers to start it again.
        m_State.DiagIdle = 1;
        notify(changed::DiagnosisCaption);
    }
    // These stopped the status poll for their reply; without it the lamps would freeze.
    if (code == cmd::AntennaRestart || code == cmd::SetupMode || code == cmd::TargetChange) {
        m_Timers.start(cmd::StatusPoll, kStatusPollPeriod);
    }
    m_View.MessageBox(
        unansweredCommandText(code, frameName(code, false),
                              std::chrono::duration_cast<std::chrono::seconds>(wait.waited)),
        MessageIcon::Exclamation);
    m_Outcomes.unanswered(operationOf(code), code, wait.sends, wait.waited);
    // The self test's run ends with its start or its final stop.
    if (code == cmd::DiagnosisStart || code == cmd::DiagnosisStop) {
        m_Outcomes.unanswered(Operation::Diagnosis, code, wait.sends, wait.waited);
    }
}

void AcuController::onLinkCheck(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::LinkCheck);
    m_State.AntennaMode = payload[1];
    if (m_State.AntennaMode == 1) {
        m_State.ConnectLamp = 1;
        notify(changed::ConnectLamp);
        m_State.SetupMode = 1;
        setBusy(false);
    } else {
        m_State.ConnectLamp = 2;
        notify(changed::ConnectLamp);
    }
    sendStep(cmd::AntennaInformation, kCommandPeriod);
}

void AcuController::onProductInfo(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::AntennaInformation);
    m_State.product = *decodeProductInfo(payload);
    sendStep(cmd::CurrentRegion, kCommandPeriod);
}

void AcuController::onCurrentRegion(std::span<const std::uint8_t> payload) {
    const std::optional<RegionReply> reply = decodeRegionReply(payload);
    // A reply naming a place outside the tables is not used: the timer runs on and ends the
    // chain as on a lost reply.
    if (!reply) return;
    m_Timers.stop(cmd::CurrentRegion);
    SatelliteData& data = m_State.data;
    data.CurContinent = reply->continent;
    data.CurRegion = reply->region;
    data.RegionCount[reply->continent] = reply->regionCount;
    *mutableRegionRecord(data, reply->continent, reply->region) = reply->record;
    m_State.ReceiveSatIndex = 0;
    data.DefaultSatIndex = reply->record.defaultSatellite;
    data.SatelliteCount = reply->record.satelliteCount;
    m_RegionAnnounced = true;
    sendStep(cmd::RegionSatellite, kCommandPeriod);
}

void AcuController::onRegionSatellite(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::RegionSatellite);
    // SatelliteCount may come from a loaded file (up to 200) rather than from reply 3, so
    // the index is checked against the table as well.
    if (!m_RegionAnnounced) return;
    SatelliteData& data = m_State.data;
    const SatelliteReply reply = *decodeSatelliteReply(payload);
    const std::size_t index = reply.index < data.SatelliteCount ? reply.index : 0;
    if (index >= data.RegionSatellites.size()) return;
    data.RegionSatellites[index] = reply.record;
    m_State.ReceiveSatIndex += 1;
    if (m_State.ReceiveSatIndex < data.SatelliteCount) {
        sendStep(cmd::RegionSatellite, kChainPeriod);
        return;
    }
    setBusy(false);
    // The satellites came from the ACU rather than from a file: the edit copy, the LNB and
    // DiSEqC values and the antenna parameters are taken from them and the ACU's region.
    prepareEditCopy(m_State.data, m_State.data.CurContinent, m_State.data.CurRegion);
    loadRegionParameters();
    notify(changed::Downloaded);
    sendStep(cmd::StatusPoll, kStatusPollPeriod);
    // Whoever asked for the identification (the connection, or Get Antenna Information) has it.
    m_Outcomes.done(Operation::Connect, cmd::RegionSatellite);
    m_Outcomes.done(Operation::AntennaInformation, cmd::RegionSatellite);
}

void AcuController::onChainTimeout(int id) {
    // Sent once: the timer only bounds the wait, and the exchange ends here. The wait cursor
    // ends with it, and the user learns which answer is missing (the product information's
    // absence shows on its page).
    m_Timers.stop(id);
    setBusy(false);
    if (id != cmd::AntennaInformation) {
        m_View.MessageBox(lostChainReplyText(static_cast<std::uint8_t>(id), m_State.ReceiveSatIndex,
                                             m_State.data.SatelliteCount),
                          MessageIcon::Exclamation);
    }
    unanswered(Operation::Connect, static_cast<std::uint8_t>(id));
    unanswered(Operation::AntennaInformation, static_cast<std::uint8_t>(id));
}

void AcuController::onStatus(std::span<const std::uint8_t> payload) {
    const StatusReply status = *decodeStatusReply(payload);
    SatelliteData& data = m_State.data;
    AntennaState& antenna = m_State.antenna;
    data.DefaultSatIndex = status.defaultSatIndex;
    m_State.AntennaMode = status.antennaMode;
    antenna.SignalLevel = status.signalLevel;
    antenna.GpsLinkState = status.gpsLinkState;
    m_State.SetupMode = 0;
    if (RegionRecord* region = mutableRegionRecord(data, data.CurContinent, data.CurRegion)) {
        region->gpsLongitude = status.gpsLongitude;
        region->gpsEastWest = status.gpsEastWest;
        region->gpsLatitude = status.gpsLatitude;
        region->gpsNorthSouth = status.gpsNorthSouth;
    }
    m_State.product.ReceiverV = status.receiverV;
    m_State.product.Receiver18V = status.receiver18V;
    m_State.product.Receiver22k = status.receiver22k;
    antenna.CurrentAz = status.az;
    antenna.CurrentEl = status.el;
    antenna.CurrentSkew = status.skew;
    m_State.StateLamps = m_State.AntennaMode;
    if (m_Pointing != nullptr) m_Pointing->push(statusSample(status, pointingClockMs()));
    notify(changed::TargetPanel | changed::StateLamps | changed::GpsLamps | changed::RegionGps |
           changed::CurrentPosition);
    // The poll held back for this answer goes now, and the next a period after it.
    if (m_PollHeld) {
        m_PollHeld = false;
        sendAgain(cmd::StatusPoll);
        m_Timers.start(cmd::StatusPoll, kStatusPollPeriod);
    }
}

void AcuController::onSetupMode(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::SetupMode);
    const SetupReply setup = *decodeSetupReply(payload);
    m_State.AntennaMode = setup.antennaMode;
    m_State.SetupMode = 1;
    m_State.antenna.CurrentAz = setup.az;
    m_State.antenna.CurrentEl = setup.el;
    m_State.antenna.CurrentSkew = setup.skew;
    m_State.StateLamps = m_State.AntennaMode;
    if (m_Pointing != nullptr) m_Pointing->push(setupSample(setup, pointingClockMs()));
    notify(changed::StateLamps | changed::CurrentPosition);
    m_Outcomes.done(Operation::SetupMode, cmd::SetupMode, m_State.AntennaMode);
}

void AcuController::onFactoryProgress(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (code == cmd::FactoryDefault) {
        m_Timers.stop(code);
        m_State.ProgressTotal = static_cast<std::uint32_t>(payload[1] << 8 | payload[2]);
        m_State.ProgressCount = 0;
        setBusy(true);
        m_FactoryResetShown = true;
        m_View.OpenProgress(ProgressPopup::Load, m_State.ProgressTotal);
        // Timer 31 waits for the next progress report; each report starts the wait again.
        m_Timers.start(cmd::FactoryProgress, kFactoryProgressTimeout);
    } else if (code == cmd::FactoryProgress) {
        m_State.ProgressCount = static_cast<std::uint32_t>(payload[1] << 8 | payload[2]);
        m_View.StepProgress(ProgressPopup::Load, m_State.ProgressCount,
                            progressPercentText(m_State.ProgressCount, m_State.ProgressTotal));
        if (m_FactoryResetShown) m_Timers.start(cmd::FactoryProgress, kFactoryProgressTimeout);
    } else {
        m_Timers.stop(cmd::FactoryProgress);
        setBusy(false);
        m_FactoryResetShown = false;
        m_View.CloseProgress(ProgressPopup::Load);
        m_Outcomes.done(Operation::FactoryReset, code, m_State.ProgressTotal);
    }
}

void AcuController::onFactoryStall() {
    m_Timers.stop(cmd::FactoryProgress);
    if (!m_FactoryResetShown) return;
    m_FactoryResetShown = false;
    setBusy(false);
    m_View.CloseProgress(ProgressPopup::Load);
    m_View.MessageBox(
        " Factory Setting stopped !!! \r\n The ACU reported no progress for 30 seconds. ",
        MessageIcon::Exclamation);
    m_Outcomes.unanswered(Operation::FactoryReset, cmd::FactoryProgress, 0,
                          kFactoryProgressTimeout);
}

void AcuController::loadRegionParameters() {
    const SatelliteData& data = m_State.data;
    LoadAntennaParameters(data, m_State.product.AntennaModel, data.CurContinent, data.CurRegion,
                          m_State.parameters);
}
