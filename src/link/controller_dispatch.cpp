#include <algorithm>

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/satellite_edit.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/link_state.h"
#include "link/reply_decode.h"
#include "link/timer_bank.h"
#include "wire/display_text.h"

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

    if (m_Upload.onReply(code) || m_Lcd.onReply(payload) || m_Diagnosis.onReply(payload)) return;
    dispatchLinkReply(payload);
}

void AcuController::dispatchLinkReply(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    switch (code) {
        case 1:
            onLinkCheck(payload);
            break;
        case 2:
            onProductInfo(payload);
            break;
        case 3:
            onCurrentRegion(payload);
            break;
        case 4:
            onRegionSatellite(payload);
            break;
        case 14:
            onStatus(payload);
            break;
        case 15:
        case 17:
            m_Timers.stop(code);
            g_SetupMode = 0;
            m_Timers.start(cmd::StatusPoll, kStatusPollPeriod);
            break;
        case 16:
            onSetupMode(payload);
            break;
        case 18:
            m_Timers.stop(code);
            keepSentSatellite();
            m_View.showAcknowledgedChange(code);
            m_View.MessageBox(" Edit Satellite Information Complete !!! ",
                              MessageIcon::Exclamation);
            break;
        case 19:
            m_Timers.stop(code);
            keepSentLnbSetting();
            m_View.showAcknowledgedChange(code);
            m_View.MessageBox(" Set Local Frequency Complete !!! ", MessageIcon::Exclamation);
            break;
        case 20:
            m_Timers.stop(code);
            keepSentDiseqcMode();
            m_View.showAcknowledgedChange(code);
            m_View.MessageBox(" Set DiSEqc USE Complete !!! ", MessageIcon::Exclamation);
            break;
        case 25:
        case 26:
        case 27:
        case 28:
            m_Timers.stop(code);
            break;
        case 29:
            m_Timers.stop(code);
            m_View.MessageBox(" Set Antenna Parameter Complete !!! ", MessageIcon::Exclamation);
            break;
        case 30:
        case 31:
        case 32:
            onFactoryProgress(payload);
            break;
        default:
            break;
    }
}

void AcuController::onLinkCheck(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::LinkCheck);
    g_AntennaMode = payload[1];
    if (g_AntennaMode == 1) {
        m_View.DrawConnectLamp(1);
        g_SetupMode = 1;
        setBusy(false);
    } else {
        m_View.DrawConnectLamp(2);
    }
    sendAndStart(cmd::AntennaInformation, kCommandPeriod);
}

void AcuController::onProductInfo(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::AntennaInformation);
    const ProductInfoReply info = *decodeProductInfo(payload);
    g_AntennaType = info.antennaType;
    g_AntennaModel = info.antennaModel;
    g_SkewlessFlag = info.skewlessFlag;
    g_ModelName = info.modelName;
    g_SerialNumber = info.serialNumber;
    g_AntSwVersion = info.antSwVersion;
    g_AcuSwVersion = info.acuSwVersion;
    g_LibraryVersion = info.libraryVersion;
    g_AntennaPowerV = info.antennaPowerV;
    g_AcuPowerV = info.acuPowerV;
    g_ReceiverV = info.receiverV;
    g_Receiver18V = info.receiver18V;
    g_Receiver22k = info.receiver22k;
    sendAndStart(cmd::CurrentRegion, kCommandPeriod);
}

void AcuController::onCurrentRegion(std::span<const std::uint8_t> payload) {
    const std::optional<RegionReply> reply = decodeRegionReply(payload);
    // A reply naming a place outside the tables is not used: the timer runs on and ends the
    // chain as on a lost reply.
    if (!reply) return;
    m_Timers.stop(cmd::CurrentRegion);
    g_CurContinent = reply->continent;
    g_CurRegion = reply->region;
    g_RegionCount[reply->continent] = reply->regionCount;
    *mutableRegionRecord(reply->continent, reply->region) = reply->record;
    g_ReceiveSatIndex = 0;
    g_DefaultSatIndex = reply->record.defaultSatellite;
    g_SatelliteCount = reply->record.satelliteCount;
    m_RegionAnnounced = true;
    sendAndStart(cmd::RegionSatellite, kCommandPeriod);
}

