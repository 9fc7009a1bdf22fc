// The main window's operation buttons as controller operations: each applies its gates,
// asks its question, builds its command from what it was given and sends it.

#include "data/target_panel.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/timer_bank.h"

namespace {

const char* const kNotSetupMode = " Not Setup mode !!! \r\n Try again after Setup mode !!!";

}  // namespace

void AcuController::refuse(Operation operation, RefusedBy by, const std::string& reason) {
    Outcome outcome;
    outcome.operation = operation;
    outcome.ending = Ending::Refused;
    outcome.refusedBy = by;
    outcome.reason = reason;
    m_Outcomes.report(outcome);
}

void AcuController::refuseArguments(Operation operation, const std::string& message) {
    m_View.MessageBox(message, MessageIcon::Exclamation);
    refuse(operation, RefusedBy::Arguments, message);
}

bool AcuController::linkGate(Operation operation) {
    if (m_State.Connected == 1) return true;
    refuse(operation, RefusedBy::Link, {});
    return false;
}

bool AcuController::setupGate(Operation operation) {
    if (!linkGate(operation)) return false;
    if (m_State.inSetupMode()) return true;
    m_View.MessageBox(kNotSetupMode, MessageIcon::Exclamation);
    refuse(operation, RefusedBy::SetupGate, kNotSetupMode);
    return false;
}

void AcuController::begin(Operation operation, const Command& command,
                          std::chrono::milliseconds period) {
    m_Outcomes.begin(operation);
    sendAndStart(command, period);
}

bool AcuController::askQuestion(Operation operation, const std::string& text,
                                ConfirmButtons buttons) {
    const std::uint32_t session = m_LinkSession;
    m_QuestionOpen = true;
    const bool yes = m_View.Confirm(text, buttons);
    m_QuestionOpen = false;
    const bool sameLink = session == m_LinkSession && m_State.Connected == 1;
    if (yes && sameLink) return true;
    Outcome outcome;
    outcome.operation = operation;
    outcome.ending = sameLink ? Ending::Cancelled : Ending::HungUp;
    m_Outcomes.report(outcome);
    return false;
}

void AcuController::OnAntennaRestart() {
    if (!linkGate(Operation::Restart)) return;
    stopPoll();
    begin(Operation::Restart, plainCommand(cmd::AntennaRestart), kCommandPeriod);
}

void AcuController::OnSetupMode() {
    if (!linkGate(Operation::SetupMode)) return;
    if (!askQuestion(Operation::SetupMode, " Antenna Setup mode?", ConfirmButtons::OkCancel)) {
        return;
    }
    stopPoll();
    begin(Operation::SetupMode, plainCommand(cmd::SetupMode), kCommandPeriod);
}

void AcuController::OnTargetSelected(int position) {
    // The choice lists the current region's satellites; anything else names none of them.
    if (position < 0 || position >= static_cast<int>(m_State.data.RegionSatellites.size())) {
        return;
    }
    m_State.TargetChoice = position;
    m_State.TargetChangeEnabled = position != m_State.data.DefaultSatIndex;
    notify(changed::TargetChoice);
}

void AcuController::resetTargetChoice() {
    // The target is what the choice shows now, so there is nothing to change to yet.
    m_State.TargetChoice = m_State.data.DefaultSatIndex;
    m_State.TargetChangeEnabled = false;
    notify(changed::TargetChoice);
}

void AcuController::OnTargetChange(int position) {
    if (!linkGate(Operation::TargetChange)) return;
    if (position < 0 || position >= static_cast<int>(m_State.data.RegionSatellites.size())) {
        refuse(Operation::TargetChange, RefusedBy::Arguments, {});
        return;
    }
    const auto target = static_cast<std::uint8_t>(position);
    setDefaultSatellite(m_State.data, target);
    m_State.TargetChangeEnabled = false;
    notify(changed::TargetPanel | changed::TargetChoice);
    stopPoll();
    begin(Operation::TargetChange, targetChangeCommand(target), kCommandPeriod);
}

void AcuController::OnGetAntennaInformation() {
    if (!linkGate(Operation::AntennaInformation)) return;
    m_State.data.DefaultDataLoaded = 0;
    setBusy(true);
    begin(Operation::AntennaInformation, plainCommand(cmd::AntennaInformation), kCommandPeriod);
}

void AcuController::OnFactorySetting() {
    if (!setupGate(Operation::FactoryReset)) return;
    if (!askQuestion(Operation::FactoryReset, "Do you want to factory default setting?",
                     ConfirmButtons::YesNo)) {
        return;
    }
    if (!m_State.inSetupMode()) {
        refuse(Operation::FactoryReset, RefusedBy::SetupGate, {});
        return;
    }
    begin(Operation::FactoryReset, plainCommand(cmd::FactoryDefault), kChainPeriod);
}

void AcuController::updateDefaultData(int continentSelection, int regionSelection) {
    if (!setupGate(Operation::Upload)) return;
    if (m_State.data.DefaultDataLoaded != 1) {
        refuseArguments(Operation::Upload,
                        " Not Update Data !!! \r\n Try again after Update Data !!!");
        return;
    }
    m_Outcomes.begin(Operation::Upload);
    m_Upload.start(static_cast<std::uint32_t>(continentSelection),
                   static_cast<std::uint32_t>(regionSelection));
}
