#include "cli/session.h"

#include <algorithm>
#include <iostream>

#include "cli/exit_codes.h"
#include "cli/exit_report.h"
#include "link/controller.h"
#include "link/frame_text.h"
#include "serial/port_list.h"
#include "serial/comm_queue.h"
#include "serial/port_order.h"
#include "wire/protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

std::string commandText(std::uint8_t code) {
    return frameName(code, false) + " (command " + std::to_string(code) + ")";
}

Session::Session(std::string command, CommonOptions options, ExitReport* report)
    : m_Command(std::move(command)), m_Options(std::move(options)), m_Report(report) {
    m_Loop.setHandlers({
        [this] {
            if (m_Controller) m_Controller->OnCommRead();
        },
        [this](int id) {
            if (m_Controller) m_Controller->OnTimer(id);
        },
        [this] {
            m_HungUp = true;
            if (m_Controller) m_Controller->OnPortHangup(m_PortName);
        },
        [this](const std::string& text) { m_View.MessageBox(text, MessageIcon::None); },
    });
}

Session::~Session() {
    release();
}

void Session::release() {
    if (m_Controller) m_Controller->Disconnect();
    m_View.attach(nullptr);
    m_Controller.reset();
    m_Line = Line{};
}

int Session::fail(int exitCode, const std::string& text) const {
    if (m_Report == nullptr) {
        std::cerr << "skyrelay-cli: " << m_Command << ": " << text << "\n";
        return exitCode;
    }
    CliError error{exitCode, kindOf(exitCode), text, std::nullopt, std::nullopt, {}};
    const bool ended = m_Outcome.operation == m_Step && m_Outcome.ending != Ending::Done;
    if (ended && m_Outcome.ending == Ending::Refused) error.kind = "refused";
    if (ended && m_Outcome.ending == Ending::HungUp) error.kind = "hung_up";
    if (ended && m_Outcome.ending == Ending::Cancelled) error.kind = "cancelled";
    if (exitCode != exitcode::Usage && m_Controller) error.step = operationName(m_Step);
    if (ended && m_Outcome.ending == Ending::Unanswered) {
        error.acuCommand = m_Outcome.code;
        error.sends = m_Outcome.sends;
    } else if (m_LastSent != 0 && exitCode == exitcode::NoAnswer && !ended) {
        error.acuCommand = m_LastSent;
        error.sends = static_cast<std::uint32_t>(m_Loop.sent(m_LastSent));
    }
    return m_Report->fail(std::move(error));
}

bool Session::take(Operation operation) {
    const auto found = std::find_if(m_Ended.begin(), m_Ended.end(), [operation](const Outcome& o) {
        return o.operation == operation;
    });
    if (found == m_Ended.end()) return false;
    m_Outcome = *found;
    m_Ended.erase(found);
    return true;
}

Session::Attempt Session::tryPort(const std::string& name, std::string& reason) {
    release();
    m_Line = openLine(name, m_Loop, m_Options.tls);
    if (!m_Line.port) {
        reason = m_Line.failure;
        return Attempt::NotOpened;
    }
    m_PortName = name;
    m_HungUp = false;
    m_Ended.clear();
    m_LastSent = 0;
    m_StepSends = {};
    m_Controller =
        std::make_unique<AcuController>(*m_Line.port, m_Line.port->m_QueueRead, m_View, m_Loop);
    m_View.attach(&m_Controller->state());
    m_Controller->setTrafficObserver(this);
    m_Controller->setOutcomeListener(
        [this](const Outcome& outcome) { m_Ended.push_back(outcome); });
    m_Loop.forgetCounts();
    m_Controller->StartConnection();
    // Each step of the identification may take --timeout, not the whole of it: a region of
    // twenty satellites over a satellite link takes longer than any one answer.
    m_Identified = false;
    m_Step = Operation::Connect;
    runSteps([this] { return m_Identified = take(Operation::Connect); });
    if (!m_Identified) keepSilence(m_LastSent, Operation::Connect);
    // Without an outcome the wait ran out: a port still asking command 1 has no ACU on it.
    if (!m_Identified) return m_LastSent == cmd::LinkCheck ? Attempt::Silent : Attempt::Answered;
    // A line that went away before the ACU could answer was not a silent ACU.
    if (m_Outcome.ending == Ending::HungUp && m_LastSent <= cmd::LinkCheck) {
        reason = m_Line.port->hangupReason();
        if (reason.empty()) reason = "the line went away";
        return Attempt::NotOpened;
    }
    const bool silent = m_Outcome.ending == Ending::Unanswered && m_Outcome.code == cmd::LinkCheck;
    return silent ? Attempt::Silent : Attempt::Answered;
}

