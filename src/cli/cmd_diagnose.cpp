// diagnose: the self test of the diagnosis page, one line per item as its result arrives.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "link/controller.h"
#include "link/diagnosis_exchange.h"
#include "link/frame_text.h"
#include "wire/protocol.h"

namespace {

constexpr std::uint8_t kItems = 10;
constexpr std::uint32_t kPassed = 2;
constexpr std::uint32_t kFailed = 3;

// Item 1 holds the two highest of the twenty lamp bits.
std::uint32_t itemState(std::uint32_t word, std::uint8_t item) {
    return (word >> (20u - 2u * item)) & 3u;
}

struct DiagnoseOptions {
    CommonOptions common;
    bool resume = false;
};

int diagnose(const DiagnoseOptions& diagnoseOptions, ExitReport& out) {
    const CommonOptions& options = diagnoseOptions.common;
    Session session("diagnose", options, &out);
    if (const int code = openInSetupMode(session); code != exitcode::Done) return code;
    std::array<std::uint32_t, kItems + 1> reported{};
    nlohmann::json items = nlohmann::json::array();
    int failures = 0;
    session.view().onDiagnosisLamps = [&](std::uint32_t word) {
        for (std::uint8_t item = 1; item <= kItems; ++item) {
            const std::uint32_t state = itemState(word, item);
            if (state == reported[item] || (state != kPassed && state != kFailed)) continue;
            reported[item] = state;
            const bool passed = state == kPassed;
            failures += passed ? 0 : 1;
            items.push_back(
                {{"item", item}, {"name", diagnosisItemName(item)}, {"passed", passed}});
            if (!options.json) {
                std::cout << diagnosisItemText(item) << (passed ? "  PASS" : "  FAIL") << std::endl;
            }
        }
    };
    session.controller().OnDiagnosisStartStop();
    // The ACU ends the test with item 11; the controller then stops it (24), as the page does.
    if (const int code = session.await(Operation::Diagnosis); code != exitcode::Done) {
        // A self test stopped halfway leaves the unit in diagnosis, which it does not leave
        // by itself.
        out.say(
            "the self test did not end; the ACU stays in diagnosis and does not track: "
            "'skyrelay-cli restart' sets it tracking again");
        return code;
    }
    const ProductInformation& product = session.controller().state().product;
    for (std::uint8_t item = 1; item <= kItems; ++item) {
        if (reported[item] != 0 || diagnosisItemSkipped(product, item)) continue;
        failures += 1;
        items.push_back({{"item", item},
                         {"name", diagnosisItemName(item)},
                         {"passed", false},
                         {"reported", false}});
        if (!options.json) std::cout << diagnosisItemText(item) << "  NO RESULT" << std::endl;
    }
    out.setResult({{"port", session.portName()}, {"items", items}, {"passed", failures == 0}});
    const int result = failures == 0
                           ? exitcode::Done
                           : session.fail(exitcode::TestFailed,
                                          std::to_string(failures) + " item(s) did not pass");
    return leaveSetupMode(session, diagnoseOptions.resume, result, out);
}

}  // namespace

void addDiagnoseCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<DiagnoseOptions>();
    CLI::App* command = app.add_subcommand(
        "diagnose",
        "Run the self test (setup mode, command 21); exit 0 only when every item "
        "passes, 5 otherwise");
    addCommonOptions(*command, options->common);
    addResumeFlag(*command, options->resume);
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return diagnose(*options, out); };
    });
}
