#include "cli/exit_report.h"

#include <iostream>

#include "cli/exit_codes.h"
#include "cli/output.h"
#include "link/frame_text.h"

std::string kindOf(int exitCode) {
    switch (exitCode) {
        case exitcode::Usage:
            return "usage";
        case exitcode::NoPort:
            return "port";
        case exitcode::NoAnswer:
            return "no_answer";
        case exitcode::Differs:
            return "differs";
        case exitcode::TestFailed:
            return "test_failed";
        case exitcode::Interrupted:
            return "interrupted";
        default:
            return "failed";
    }
}

nlohmann::json errorJson(const CliError& error, const std::string& command) {
    nlohmann::json json = {
        {"exit_code", error.exitCode}, {"kind", error.kind}, {"message", error.message}};
    if (!command.empty()) json["command"] = command;
    if (error.acuCommand) {
        json["acu_command"] = {{"code", *error.acuCommand},
                               {"name", frameName(*error.acuCommand, false)}};
    }
    if (error.sends) json["sends"] = *error.sends;
    if (!error.step.empty()) json["step"] = error.step;
    return json;
}

void ExitReport::say(const std::string& text) const {
    const std::string prefix =
        "skyrelay-cli: " + (m_Command.empty() ? std::string() : m_Command + ": ");
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        std::cerr << prefix << text.substr(start, end - start) << "\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

int ExitReport::fail(CliError error) {
    say(error.message);
    const int code = error.exitCode;
    m_Error = std::move(error);
    return code;
}

int ExitReport::fail(int exitCode, const std::string& message) {
    return fail(exitCode, kindOf(exitCode), message);
}

int ExitReport::fail(int exitCode, const std::string& kind, const std::string& message) {
    CliError error;
    error.exitCode = exitCode;
    error.kind = kind;
    error.message = message;
    return fail(std::move(error));
}

void ExitReport::line(const nlohmann::json& document) {
    m_Streaming = true;
    printJson(document, true);
}

int ExitReport::finish(int exitCode) {
    if (!m_Json) return exitCode;
    if (exitCode == exitcode::Done) {
        if (!m_Streaming) printJson(m_Result.is_null() ? nlohmann::json::object() : m_Result);
        return exitCode;
    }
    // A failure that came by another way than fail() is still reported, by its code.
    CliError error;
    if (m_Error && m_Error->exitCode == exitCode) {
        error = *m_Error;
    } else {
        error.exitCode = exitCode;
        error.kind = kindOf(exitCode);
        error.message = "exit status " + std::to_string(exitCode);
    }
    if (m_Streaming || m_Result.is_null()) {
        printJson({{"error", errorJson(error, m_Command)}}, m_Streaming);
    } else {
        m_Result["error"] = errorJson(error, m_Command);
        printJson(m_Result);
    }
    return exitCode;
}