int Session::connect() {
    CliLoop::catchInterrupts();
    std::vector<std::string> names = m_Options.ports;
    if (names.empty()) {
        for (const PortInfo& port : candidatePorts({})) names.push_back(port.path);
    }
    if (names.empty()) return fail(exitcode::NoPort, "no serial port found");
    std::vector<std::string> silent;
    std::string lastReason;
    for (const std::string& name : names) {
        std::string reason;
        const Attempt attempt = tryPort(name, reason);
        if (CliLoop::interrupted()) return fail(exitcode::Interrupted, "interrupted");
        if (attempt == Attempt::Answered) {
            std::cerr << "skyrelay-cli: " << m_Command << ": ACU on " << name << "\n";
            if (!m_Identified) return timedOut(m_LastSent, Operation::Connect);
            return exitCodeOf(m_Outcome);
        }
        if (attempt == Attempt::NotOpened) {
            lastReason = name + ": " + reason;
            if (names.size() > 1) std::cerr << "skyrelay-cli: " << lastReason << "\n";
        } else {
            silent.push_back(name);
        }
    }
    release();
    if (silent.empty()) return fail(exitcode::NoPort, lastReason);
    if (names.size() == 1) {
        return fail(exitcode::NoAnswer,
                    names[0] + ": " + noAnswerText(cmd::LinkCheck, stepSends(cmd::LinkCheck)));
    }
    std::string list;
    for (const std::string& name : silent) list += (list.empty() ? "" : ", ") + name;
    return fail(exitcode::NoAnswer,
                "no ACU answered " + commandText(cmd::LinkCheck) + " on " + list);
}

void Session::onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes, Clock::time_point) {
    if (bytes.size() <= 2 || bytes[2] > cmd::Last) return;
    const std::uint8_t code = bytes[2];
    if (kind == TrafficKind::Received) {
        // The status poll goes on beside whatever is awaited: its replies are no progress.
        if (code != cmd::StatusPoll) ++m_Replies;
        m_StepSends[code] = 0;
        return;
    }
    if (kind != TrafficKind::Sent) return;
    m_Loop.countSent(code);
    m_StepSends[code] += 1;
    // A silence names the command awaited, not the poll beside it.
    if (code != cmd::StatusPoll) m_LastSent = code;
}

std::string Session::noAnswerText(std::uint8_t code, int tries) const {
    tries = std::max(1, tries);
    return "the ACU did not answer " + commandText(code) + " after " + std::to_string(tries) +
           (tries == 1 ? " try" : " tries");
}

void Session::keepSilence(std::uint8_t code, Operation operation) {
    m_Outcome = Outcome{};
    m_Outcome.operation = operation;
    m_Outcome.ending = Ending::Unanswered;
    m_Outcome.code = code;
    m_Outcome.sends = static_cast<std::uint32_t>(std::max(1, stepSends(code)));
    m_Outcome.waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::duration<double>(m_Options.timeoutSeconds));
}

int Session::timedOut(std::uint8_t code, Operation operation) {
    keepSilence(code, operation);
    return fail(exitcode::NoAnswer, noAnswerText(code, stepSends(code)) + " in " +
                                        std::to_string(static_cast<int>(m_Options.timeoutSeconds)) +
                                        " s");
}

