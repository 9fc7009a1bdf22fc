// The diagnosis and move page's buttons and "Set Parameters" as controller operations.

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/link_state.h"
#include "wire/encoding.h"
#include "wire/number_text.h"

namespace {

// What a step command moves: the axis's target and last reported position, and the names the
// page gives its step row.
struct StepAxis {
    std::uint8_t code;
    double* target;
    const double* current;
    const char* field;
};

StepAxis stepAxis(std::uint8_t code) {
    switch (code) {
        case cmd::MoveAzimuth:
            return {code, &g_TargetAz, &g_CurrentAz, "Antenna Move Step AZ"};
        case cmd::MoveElevation:
            return {code, &g_TargetEl, &g_CurrentEl, "Antenna Move Step EL"};
        default:
            return {cmd::MoveSkew, &g_TargetSkew, &g_CurrentSkew, "Antenna Move Step Skew"};
    }
}

constexpr std::uint8_t kDiagnosisState = 7;

}  // namespace

void AcuController::OnDiagnosisStartStop() {
    // A running self test stays stoppable: while the status poll runs, the ACU reports the
    // diagnosis state (7) rather than setup mode, and refusing the stop would leave the dish
    // running its limit checks with no way to end them from here.
    const bool stoppingSelfTest = g_DiagIdle != 1 && g_AntennaMode == kDiagnosisState;
    if (g_Connected != 1 || (!stoppingSelfTest && !setupGate())) return;
    // The caption follows the request at once; reply 24 confirms a stop.
    if (g_DiagIdle == 1) {
        g_DiagIdle = 0;
        sendAndStart(cmd::DiagnosisStart, kCommandPeriod);
        m_View.DrawStateLamps(7);
        m_View.setDiagnosisButtonCaption("Diagnosis Stop");
    } else {
        g_DiagIdle = 1;
        sendAndStart(cmd::DiagnosisStop, kCommandPeriod);
        m_View.DrawStateLamps(6);
        m_View.setDiagnosisButtonCaption("Diagnosis Start");
    }
}

void AcuController::OnGoToPosition(std::u16string_view azText, std::u16string_view elText) {
    if (g_Connected != 1 || !setupGate()) return;
    const double az = wideToReal(azText);
    const double el = wideToReal(elText);
    // An angle goes out as a sign and |angle| * 100 in 16 bits; beyond 655.35 degrees the high
    // bits would be lost and the dish sent somewhere nobody asked for.
    if (!fitsSGN100(az)) {
        m_View.MessageBox(outOfRangeMessage("Go to Position AZ", kAngleRange),
                          MessageIcon::Exclamation);
        return;
    }
    if (!fitsSGN100(el)) {
        m_View.MessageBox(outOfRangeMessage("Go to Position EL", kAngleRange),
                          MessageIcon::Exclamation);
        return;
    }
    g_TargetAz = az;
    g_TargetEl = el;
    sendAndStart(cmd::GoToPosition, kCommandPeriod);
}

void AcuController::stepMove(std::uint8_t code, int direction, std::u16string_view stepText) {
    if (g_Connected != 1 || !setupGate()) return;
    const StepAxis axis = stepAxis(code);
    const double step = wideToReal(stepText);
    // Always from the last reported position: two presses before the next report send the
    // same target twice.
    const double target = *axis.current + direction * step;
    if (!fitsSGN100(step) || !fitsSGN100(target)) {
        m_View.MessageBox(outOfRangeMessage(axis.field, kAngleRange), MessageIcon::Exclamation);
        return;
    }
    *axis.target = target;
    sendAndStart(axis.code, kCommandPeriod);
}

void AcuController::OnAzStepCcw(std::u16string_view stepText) {
    stepMove(cmd::MoveAzimuth, -1, stepText);
}
void AcuController::OnAzStepCw(std::u16string_view stepText) {
    stepMove(cmd::MoveAzimuth, +1, stepText);
}
void AcuController::OnElStepUp(std::u16string_view stepText) {
    stepMove(cmd::MoveElevation, +1, stepText);
}
void AcuController::OnElStepDown(std::u16string_view stepText) {
    stepMove(cmd::MoveElevation, -1, stepText);
}
void AcuController::OnSkewStepMinus(std::u16string_view stepText) {
    stepMove(cmd::MoveSkew, -1, stepText);
}
void AcuController::OnSkewStepPlus(std::u16string_view stepText) {
    stepMove(cmd::MoveSkew, +1, stepText);
}

void AcuController::OnSetParameters(const AntennaParameterEdits& edits) {
    if (g_Connected != 1 || !setupGate()) return;
    if (const auto refusal = takeAntennaParameters(edits)) {
        m_View.MessageBox(*refusal, MessageIcon::Exclamation);
        return;
    }
    sendAndStart(cmd::SetParameters, kCommandPeriod);
}