void AcuController::onRegionSatellite(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::RegionSatellite);
    // g_SatelliteCount may come from a loaded file (up to 200) rather than from reply 3, so
    // the index is checked against the table as well.
    if (!m_RegionAnnounced) return;
    const SatelliteReply reply = *decodeSatelliteReply(payload);
    const std::size_t index = reply.index < g_SatelliteCount ? reply.index : 0;
    if (index >= g_RegionSatellites.size()) return;
    g_RegionSatellites[index] = reply.record;
    g_ReceiveSatIndex += 1;
    if (g_ReceiveSatIndex < g_SatelliteCount) {
        sendAndStart(cmd::RegionSatellite, kChainPeriod);
        return;
    }
    setBusy(false);
    m_View.refreshAfterDownload();
    sendAndStart(cmd::StatusPoll, kStatusPollPeriod);
}

void AcuController::onStatus(std::span<const std::uint8_t> payload) {
    const StatusReply status = *decodeStatusReply(payload);
    g_DefaultSatIndex = status.defaultSatIndex;
    g_AntennaMode = status.antennaMode;
    g_SignalLevel = status.signalLevel;
    g_GpsLinkState = status.gpsLinkState;
    g_SetupMode = 0;
    if (RegionRecord* region = mutableRegionRecord(g_CurContinent, g_CurRegion)) {
        region->gpsLongitude = status.gpsLongitude;
        region->gpsEastWest = status.gpsEastWest;
        region->gpsLatitude = status.gpsLatitude;
        region->gpsNorthSouth = status.gpsNorthSouth;
    }
    g_ReceiverV = status.receiverV;
    g_Receiver18V = status.receiver18V;
    g_Receiver22k = status.receiver22k;
    g_CurrentAz = status.az;
    g_CurrentEl = status.el;
    g_CurrentSkew = status.skew;

    m_View.RefreshTargetPanel(g_DefaultSatIndex, g_CurContinent, g_CurRegion);
    m_View.DrawStateLamps(g_AntennaMode);
    m_View.DrawGpsLamps(g_GpsLinkState);
    m_View.showRegionGps(g_CurContinent, g_CurRegion);
    showCurrentPosition();
}

void AcuController::onSetupMode(std::span<const std::uint8_t> payload) {
    m_Timers.stop(cmd::SetupMode);
    const SetupReply setup = *decodeSetupReply(payload);
    g_AntennaMode = setup.antennaMode;
    g_SetupMode = 1;
    g_CurrentAz = setup.az;
    g_CurrentEl = setup.el;
    g_CurrentSkew = setup.skew;
    m_View.DrawStateLamps(g_AntennaMode);
    showCurrentPosition();
}

void AcuController::onFactoryProgress(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (code == cmd::FactoryDefault) {
        m_Timers.stop(code);
        g_ProgressTotal = static_cast<std::uint32_t>(payload[1] << 8 | payload[2]);
        g_ProgressCount = 0;
        setBusy(true);
        m_FactoryResetShown = true;
        m_View.OpenProgress(ProgressPopup::Load, g_ProgressTotal);
        // Timer 31 waits for the next progress report; each report starts the wait again.
        m_Timers.start(cmd::FactoryProgress, kFactoryProgressTimeout);
    } else if (code == cmd::FactoryProgress) {
        g_ProgressCount = static_cast<std::uint32_t>(payload[1] << 8 | payload[2]);
        m_View.StepProgress(ProgressPopup::Load, g_ProgressCount,
                            progressPercentText(g_ProgressCount, g_ProgressTotal));
        if (m_FactoryResetShown) m_Timers.start(cmd::FactoryProgress, kFactoryProgressTimeout);
    } else {
        m_Timers.stop(cmd::FactoryProgress);
        setBusy(false);
        m_FactoryResetShown = false;
        m_View.CloseProgress(ProgressPopup::Load);
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
}

void AcuController::showCurrentPosition() {
    m_View.showCurrentPosition(positionText(g_CurrentAz), positionText(g_CurrentEl),
                               positionText(g_CurrentSkew));
}
