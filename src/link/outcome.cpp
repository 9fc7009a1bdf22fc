#include "link/outcome.h"

#include "link/frame_decoder.h"

namespace {

const char* const kNames[kOperationCount] = {
    "Connect",        "Get Antenna Information",
    "Antenna Restart", "Setup Mode",
    "Target Change",  "Factory Setting",
    "Update Default Data", "Edit Satellite Information",
    "Set Local Frequency", "DiSEqC Use",
    "Diagnosis Start", "Diagnosis Stop",
    "Self test",      "Go to Position",
    "Antenna Move Step", "Set Parameters",
    "LCD Write",      "LCD Read",
};

std::string seconds(std::chrono::milliseconds waited) {
    return std::to_string(waited.count() / 1000) + " s";
}

}  // namespace

const char* operationName(Operation operation) {
    const auto index = static_cast<std::size_t>(operation);
    return index < kOperationCount ? kNames[index] : "";
}

std::string outcomeText(const Outcome& outcome) {
    const std::string name = operationName(outcome.operation);
    const std::string code = std::to_string(outcome.code);
    switch (outcome.ending) {
        case Ending::Done:
            return name + ": done";
        case Ending::Refused:
            if (outcome.refusedBy == RefusedBy::Link) return name + ": refused, no link is open";
            if (outcome.refusedBy == RefusedBy::SetupGate) {
                return name + ": refused, the ACU is not in setup mode";
            }
            return name + ": refused, nothing was sent";
        case Ending::Unanswered:
            if (outcome.sends == 0) {
                return "no " + frameName(outcome.code, true) + " (reply " + code + ") came in " +
                       seconds(outcome.waited);
            }
            return "no answer to " + frameName(outcome.code, false) + " (command " + code +
                   ") after " + std::to_string(outcome.sends) +
                   (outcome.sends == 1 ? " send in " : " sends in ") + seconds(outcome.waited);
        case Ending::HungUp:
            return name + ": the line went away";
        case Ending::Cancelled:
            return name + ": cancelled";
    }
    return name;
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
