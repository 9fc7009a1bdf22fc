// The main window's operation buttons as controller operations: each applies its gates,
// asks its question, stores what is to be sent and sends it.

#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/link_state.h"
#include "link/timer_bank.h"

namespace {

const char* const kNotSetupMode = " Not Setup mode !!! \r\n Try again after Setup mode !!!";

}  // namespace

bool AcuController::setupGate() {
    if (inSetupMode()) return true;
    m_View.MessageBox(kNotSetupMode, MessageIcon::Exclamation);
    return false;
}

bool AcuController::askQuestion(const std::string& text, ConfirmButtons buttons) {
    const std::uint32_t session = m_LinkSession;
    m_QuestionOpen = true;
    const bool yes = m_View.Confirm(text, buttons);
    m_QuestionOpen = false;
    return yes && session == m_LinkSession && g_Connected == 1;
}

void AcuController::OnAntennaRestart() {
    if (g_Connected != 1) return;
    m_Timers.stop(cmd::StatusPoll);
    sendAndStart(cmd::AntennaRestart, kCommandPeriod);
}

void AcuController::OnSetupMode() {
    if (g_Connected != 1) return;
    if (!askQuestion(" Antenna Setup mode?", ConfirmButtons::OkCancel)) return;
    m_Timers.stop(cmd::StatusPoll);
    sendAndStart(cmd::SetupMode, kCommandPeriod);
}

void AcuController::OnTargetSelected(int position) {
    // The choice lists the current region's satellites; anything else names none of them.
    if (position < 0 || position >= static_cast<int>(g_RegionSatellites.size())) return;
    m_View.showTargetChoice(orbitalPositionText(g_RegionSatellites[position]),
                            position != g_DefaultSatIndex);
}

void AcuController::OnTargetChange(int position) {
    if (g_Connected != 1) return;
    if (position < 0 || position >= static_cast<int>(g_RegionSatellites.size())) return;
    const auto target = static_cast<std::uint8_t>(position);
    m_View.RefreshTargetPanel(target, g_CurContinent, g_CurRegion);
    setDefaultSatellite(target);
    m_View.setTargetChangeEnabled(false);
    m_Timers.stop(cmd::StatusPoll);
    sendAndStart(cmd::TargetChange, kCommandPeriod);
}

void AcuController::OnGetAntennaInformation() {
    if (g_Connected != 1) return;
    g_DefaultDataLoaded = 0;
    setBusy(true);
    sendAndStart(cmd::AntennaInformation, kCommandPeriod);
}

void AcuController::OnFactorySetting() {
    if (g_Connected != 1 || !setupGate()) return;
    if (!askQuestion("Do you want to factory default setting?", ConfirmButtons::YesNo)) return;
    if (!inSetupMode()) return;
    sendAndStart(cmd::FactoryDefault, kChainPeriod);
}

void AcuController::updateDefaultData() {
    if (g_Connected != 1 || !setupGate()) return;
    if (g_DefaultDataLoaded != 1) {
        m_View.MessageBox(" Not Update Data !!! \r\n Try again after Update Data !!!",
                          MessageIcon::Exclamation);
        return;
    }
    m_Upload.start();
}
