#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// Why a run of skyrelay-cli ended other than done, as --json reports it.
struct CliError {
    int exitCode = 0;
    std::string kind;  // usage, file, port, hung_up, no_answer, refused, ... (kindOf)
    std::string message;
    std::optional<std::uint8_t> acuCommand;  // the ACU command that failed, where one did
    std::optional<std::uint32_t> sends;      // how often it went out
    std::string step;                        // the operation under way: "Upload", "Connect"
};

// The kind a script reads beside the exit code, when nothing more precise is known.
std::string kindOf(int exitCode);

// What one run says at its end. Messages go to stderr as they come, every line prefixed
// "skyrelay-cli: COMMAND: "; under --json, stdout gets exactly one document at the end: the
// result, the error object, or the result carrying the error (a --verify that found
// differences, a self test with a failing item). A stream of JSON Lines (status --watch)
// prints its lines as they come and at the end only an error, as one more line.
class ExitReport {
public:
    explicit ExitReport(bool json) : m_Json(json) {}

    bool json() const { return m_Json; }
    void setCommand(std::string command) { m_Command = std::move(command); }
    const std::string& command() const { return m_Command; }

    // One message on stderr, each of its lines prefixed.
    void say(const std::string& text) const;
    // Says the error's message and keeps the error; returns its exit code.
    int fail(CliError error);
    int fail(int exitCode, const std::string& message);
    int fail(int exitCode, const std::string& kind, const std::string& message);

    // The result document, printed by finish() under --json.
    nlohmann::json& result() { return m_Result; }
    void setResult(nlohmann::json document) { m_Result = std::move(document); }
    // One line of a JSON Lines stream, printed at once.
    void line(const nlohmann::json& document);

    // Prints what --json owes for exitCode and returns it.
    int finish(int exitCode);

private:
    bool m_Json = false;
    bool m_Streaming = false;
    std::string m_Command;
    nlohmann::json m_Result;
    std::optional<CliError> m_Error;
};

// The error object of the JSON document.
nlohmann::json errorJson(const CliError& error, const std::string& command);
