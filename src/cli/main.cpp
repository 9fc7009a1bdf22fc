// skyrelay-cli: every operation of the Skyrelay window from a shell, one ACU per process.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace {

const char* const kExitCodes = R"(Exit status:
  0    done
  1    usage error, or a file that does not read
  2    no port, or the port cannot be opened (permission, busy, vanished, not a serial
       port), or it went away
  3    the ACU did not answer (the command and how often it was tried), or refused
  4    --verify found differences
  5    the self test found a failing item
  130  interrupted (Ctrl+C); the port is released)";

}  // namespace

void addCommonOptions(CLI::App& command, CommonOptions& options) {
    command
        .add_option("--port", options.ports,
                    "The ACU's serial device or serial server address (tcp://HOST:PORT, rfc2217://HOST:PORT, "
                    "and their +tls forms); given more than once, the first that answers. "
                    "Without it: the first port, in the window's order, whose ACU answers "
                    "command 1")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_flag("--json", options.json, "One JSON document on stdout");
    command
        .add_option("--timeout", options.timeoutSeconds,
                    "Seconds a step may wait for the ACU without progress")
        ->check(CLI::PositiveNumber)
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
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? exitcode::Done : exitcode::Usage;
    }
    return action ? action() : exitcode::Usage;
}
