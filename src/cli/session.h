#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_loop.h"
#include "cli/line.h"
#include "cli/reporting_view.h"
#include "link/traffic.h"

class AcuController;

// What every command that talks to an ACU takes.
struct CommonOptions {
    std::vector<std::string> ports;  // --port, in order; none: every port of the machine
    bool json = false;
    double timeoutSeconds = 20.0;
    TlsOptions tls;  // how a +tls address's server certificate is checked
};

// One ACU on one line for the length of a command: the line, the controller, the loop and
// the view that reports. Each step waits with the loop until the controller has what the
// command needs; a step that waits longer than --timeout without progress ends the command.
// Every wait returns an exit code; on failure the reason has been written to stderr.
class Session : private TrafficObserver {
public:
    Session(std::string command, CommonOptions options);
    ~Session() override;  // the line is released
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The port given, or the first candidate whose ACU answers command 1 within the window's
    // tries. Identification carries on from there.
    int connect();
    // The identification chain to its end: product, region and its satellites.
    int identify();
    // Setup mode, asked for as the window's "Setup" button asks.
    int enterSetupMode();
    // Until the timer of code, started by its sender, is stopped by the reply.
    int awaitAcknowledge(std::uint8_t code);
    // Until done() holds. failed() may end the wait with an exit code of its own. code names
    // the command waited for when the ACU stays silent.
    int waitFor(const std::function<bool()>& done, std::uint8_t code,
                const std::function<std::optional<int>()>& failed = {});

    // Writes "skyrelay-cli: COMMAND: text" to stderr and returns exitCode.
    int fail(int exitCode, const std::string& text) const;

    AcuController& controller() { return *m_Controller; }
    ReportingView& view() { return m_View; }
    CliLoop& loop() { return m_Loop; }
    const std::string& portName() const { return m_PortName; }
    const CommonOptions& options() const { return m_Options; }
    std::size_t messageCount() const { return m_View.messages.size(); }

private:
    enum class Attempt { Answered, Silent, NotOpened };
    Attempt tryPort(const std::string& name, std::string& reason);
    void release();
    std::string noAnswerText(std::uint8_t code) const;
    // Counts the commands sent, so that a silence names how often its command was tried.
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
};

// "Go to position (command 25)": a command by its name and code.
std::string commandText(std::uint8_t code);
