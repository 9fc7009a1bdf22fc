// lcd write / lcd read: the 272-byte block of the ACU's LCD texts, as the LCD editor sends
// and reads it (commands 33-37 and 38-42, in setup mode).

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/file_bytes.h"
#include "cli/output.h"
#include "cli/record_compare.h"
#include "lcd/lcd_data.h"
#include "link/controller.h"
#include "wire/protocol.h"

namespace {

// As the window's editor reads a file: a real one is some 300 bytes.
constexpr std::size_t kLcdFileReadLimit = 1 << 20;

struct LcdOptions {
    CommonOptions common;
    std::string file;
    std::string output;
    bool verify = false;
};

// What of the file does not reach the ACU as written: a line longer than the LCD's, a
// file shorter than the block. Told, not dropped silently.
void reportCuts(const std::string& path, std::span<const std::uint8_t> file) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t start = 0;
    std::size_t line = 0;
    for (; line < kLcdLineCount && start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(start, end - start);
        content = content.substr(0, content.find_first_of("\r\n"));
        if (content.size() > lcdLineSize(line)) {
            std::cerr << "skyrelay-cli: lcd write: " << path << ":" << line + 1 << ": "
                      << content.size() << " characters, the LCD line takes " << lcdLineSize(line)
                      << "; cut to '" << latin1ToUtf8(content.substr(0, lcdLineSize(line)))
                      << "'\n";
        }
        start = end + 1;
    }
    if (line < kLcdLineCount) {
        std::cerr << "skyrelay-cli: lcd write: " << path << " has " << line << " of "
                  << kLcdLineCount << " lines; the rest are sent blank\n";
    }
}

int readBack(Session& session) {
    session.controller().OnLcdRead();
    return session.await(Operation::LcdRead);
}

int lcdWrite(const LcdOptions& options) {
    const auto bytes = readFileBytes(options.file, kLcdFileReadLimit);
    if (!bytes) {
        std::cerr << "skyrelay-cli: lcd write: " << options.file << " cannot be read\n";
        return exitcode::Usage;
    }
    LcdDataBlock block;
    block.fill(' ');
    ParseLcdFile(*bytes, block);
    reportCuts(options.file, *bytes);

    Session session("lcd write", options.common);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    session.controller().setLcdData(block);
    session.controller().OnLcdWrite();
    if (const int code = session.await(Operation::LcdWrite); code != exitcode::Done) return code;
    nlohmann::json report = {
        {"port", session.portName()}, {"file", options.file}, {"written", true}};
    int result = exitcode::Done;
    if (options.verify) {
        if (const int code = readBack(session); code != exitcode::Done) return code;
        nlohmann::json list = nlohmann::json::array();
        const std::vector<FieldDifference> differences =
            compareLcd(block, session.controller().state().LcdData);
        for (const FieldDifference& d : differences) {
            list.push_back({{"record", d.record}, {"file", d.file}, {"acu", d.acu}});
            if (!options.common.json) std::cout << differenceText(d) << "\n";
        }
        report["verify"] = {{"differences", list}};
        if (!differences.empty()) {
            result = session.fail(exitcode::Differs, std::to_string(differences.size()) +
                                                         " LCD line(s) differ from the file");
        } else {
            std::cerr << "skyrelay-cli: lcd write: verified, 272 bytes as written\n";
        }
    }
    if (options.common.json) printJson(report);
    return result;
}

int lcdRead(const LcdOptions& options) {
    Session session("lcd read", options.common);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    if (const int code = readBack(session); code != exitcode::Done) return code;
    const LcdDataBlock& read = session.controller().state().LcdData;
    std::size_t badLine = 0;
    const std::optional<std::string> text = FormatLcdFile(read, &badLine);
    if (options.common.json) {
        nlohmann::json lines = nlohmann::json::array();
        for (std::size_t line = 0; line < kLcdLineCount; ++line) {
            lines.push_back(latin1ToUtf8(
                std::string_view(reinterpret_cast<const char*>(read.data() + lcdLineOffset(line)),
                                 lcdLineSize(line))));
        }
        printJson({{"port", session.portName()}, {"lines", lines}});
    }
    if (!text) {
        return session.fail(exitcode::Usage, "line " + std::to_string(badLine + 1) +
                                                 " holds a character an .lcd file cannot keep");
    }
    if (!options.output.empty()) {
        std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
        if (!(out << *text) || !out.flush()) {
            return session.fail(exitcode::Usage, options.output + " cannot be written");
        }
    } else if (!options.common.json) {
        std::cout << *text;
    }
    return exitcode::Done;
}

}  // namespace

void addLcdCommands(CLI::App& app, CommandAction& action) {
    CLI::App* lcd = app.add_subcommand("lcd", "The texts of the ACU's own LCD (272 bytes)");
    lcd->require_subcommand(1);
    auto writeOptions = std::make_shared<LcdOptions>();
    CLI::App* write = lcd->add_subcommand("write",
                                          "Write an .lcd file into the ACU (setup mode, "
                                          "commands 33-37)");
    write->add_option("FILE", writeOptions->file, "The .lcd file")->required();
    write->add_flag("--verify", writeOptions->verify,
                    "Read the 272 bytes back (38-42) and compare them line by line");
    addCommonOptions(*write, writeOptions->common);
    write->callback(
        [&action, writeOptions] { action = [writeOptions] { return lcdWrite(*writeOptions); }; });

    auto readOptions = std::make_shared<LcdOptions>();
    CLI::App* read = lcd->add_subcommand("read",
                                         "Read the ACU's LCD texts (setup mode, commands "
                                         "38-42) as an .lcd file");
    read->add_option("-o,--output", readOptions->output, "Write the .lcd file here, not to stdout");
    addCommonOptions(*read, readOptions->common);
    read->callback(
        [&action, readOptions] { action = [readOptions] { return lcdRead(*readOptions); }; });
}
