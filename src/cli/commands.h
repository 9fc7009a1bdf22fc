#pragma once

#include <functional>
#include <memory>

#include "cli/session.h"

namespace CLI {
class App;
}

// Each group of commands lives in a file of its own and adds its subcommands here; the one
// that the command line names sets the action that main() runs.
using CommandAction = std::function<int()>;

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
