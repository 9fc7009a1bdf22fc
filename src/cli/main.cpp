// skyrelay-cli: every operation of the Skyrelay window from a shell, one ACU per process.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/exit_report.h"

namespace {

const char* const kExitCodes = R"(Exit status:
  0    done
  1    usage error, or a file that does not read
  2    no port, or the port cannot be opened (permission, busy, no such file, not a
       serial port), or it went away
  3    the ACU did not answer (the command and how often it was tried), or refused
  4    --verify found differences
  5    the self test found a failing item
  130  interrupted (Ctrl+C); the port is released
With --json, stdout holds one JSON document at every exit: the result, or {"error": {...}}
with the exit code, its kind and the message (a --verify difference or a failed self test:
the result with its "error"). The schemas in /usr/share/skyrelay/schemas/ are the contract.)";

// The longest wait a step may be given: a day. Longer would overflow the clock's deadline.
constexpr double kTimeoutLimitSeconds = 24 * 3600;

// "--json" anywhere before "--": the error of a command line that does not parse is
// reported as JSON too.
bool wantsJson(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--") == 0) return false;
        if (std::strcmp(argv[k], "--json") == 0) return true;
    }
    return false;
}

// "lcd write": the subcommands the command line named.
std::string commandPath(const CLI::App& app) {
    std::string path;
    for (const CLI::App* command = &app;;) {
        const std::vector<CLI::App*> named = command->get_subcommands();
        if (named.empty()) return path;
        command = named.front();
        path += (path.empty() ? "" : " ") + command->get_name();
    }
}

}  // namespace

CLI::Validator numberAbove0(const std::string& unit, double limit) {
    return CLI::Validator(
        [unit, limit](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end != text.c_str() + text.size() || text.empty() || !(value > 0) ||
                value > limit) {
                // Every digit of the limit, never an exponent.
                char most[32];
                std::snprintf(most, sizeof most, "%.15g", limit);
                return "wants " + unit + " above 0 and at most " + most + ", not '" + text + "'";
            }
            return {};
        },
        unit.substr(0, unit.size() - 1) + " > 0");
}

void addCommonOptions(CLI::App& command, CommonOptions& options) {
    command
        .add_option("--port", options.ports,
                    "The ACU's serial device or serial server address (tcp://HOST:PORT, "
                    "rfc2217://HOST:PORT, "
                    "and their +tls forms); given more than once, the first that answers. "
                    "Without it: the first port, in the window's order, whose ACU answers "
                    "command 1")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_flag("--json", options.json, "One JSON document on stdout");
    command
        .add_option("--timeout", options.timeoutSeconds,
                    "Seconds a step may wait for the ACU without progress")
        ->check(numberAbove0("seconds", kTimeoutLimitSeconds))
        ->capture_default_str();
    command.add_option("--tls-ca", options.tls.caFile,
                       "Trust the serial servers whose certificates this authority signed "
                       "(a PEM file; without it the system's authorities)");
    command.add_flag("--insecure-tls", options.tls.insecure,
                     "Connect to a +tls address even when its certificate fails the check");
    command.add_option("--tls-cert", options.tls.certFile,
                       "Prove skyrelay-cli to a serial server that asks for a client "
                       "certificate: this certificate (PEM)");
    command.add_option("--tls-key", options.tls.keyFile,
                       "The private key of --tls-cert (PEM, without a passphrase); without "
                       "it, the --tls-cert file holds both");
}

int openIdentified(Session& session) {
    return session.connect();
}

int openInSetupMode(Session& session) {
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    return session.enterSetupMode();
}

int main(int argc, char** argv) {
    CLI::App app{
        "skyrelay-cli: the antenna control unit (ACU) from a shell. Progress and "
        "messages go to stderr, results to stdout.",
        "skyrelay-cli"};
    app.footer(kExitCodes);
    app.set_version_flag("--version", "skyrelay-cli " SKYRELAY_VERSION);
    app.require_subcommand(1);
    CommandAction action;
    addPortsCommand(app, action);
    addInfoCommand(app, action);
    addStatusCommand(app, action);
    addLookAnglesCommand(app, action);
    addUploadCommand(app, action);
    addLcdCommands(app, action);
    addDiagnoseCommand(app, action);
    addAntennaCommands(app, action);
    addReportCommand(app, action);
    ExitReport report(wantsJson(argc, argv));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version print as CLI11 prints them.
        if (error.get_exit_code() == 0) return app.exit(error);
        report.setCommand(commandPath(app));
        report.fail(exitcode::Usage, std::string(error.what()) + " (skyrelay-cli " +
                                         (report.command().empty() ? "" : report.command() + " ") +
                                         "--help lists the options)");
        return report.finish(exitcode::Usage);
    }
    report.setCommand(commandPath(app));
    return report.finish(action ? action(report) : exitcode::Usage);
}
