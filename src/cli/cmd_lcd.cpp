// lcd write / lcd read: the 272-byte block of the ACU's LCD texts, as the LCD editor sends
// and reads it (commands 33-37 and 38-42, in setup mode).

#include <CLI/CLI.hpp>
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
    bool force = false;
    bool resume = false;
};

// A line this many times the LCD's is no LCD text: likely a .sif or another file given by
// mistake. A few characters too many are cut and said.
constexpr std::size_t kFarBeyondLine = 2;

// The file's lines without their ends; blank lines at its end do not count.
std::vector<std::string_view> linesOf(std::span<const std::uint8_t> file) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(start, end - start);
        lines.push_back(content.substr(0, content.find_first_of("\r\n")));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// Why the file is not LCD text, or nothing when it is.
std::optional<std::string> notLcdText(const std::string& path,
                                      const std::vector<std::string_view>& lines) {
    if (lines.size() > kLcdLineCount) {
        return path + " has " + std::to_string(lines.size()) + " lines, the LCD takes " +
               std::to_string(kLcdLineCount);
    }
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (lines[line].size() > kFarBeyondLine * lcdLineSize(line)) {
            return path + ":" + std::to_string(line + 1) + ": " +
                   std::to_string(lines[line].size()) + " characters, the LCD line takes " +
                   std::to_string(lcdLineSize(line));
        }
    }
    return std::nullopt;
}

// What of the file does not reach the ACU as written: a line longer than the LCD's, a
// file shorter than the block. Told, not dropped silently.
void reportCuts(const std::string& path, const std::vector<std::string_view>& lines,
                ExitReport& out) {
    for (std::size_t line = 0; line < lines.size() && line < kLcdLineCount; ++line) {
        const std::string_view content = lines[line];
        if (content.size() > lcdLineSize(line)) {
            out.say(path + ":" + std::to_string(line + 1) + ": " + std::to_string(content.size()) +
                    " characters, the LCD line takes " + std::to_string(lcdLineSize(line)) +
                    "; cut to '" + latin1ToUtf8(content.substr(0, lcdLineSize(line))) + "'");
        }
    }
    if (lines.size() < kLcdLineCount) {
        out.say(path + " has " + std::to_string(lines.size()) + " of " +
                std::to_string(kLcdLineCount) + " lines; the rest are sent blank");
    }
}

int readBack(Session& session) {
    session.controller().OnLcdRead();
    return session.await(Operation::LcdRead);
}

int verifyLcd(Session& session, const LcdDataBlock& block, ExitReport& out) {
    if (const int code = readBack(session); code != exitcode::Done) return code;
    nlohmann::json list = nlohmann::json::array();
    const std::vector<FieldDifference> differences =
        compareLcd(block, session.controller().state().LcdData);
    for (const FieldDifference& d : differences) {
        list.push_back({{"record", d.record}, {"file", d.file}, {"acu", d.acu}});
        if (!out.json()) std::cout << differenceText(d) << "\n";
    }
    const std::string compared = "the " + std::to_string(kLcdLineCount) + " LCD lines (" +
                                 std::to_string(block.size()) + " bytes) read back and " +
                                 (differences.empty() ? "equal to what was written" : "compared");
    out.result()["verify"] = {{"compared", compared},
                              {"lines", kLcdLineCount},
                              {"equal", differences.empty()},
                              {"differences", list}};
    if (differences.empty()) {
        out.say(compared);
        return exitcode::Done;
    }
    return session.fail(exitcode::Differs, compared + "; " + std::to_string(differences.size()) +
                                               " LCD line(s) differ from the file");
}

int lcdWrite(const LcdOptions& options, ExitReport& out) {
    std::string failure;
    const auto bytes = readFileBytes(options.file, kLcdFileReadLimit, &failure);
    if (!bytes) return out.fail(exitcode::Usage, "file", failure + "; nothing was sent");
    const std::vector<std::string_view> lines = linesOf(*bytes);
    if (const auto why = notLcdText(options.file, lines); why && !options.force) {
        return out.fail(exitcode::Usage, "file",
                        *why + ": not LCD text, nothing was sent (--force writes it anyway)");
    }
    LcdDataBlock block;
    block.fill(' ');
    ParseLcdFile(*bytes, block);
    reportCuts(options.file, lines, out);

    Session session("lcd write", options.common, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    session.controller().setLcdData(block);
    session.controller().OnLcdWrite();
    if (const int code = session.await(Operation::LcdWrite); code != exitcode::Done) return code;
    out.say(std::to_string(block.size()) + " bytes written");
    out.setResult({{"port", session.portName()}, {"file", options.file}, {"written", true}});
    int result = exitcode::Done;
    if (options.verify) result = verifyLcd(session, block, out);
    return leaveSetupMode(session, options.resume, result, out);
}

int lcdRead(const LcdOptions& options, ExitReport& out) {
    Session session("lcd read", options.common, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    if (const int code = readBack(session); code != exitcode::Done) return code;
    const LcdDataBlock& read = session.controller().state().LcdData;
    std::size_t badLine = 0;
    const std::optional<std::string> text = FormatLcdFile(read, &badLine);
    nlohmann::json lines = nlohmann::json::array();
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        lines.push_back(latin1ToUtf8(std::string_view(
            reinterpret_cast<const char*>(read.data() + lcdLineOffset(line)), lcdLineSize(line))));
    }
    out.setResult({{"port", session.portName()}, {"lines", lines}});
    int result = exitcode::Done;
    if (!text) {
        result = session.fail(exitcode::Usage, "line " + std::to_string(badLine + 1) +
                                                   " holds a character an .lcd file cannot keep");
    } else if (!options.output.empty()) {
        if (const std::string failure = writeFile(options.output, *text); !failure.empty()) {
            result = out.fail(exitcode::Usage, "file", failure);
        } else {
            out.result()["file"] = options.output;
        }
    } else if (!options.common.json) {
        std::cout << *text;
    }
    return leaveSetupMode(session, options.resume, result, out);
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
    write->add_flag("--force", writeOptions->force,
                    "Write a file that is no LCD text (more than 14 lines, or lines far beyond "
                    "an LCD line) all the same, cut to the LCD");
    addResumeFlag(*write, writeOptions->resume);
    addCommonOptions(*write, writeOptions->common);
    write->callback([&action, writeOptions] {
        action = [writeOptions](ExitReport& out) { return lcdWrite(*writeOptions, out); };
    });

    auto readOptions = std::make_shared<LcdOptions>();
    CLI::App* read = lcd->add_subcommand("read",
                                         "Read the ACU's LCD texts (setup mode, commands "
                                         "38-42) as an .lcd file");
    read->add_option("-o,--output", readOptions->output, "Write the .lcd file here, not to stdout");
    addResumeFlag(*read, readOptions->resume);
    addCommonOptions(*read, readOptions->common);
    read->callback([&action, readOptions] {
        action = [readOptions](ExitReport& out) { return lcdRead(*readOptions, out); };
    });
}
