// The diagnosis and move page's buttons and "Set Parameters" as controller operations.

#include "data/antenna_info.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "wire/encoding.h"

namespace {

// What a step command moves: the axis's target and last reported position, and the name the
// page gives its step row.
struct StepAxis {
    double AntennaState::*target;
    double AntennaState::*current;
    const char* field;
};

StepAxis stepAxis(std::uint8_t code) {
    switch (code) {
        case cmd::MoveAzimuth:
            return {&AntennaState::TargetAz, &AntennaState::CurrentAz, "Antenna Move Step AZ"};
        case cmd::MoveElevation:
            return {&AntennaState::TargetEl, &AntennaState::CurrentEl, "Antenna Move Step EL"};
        default:
            return {&AntennaState::TargetSkew, &AntennaState::CurrentSkew,
                    "Antenna Move Step Skew"};
    }
}

constexpr std::uint8_t kDiagnosisState = 7;
constexpr std::uint8_t kStopState = 6;

}  // namespace

void AcuController::OnDiagnosisStartStop() {
    // A running self test stays stoppable: while the status poll runs, the ACU reports the
    // diagnosis state (7) rather than setup mode, and refusing the stop would leave the dish
    // running its limit checks with no way to end them from here.
    const bool stoppingSelfTest = m_State.DiagIdle != 1 && m_State.AntennaMode == kDiagnosisState;
    const Operation operation =
        m_State.DiagIdle == 1 ? Operation::DiagnosisStart : Operation::DiagnosisStop;
    if (stoppingSelfTest ? !linkGate(operation) : !setupGate(operation)) return;
    // The lamps and the caption follow the request at once; reply 24 confirms a stop.
    if (m_State.DiagIdle == 1) {
        m_State.DiagIdle = 0;
        m_Outcomes.begin(Operation::Diagnosis);
        begin(Operation::DiagnosisStart, plainCommand(cmd::DiagnosisStart), kCommandPeriod);
        m_State.StateLamps = kDiagnosisState;
    } else {
        m_State.DiagIdle = 1;
        Outcome stopped;
        stopped.operation = Operation::Diagnosis;
        stopped.ending = Ending::Cancelled;
        m_Outcomes.end(stopped);
        begin(Operation::DiagnosisStop, plainCommand(cmd::DiagnosisStop), kCommandPeriod);
        m_State.StateLamps = kStopState;
    }
    notify(changed::StateLamps | changed::DiagnosisCaption);
}

void AcuController::OnGoToPosition(double az, double el) {
    if (!setupGate(Operation::GoToPosition)) return;
    // An angle goes out as a sign and |angle| * 100 in 16 bits; beyond 655.35 degrees the high
    // bits would be lost and the dish sent somewhere nobody asked for.
    for (const auto& [angle, field] :
         {std::pair{az, "Go to Position AZ"}, std::pair{el, "Go to Position EL"}}) {
        if (fitsSGN100(angle)) continue;
        refuseArguments(Operation::GoToPosition, outOfRangeMessage(field, kAngleRange));
        return;
    }
    m_State.antenna.TargetAz = az;
    m_State.antenna.TargetEl = el;
    begin(Operation::GoToPosition, goToPositionCommand(az, el), kCommandPeriod);
}

void AcuController::stepMove(std::uint8_t code, int direction, double step) {
    if (!setupGate(Operation::Step)) return;
    const StepAxis axis = stepAxis(code);
    // Always from the last reported position: two presses before the next report send the
    // same target twice.
    const double target = m_State.antenna.*axis.current + direction * step;
    if (!fitsSGN100(step) || !fitsSGN100(target)) {
        refuseArguments(Operation::Step, outOfRangeMessage(axis.field, kAngleRange));
        return;
    }
    m_State.antenna.*axis.target = target;
    begin(Operation::Step, moveCommand(code, target), kCommandPeriod);
}

void AcuController::OnAzStepCcw(double step) {
    stepMove(cmd::MoveAzimuth, -1, step);
}
void AcuController::OnAzStepCw(double step) {
    stepMove(cmd::MoveAzimuth, +1, step);
}
void AcuController::OnElStepUp(double step) {
    stepMove(cmd::MoveElevation, +1, step);
}
void AcuController::OnElStepDown(double step) {
    stepMove(cmd::MoveElevation, -1, step);
}
void AcuController::OnSkewStepMinus(double step) {
    stepMove(cmd::MoveSkew, -1, step);
}
void AcuController::OnSkewStepPlus(double step) {
    stepMove(cmd::MoveSkew, +1, step);
}

void AcuController::OnSetParameters(const AntennaParameters& parameters) {
    if (!setupGate(Operation::Parameters)) return;
    if (const auto refusal = parameterRefusal(parameters)) {
        refuseArguments(Operation::Parameters, *refusal);
        return;
    }
    m_State.parameters = parameters;
    begin(Operation::Parameters, parametersCommand(parameters), kCommandPeriod);
}
