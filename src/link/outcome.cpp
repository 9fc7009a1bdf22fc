#include "link/outcome.h"

namespace {

const char* const kNames[kOperationCount] = {
    "Connect",
    "Get Antenna Information",
    "Antenna Restart",
    "Setup Mode",
    "Target Change",
    "Factory Setting",
    "Update Default Data",
    "Edit Satellite Information",
    "Set Local Frequency",
    "DiSEqC Use",
    "Diagnosis Start",
    "Diagnosis Stop",
    "Self test",
    "Go to Position",
    "Antenna Move Step",
    "Set Parameters",
    "LCD Write",
    "LCD Read",
};

}  // namespace

const char* operationName(Operation operation) {
    const auto index = static_cast<std::size_t>(operation);
    return index < kOperationCount ? kNames[index] : "";
}

void OutcomeTracker::end(const Outcome& outcome) {
    if (!pending(outcome.operation)) return;
    m_Pending &= ~bit(outcome.operation);
    if (m_Listener) m_Listener(outcome);
}

void OutcomeTracker::report(const Outcome& outcome) {
    m_Pending &= ~bit(outcome.operation);
    if (m_Listener) m_Listener(outcome);
}

void OutcomeTracker::endAll(Ending ending) {
    for (std::size_t k = 0; k < kOperationCount; ++k) {
        Outcome outcome;
        outcome.operation = static_cast<Operation>(k);
        outcome.ending = ending;
        end(outcome);
    }
}

void OutcomeTracker::done(Operation operation, std::uint8_t reply, std::uint32_t value) {
    if (!pending(operation)) return;
    Outcome outcome;
    outcome.operation = operation;
    outcome.code = reply;
    outcome.value = value;
    end(outcome);
}

void OutcomeTracker::unanswered(Operation operation, std::uint8_t code, std::uint32_t sends,
                                std::chrono::milliseconds waited) {
    if (!pending(operation)) return;
    Outcome outcome;
    outcome.operation = operation;
    outcome.ending = Ending::Unanswered;
    outcome.code = code;
    outcome.sends = sends;
    outcome.waited = waited;
    end(outcome);
}