CliLoop::Outcome Session::runSteps(const std::function<bool()>& found) {
    const auto limit = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(m_Options.timeoutSeconds));
    const auto progress = [this] { return m_View.progressEvents + m_Replies; };
    for (;;) {
        const int before = progress();
        bool isFound = false;
        const CliLoop::Outcome outcome = m_Loop.runUntil(
            [&] { return (isFound = found()) || progress() != before; }, Clock::now() + limit);
        if (isFound) return CliLoop::Outcome::Done;
        // Progress: the next step is under way, and its wait starts afresh.
        if (outcome == CliLoop::Outcome::Done) continue;
        return outcome;
    }
}

int Session::runUntil(const std::function<bool()>& found, std::optional<std::uint8_t> code,
                      Operation operation) {
    const CliLoop::Outcome outcome = runSteps(found);
    if (outcome == CliLoop::Outcome::Done) return exitcode::Done;
    const std::uint8_t waitedFor = code.value_or(m_LastSent);
    if (outcome == CliLoop::Outcome::Interrupted) {
        return fail(exitcode::Interrupted, "interrupted during " + commandText(waitedFor));
    }
    return timedOut(waitedFor, operation);
}

int Session::await(Operation operation) {
    m_Step = operation;
    if (const int code = runUntil([&] { return take(operation); }, std::nullopt, operation);
        code != exitcode::Done) {
        return code;
    }
    return exitCodeOf(m_Outcome);
}

int Session::waitFor(const std::function<bool()>& done, std::uint8_t code) {
    const auto gone = [this] { return m_HungUp || m_Controller->state().Connected != 1; };
    if (const int result = runUntil([&] { return done() || gone(); }, code, m_Step);
        result != exitcode::Done) {
        return result;
    }
    if (done()) return exitcode::Done;
    return fail(exitcode::NoPort, m_PortName + ": the line went away during " + commandText(code));
}

int Session::exitCodeOf(const Outcome& outcome) const {
    const std::string name = operationName(outcome.operation);
    switch (outcome.ending) {
        case Ending::Done:
            return exitcode::Done;
        case Ending::Refused:
            // The reason, where there is one, is the window's message said in one line.
            if (outcome.refusedBy == RefusedBy::Arguments) {
                const std::string why = reasonText(outcome.reason);
                return fail(exitcode::Usage,
                            name + ": refused, nothing was sent" + (why.empty() ? "" : ": " + why));
            }
            if (outcome.refusedBy == RefusedBy::SetupGate) {
                return fail(exitcode::NoAnswer, name + ": refused, the ACU is not in setup mode");
            }
            return fail(exitcode::NoPort, name + ": refused, " + m_PortName + " is not open");
        case Ending::Unanswered: {
            const std::string waited =
                " in " + std::to_string(outcome.waited.count() / 1000) + " s";
            if (outcome.sends == 0) {
                return fail(exitcode::NoAnswer, "the ACU sent no " + frameName(outcome.code, true) +
                                                    " (reply " + std::to_string(outcome.code) +
                                                    ")" + waited);
            }
            return fail(exitcode::NoAnswer,
                        noAnswerText(outcome.code, static_cast<int>(outcome.sends)) + waited);
        }
        case Ending::HungUp:
            return fail(exitcode::NoPort, m_PortName + ": the line went away during " + name);
        case Ending::Cancelled:
            return fail(exitcode::NoAnswer, name + ": cancelled");
    }
    return exitcode::NoAnswer;
}

int Session::identify() {
    m_Controller->OnGetAntennaInformation();
    return await(Operation::AntennaInformation);
}

int Session::enterSetupMode() {
    m_View.confirmAnswer = true;
    m_Controller->OnSetupMode();
    return await(Operation::SetupMode);
}
