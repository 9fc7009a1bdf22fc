#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_loop.h"
#include "cli/line.h"
#include "cli/reporting_view.h"
#include "link/outcome.h"
#include "link/traffic.h"
#include "wire/protocol.h"

class AcuController;
class ExitReport;

// What every command that talks to an ACU takes.
struct CommonOptions {
    std::vector<std::string> ports;  // --port, in order; none: every port of the machine
    bool json = false;
    double timeoutSeconds = 20.0;
    TlsOptions tls;  // how a +tls address's server certificate is checked
};

// One ACU on one line for the length of a command: the line, the controller, the loop and
// the view that reports. A command starts an operation of the controller and awaits its
// outcome; a wait that goes longer than --timeout without progress ends the command. Every
// wait returns an exit code; on failure the reason has been written to stderr.
class Session : private TrafficObserver {
public:
    // report, where given, keeps every failure for the --json document.
    Session(std::string command, CommonOptions options, ExitReport* report = nullptr);
    ~Session() override;  // the line is released
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The port given, or the first candidate whose ACU answers command 1 within the window's
    // tries; identified to the end of the chain (product, region and its satellites).
    int connect();
    // The identification chain again ("Get Antenna Information"): the region as the ACU has it.
    int identify();
    // Setup mode, asked for as the window's "Setup" button asks.
    int enterSetupMode();
    // Until the controller says how operation ended: exitcode::Done when it was done; the exit
    // code of any other end, with its reason on stderr. outcome() then holds it.
    int await(Operation operation);
    // How the last wait ended. When a step went --timeout without progress, an Unanswered
    // outcome of the operation awaited (Connect for the identification and the status poll)
    // whose code is the command of the step it stopped at, sends how often that step's command
    // went out, and waited the --timeout.
    const Outcome& outcome() const { return m_Outcome; }
    // Until done() holds: for what no operation ends, such as the next status reply. code names
    // the command waited for when the ACU stays silent.
    int waitFor(const std::function<bool()>& done, std::uint8_t code);

    // Writes "skyrelay-cli: COMMAND: text" to stderr and returns exitCode; the report keeps
    // it with the step under way and the sends of its command.
    int fail(int exitCode, const std::string& text) const;

    AcuController& controller() { return *m_Controller; }
    ReportingView& view() { return m_View; }
    const std::string& portName() const { return m_PortName; }
    const CommonOptions& options() const { return m_Options; }

private:
    enum class Attempt { Answered, Silent, NotOpened };
    Attempt tryPort(const std::string& name, std::string& reason);
    void release();
    // The exit code of how an operation ended, with its reason on stderr.
    int exitCodeOf(const Outcome& outcome) const;
    // Takes the first outcome of operation that came, into m_Outcome.
    bool take(Operation operation);
    // Runs the loop until found() or --timeout passes without progress: a reply other than a
    // status (each step of a chain is one), or a progress report. found() is asked until it
    // holds and not again.
    CliLoop::Outcome runSteps(const std::function<bool()>& found);
    // As runSteps; a silence names code, or without one the command last sent, and ends the
    // wait as an outcome of operation.
    int runUntil(const std::function<bool()>& found, std::optional<std::uint8_t> code,
                 Operation operation);
    int timedOut(std::uint8_t code, Operation operation);
    // A step of operation went --timeout without progress waiting for code: the outcome.
    void keepSilence(std::uint8_t code, Operation operation);
    std::string noAnswerText(std::uint8_t code, int tries) const;
    // How often code went out since its last reply: the sends of the step waiting on it.
    int stepSends(std::uint8_t code) const { return code <= cmd::Last ? m_StepSends[code] : 0; }
    // Counts the commands sent and the replies, so that a silence names how often its command
    // was tried and a reply counts as progress.
    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point at) override;

    std::string m_Command;
    CommonOptions m_Options;
    CliLoop m_Loop;
    ReportingView m_View;
    Line m_Line;
    std::unique_ptr<AcuController> m_Controller;
    std::string m_PortName;
    bool m_HungUp = false;
    // How the operations ended, in order, until an await takes its own.
    std::deque<Outcome> m_Ended;
    Outcome m_Outcome;
    bool m_Identified = false;    // the identification ended, well or not
    std::uint8_t m_LastSent = 0;  // the status poll aside
    ExitReport* m_Report = nullptr;
    Operation m_Step = Operation::Connect;  // the operation last awaited
    std::array<int, cmd::Last + 1> m_StepSends{};
    int m_Replies = 0;  // the status replies aside
};

// "Go to position (command 25)": a command by its name and code.
std::string commandText(std::uint8_t code);
