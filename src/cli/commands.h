#pragma once

#include <functional>
#include <memory>

#include "cli/exit_report.h"
#include "cli/session.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

// Each group of commands lives in a file of its own and adds its subcommands here; the one
// that the command line names sets the action that main() runs.
// It reports its result and failures to the run's ExitReport and returns the exit code.
using CommandAction = std::function<int(ExitReport&)>;

// A number above 0 and at most limit, refused in words: "--timeout: wants seconds above 0
// and at most 86400, not '0'".
CLI::Validator numberAbove0(const std::string& unit, double limit);

// --port, --json and --timeout of a command that talks to an ACU.
void addCommonOptions(CLI::App& command, CommonOptions& options);

void addPortsCommand(CLI::App& app, CommandAction& action);
void addLookAnglesCommand(CLI::App& app, CommandAction& action);
void addInfoCommand(CLI::App& app, CommandAction& action);
void addStatusCommand(CLI::App& app, CommandAction& action);
void addUploadCommand(CLI::App& app, CommandAction& action);
void addLcdCommands(CLI::App& app, CommandAction& action);
void addDiagnoseCommand(CLI::App& app, CommandAction& action);
void addAntennaCommands(CLI::App& app, CommandAction& action);
void addReportCommand(CLI::App& app, CommandAction& action);

// A session on the ACU, connected and identified; the exit code on failure.
int openIdentified(Session& session);
// ... and in setup mode.
int openInSetupMode(Session& session);

// --resume of a command that leaves the ACU in setup mode.
void addResumeFlag(CLI::App& command, bool& resume);
// The end of a command that took the ACU into setup mode and ended with result (done, or a
// --verify or self test that found faults): with resume, restarts the antenna (15) and waits
// until it reports tracking; without, says that it stays in setup mode and how to resume.
// The result document says which ("setup_mode", "resumed"). result, or the failure to resume.
int leaveSetupMode(Session& session, bool resume, int result, ExitReport& out);
