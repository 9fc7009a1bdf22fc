#include "cli/session.h"

#include <algorithm>
#include <iostream>

#include "cli/exit_codes.h"
#include "cli/port_list.h"
#include "link/controller.h"
#include "link/frame_decoder.h"
#include "link/link_state.h"
#include "wire/protocol.h"
#include "serial/comm_queue.h"
#include "serial/port_order.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

std::string commandText(std::uint8_t code) {
    return frameName(code, false) + " (command " + std::to_string(code) + ")";
}

Session::Session(std::string command, CommonOptions options)
    : m_Command(std::move(command)), m_Options(std::move(options)) {
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
    m_Controller.reset();
    m_Line = Line{};
}

int Session::fail(int exitCode, const std::string& text) const {
    std::cerr << "skyrelay-cli: " << m_Command << ": " << text << "\n";
    return exitCode;
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
    m_Controller = std::make_unique<AcuController>(*m_Line.port, m_Line.port->m_QueueRead, m_View, m_Loop);
    m_Controller->setTrafficObserver(this);
    m_Loop.forgetCounts();
    m_Controller->StartConnection();
    // Reply 1 makes the controller ask for the product (command 2); the window's tries of
    // command 1 running out stop timer 1 with nothing asked.
    const auto answered = [this] { return m_Loop.starts(cmd::AntennaInformation) > 0; };
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(m_Options.timeoutSeconds));
    m_Loop.runUntil([&] { return answered() || !m_Loop.running(cmd::LinkCheck) || m_HungUp; },
                    deadline);
    if (answered()) return Attempt::Answered;
    // A line that went away before the ACU could answer was not a silent ACU.
    if (m_HungUp) {
        reason = m_Line.port->hangupReason();
        if (reason.empty()) reason = "the line went away";
        return Attempt::NotOpened;
    }
    return Attempt::Silent;
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
            return exitcode::Done;
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
        return fail(exitcode::NoAnswer, names[0] + ": the ACU did not answer " +
                                            commandText(cmd::LinkCheck) + " after " +
                                            std::to_string(kMaxConnectResends + 1) + " tries");
    }
    std::string list;
    for (const std::string& name : silent) list += (list.empty() ? "" : ", ") + name;
    return fail(exitcode::NoAnswer,
                "no ACU answered " + commandText(cmd::LinkCheck) + " on " + list);
}

void Session::onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes, Clock::time_point) {
    if (kind == TrafficKind::Sent && bytes.size() > 2) m_Loop.countSent(bytes[2]);
}

std::string Session::noAnswerText(std::uint8_t code) const {
    const int tries = std::max(1, m_Loop.sent(code));
    return "the ACU did not answer " + commandText(code) + " after " + std::to_string(tries) +
           (tries == 1 ? " try" : " tries");
}

int Session::waitFor(const std::function<bool()>& done, std::uint8_t code,
                     const std::function<std::optional<int>()>& failed) {
    const auto limit = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(m_Options.timeoutSeconds));
    auto deadline = Clock::now() + limit;
    int progress = m_View.progressEvents;
    std::optional<int> failure;
    for (;;) {
        const CliLoop::Outcome outcome = m_Loop.runUntil(
            [&] {
                if (done()) return true;
                if (m_HungUp || g_Connected != 1) return true;
                if (failed && (failure = failed())) return true;
                return m_View.progressEvents != progress;
            },
            deadline);
        if (outcome == CliLoop::Outcome::Interrupted) {
            return fail(exitcode::Interrupted, "interrupted during " + commandText(code));
        }
        if (outcome == CliLoop::Outcome::TimedOut) {
            return fail(exitcode::NoAnswer,
                        noAnswerText(code) + " in " +
                            std::to_string(static_cast<int>(m_Options.timeoutSeconds)) + " s");
        }
        if (done()) return exitcode::Done;
        if (m_HungUp || g_Connected != 1) {
            return fail(exitcode::NoPort,
                        m_PortName + ": the line went away during " + commandText(code));
        }
        if (failure) return *failure;
        // Progress: the step is alive, its wait starts again.
        progress = m_View.progressEvents;
        deadline = Clock::now() + limit;
    }
}

int Session::identify() {
    const int before = m_View.chainsDone;
    std::uint8_t step = cmd::AntennaInformation;
    const auto chainStep = [this, &step] {
        for (std::uint8_t code = cmd::LinkCheck; code <= cmd::RegionSatellite; ++code) {
            if (m_Loop.starts(code) > 0) step = code;
        }
        return step;
    };
    return waitFor([&] { return m_View.chainsDone > before; }, step,
                   [&]() -> std::optional<int> {
                       // Commands 2..4 go out once: with none of them waiting, the chain has ended
                       // short.
                       for (std::uint8_t code = cmd::LinkCheck; code <= cmd::RegionSatellite;
                            ++code) {
                           if (m_Loop.running(code)) return std::nullopt;
                       }
                       return fail(exitcode::NoAnswer, noAnswerText(chainStep()));
                   });
}

int Session::enterSetupMode() {
    m_View.confirmAnswer = true;
    m_Controller->OnSetupMode();
    return waitFor([this] { return g_SetupMode == 1 && !m_Loop.running(cmd::SetupMode); },
                   cmd::SetupMode);
}

int Session::awaitAcknowledge(std::uint8_t code) {
    return waitFor([this, code] { return !m_Loop.running(code); }, code);
}
