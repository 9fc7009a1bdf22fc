// goto, step, params, target, restart, factory-reset: the diagnosis and move page, the
// antenna information page's parameters and the main window's buttons.

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "data/antenna_info.h"
#include "link/controller.h"
#include "link/frame_text.h"
#include "wire/protocol.h"

namespace {

std::u16string widened(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The outcome of an operation that one command answers, said in a line when it was done.
int acknowledged(Session& session, Operation operation, std::uint8_t code, ExitReport& out) {
    const int result = session.await(operation);
    if (result == exitcode::Done) {
        out.say(commandText(code) + " acknowledged");
        out.setResult({{"port", session.portName()},
                       {"acu_command", {{"code", code}, {"name", frameName(code, false)}}},
                       {"acknowledged", true}});
    }
    return result;
}

struct MoveOptions {
    CommonOptions common;
    double az = 0.0;
    double el = 0.0;
    std::string axis;
    double degrees = 0.0;
    bool resume = false;
};

int goTo(const MoveOptions& options, ExitReport& out) {
    Session session("goto", options.common, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    session.controller().OnGoToPosition(options.az, options.el);
    const int result = acknowledged(session, Operation::GoToPosition, cmd::GoToPosition, out);
    return leaveSetupMode(session, options.resume, result, out);
}

int step(const MoveOptions& options, ExitReport& out) {
    Session session("step", options.common, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    AcuController& acu = session.controller();
    const bool forward = options.degrees >= 0;
    const double size = forward ? options.degrees : -options.degrees;
    std::uint8_t code = cmd::MoveSkew;
    if (options.axis == "az") {
        code = cmd::MoveAzimuth;
        forward ? acu.OnAzStepCw(size) : acu.OnAzStepCcw(size);
    } else if (options.axis == "el") {
        code = cmd::MoveElevation;
        forward ? acu.OnElStepUp(size) : acu.OnElStepDown(size);
    } else {
        forward ? acu.OnSkewStepPlus(size) : acu.OnSkewStepMinus(size);
    }
    const int result = acknowledged(session, Operation::Step, code, out);
    return leaveSetupMode(session, options.resume, result, out);
}

struct ParamsOptions {
    CommonOptions common;
    std::vector<std::string> assignments;
    bool resume = false;
};

// The antenna information page's seven edits, by the names --set takes.
const std::map<std::string, std::u16string AntennaParameterEdits::*>& parameterFields() {
    using E = AntennaParameterEdits;
    static const std::map<std::string, std::u16string E::*> kFields = {
        {"tracking-scale", &E::trackingScale}, {"detect-level", &E::detectLevel},
        {"tracking-level", &E::trackingLevel}, {"el-adjust", &E::elAdjust},
        {"skew-adjust", &E::skewAdjust},       {"signal-lost-time", &E::signalLostTime},
        {"break-time", &E::breakTime}};
    return kFields;
}

AntennaParameterEdits shownParameters(const AntennaParameters& parameters) {
    const AntennaParameterTexts texts = antennaParameterTexts(parameters);
    return {widened(texts.trackingScale), widened(texts.detectLevel), widened(texts.trackingLevel),
            widened(texts.elAdjust),      widened(texts.skewAdjust),  widened(texts.signalLostTime),
            widened(texts.breakTime)};
}

void printParameters(Session& session, ExitReport& out) {
    const AntennaParameters& p = session.controller().state().parameters;
    if (out.json()) {
        out.result()["port"] = session.portName();
        out.result()["parameters"] = parametersJson(p);
        return;
    }
    const AntennaParameterEdits shown = shownParameters(p);
    for (const auto& [name, field] : parameterFields()) {
        std::cout << name << "=" << latin1ToUtf8(shown.*field) << "\n";
    }
}

int params(const ParamsOptions& options, ExitReport& out) {
    std::map<std::string, std::string> wanted;
    for (const std::string& assignment : options.assignments) {
        const std::size_t equals = assignment.find('=');
        const std::string name = assignment.substr(0, equals);
        if (equals == std::string::npos || parameterFields().count(name) == 0) {
            return out.fail(exitcode::Usage,
                            "--set wants NAME=VALUE with NAME one of tracking-scale, "
                            "detect-level, tracking-level, el-adjust, skew-adjust, "
                            "signal-lost-time, break-time; not '" +
                                assignment + "'");
        }
        wanted[name] = assignment.substr(equals + 1);
    }
    Session session("params", options.common, &out);
    if (wanted.empty()) {
        if (const int code = openIdentified(session); code != exitcode::Done) return code;
        printParameters(session, out);
        return exitcode::Done;
    }
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    // The fields not named keep what the page shows, as they would in the window, and every
    // field is read as the page reads it.
    AntennaParameterEdits edits = shownParameters(session.controller().state().parameters);
    for (const auto& [name, value] : wanted) edits.*parameterFields().at(name) = widened(value);
    session.controller().OnSetParameters(readAntennaParameters(edits));
    const int code = acknowledged(session, Operation::Parameters, cmd::SetParameters, out);
    if (code == exitcode::Done) printParameters(session, out);
    return leaveSetupMode(session, options.resume, code, out);
}

struct TargetOptions {
    CommonOptions common;
    int position = 0;
    bool yes = false;
    bool resume = false;
};

int target(const TargetOptions& options, ExitReport& out) {
    Session session("target", options.common, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    const int count = session.controller().state().data.SatelliteCount;
    if (options.position < 1 || options.position > count) {
        return session.fail(exitcode::Usage,
                            "the region has satellites 1.." + std::to_string(count));
    }
    session.controller().OnTargetChange(options.position - 1);
    return acknowledged(session, Operation::TargetChange, cmd::TargetChange, out);
}

int restart(const CommonOptions& options, ExitReport& out) {
    Session session("restart", options, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    session.controller().OnAntennaRestart();
    return acknowledged(session, Operation::Restart, cmd::AntennaRestart, out);
}

int factoryReset(const TargetOptions& options, ExitReport& out) {
    if (!options.yes) {
        return out.fail(exitcode::Usage,
                        "refused without --yes: it replaces the ACU's "
                        "settings with its factory defaults");
    }
    Session session("factory-reset", options.common, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    session.controller().OnFactorySetting();
    const int code = session.await(Operation::FactoryReset);
    if (code != exitcode::Done) return code;
    out.say("factory defaults restored");
    out.setResult({{"port", session.portName()}, {"factory_reset", true}});
    return leaveSetupMode(session, options.resume, code, out);
}

}  // namespace

void addAntennaCommands(CLI::App& app, CommandAction& action) {
    auto move = std::make_shared<MoveOptions>();
    CLI::App* go = app.add_subcommand("goto", "Move the dish to AZ EL degrees (setup mode, 25)");
    go->add_option("AZ", move->az, "Azimuth, degrees")->required();
    go->add_option("EL", move->el, "Elevation, degrees")->required();
    addCommonOptions(*go, move->common);
    addResumeFlag(*go, move->resume);
    go->callback(
        [&action, move] { action = [move](ExitReport& out) { return goTo(*move, out); }; });

    auto stepOptions = std::make_shared<MoveOptions>();
    CLI::App* stepCommand = app.add_subcommand(
        "step",
        "Move one axis by DEGREES from its reported position (setup mode, 26/27/28); "
        "negative: counter-clockwise, down, minus");
    stepCommand->add_option("AXIS", stepOptions->axis, "az, el or skew")
        ->required()
        ->check(CLI::IsMember({"az", "el", "skew"}));
    stepCommand->add_option("DEGREES", stepOptions->degrees, "The step")->required();
    addCommonOptions(*stepCommand, stepOptions->common);
    addResumeFlag(*stepCommand, stepOptions->resume);
    stepCommand->callback([&action, stepOptions] {
        action = [stepOptions](ExitReport& out) { return step(*stepOptions, out); };
    });

    auto paramOptions = std::make_shared<ParamsOptions>();
    CLI::App* paramCommand = app.add_subcommand(
        "params", "Show the seven tracking parameters, or set them with --set (setup mode, 29)");
    paramCommand->add_option("--set", paramOptions->assignments,
                             "NAME=VALUE: tracking-scale, detect-level, tracking-level, "
                             "el-adjust, skew-adjust, signal-lost-time, break-time");
    addCommonOptions(*paramCommand, paramOptions->common);
    addResumeFlag(*paramCommand, paramOptions->resume);
    paramCommand->callback([&action, paramOptions] {
        action = [paramOptions](ExitReport& out) { return params(*paramOptions, out); };
    });

    auto targetOptions = std::make_shared<TargetOptions>();
    CLI::App* targetCommand =
        app.add_subcommand("target", "Make satellite N (1..) of the region the target (17)");
    targetCommand->add_option("N", targetOptions->position, "Position in the region's list")
        ->required();
    addCommonOptions(*targetCommand, targetOptions->common);
    targetCommand->callback([&action, targetOptions] {
        action = [targetOptions](ExitReport& out) { return target(*targetOptions, out); };
    });

    auto restartOptions = std::make_shared<CommonOptions>();
    CLI::App* restartCommand = app.add_subcommand("restart", "Restart the antenna (15)");
    addCommonOptions(*restartCommand, *restartOptions);
    restartCommand->callback([&action, restartOptions] {
        action = [restartOptions](ExitReport& out) { return restart(*restartOptions, out); };
    });

    auto resetOptions = std::make_shared<TargetOptions>();
    CLI::App* resetCommand = app.add_subcommand(
        "factory-reset", "Reset the ACU to its factory defaults (setup mode, 30); needs --yes");
    resetCommand->add_flag("--yes", resetOptions->yes, "Yes, reset it");
    addCommonOptions(*resetCommand, resetOptions->common);
    addResumeFlag(*resetCommand, resetOptions->resume);
    resetCommand->callback([&action, resetOptions] {
        action = [resetOptions](ExitReport& out) { return factoryReset(*resetOptions, out); };
    });
}
