// upload: a .sif file's region data into the ACU as the window's "Update Default Data" sends
// it, and with --verify read back and compared.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/file_bytes.h"
#include "cli/output.h"
#include "cli/record_compare.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "wire/protocol.h"

namespace {

struct UploadOptions {
    CommonOptions common;
    std::string file;
    std::string continent;
    std::string region;
    bool verify = false;
};

std::string folded(std::string_view text) {
    std::string out = trimmed(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A selector entry by its name, or by a number (a continent's 0..5, a region's number).
int pick(const SelectorContents& selector, const std::string& wanted,
         const std::function<std::string(int)>& entryForNumber) {
    const auto& entries = selector.entries;
    if (wanted.empty()) return entries.size() == 1 ? 0 : -1;
    // Three digits are as many as any selector has entries.
    const bool numeric =
        wanted.size() <= 3 && std::all_of(wanted.begin(), wanted.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    const std::string name = numeric ? entryForNumber(std::stoi(wanted)) : wanted;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (folded(entries[k]) == folded(name)) return static_cast<int>(k);
    }
    return -1;
}

std::string choices(const SelectorContents& selector) {
    std::string text;
    for (const std::string& entry : selector.entries) {
        text += (text.empty() ? "" : ", ") + trimmed(latin1ToUtf8(entry));
    }
    return text;
}

struct Selection {
    int continent = -1;
    int region = -1;
};

// The two selector positions as the window's Administrator page would have them, after the
// file is loaded; the current region follows them as it does in the window.
std::optional<Selection> selectAsTheWindow(const UploadOptions& options, std::string& error) {
    const AdminSelectors selectors = selectorsForLoadedScope();
    selectRegion(selectors.continent, selectors.region);
    Selection chosen;
    chosen.continent = pick(selectors.continents, options.continent,
                            [](int n) { return continentListName(static_cast<std::size_t>(n)); });
    if (chosen.continent < 0) {
        error = "--continent: the file offers " + choices(selectors.continents);
        return std::nullopt;
    }
    SelectorContents regions = selectors.regions;
    if (selectors.continents.enabled) regions = *chooseContinent(chosen.continent);
    const std::uint8_t continent = g_CurContinent;
    chosen.region = pick(regions, options.region, [continent](int n) {
        const RegionRecord& record =
            regionRecord(continent, static_cast<std::uint32_t>(std::max(n, 0)));
        return n < 0 ? std::string() : std::string(record.name.begin(), record.name.end());
    });
    if (chosen.region < 0) {
        error = "--region: the file offers " + choices(regions);
        return std::nullopt;
    }
    if (regions.enabled) chooseRegion(chosen.region);
    return chosen;
}

// What the ACU should hold after the upload: the selected region and its satellites, as the
// file has them.
struct Expected {
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
    RegionRecord record;
    std::vector<SatelliteRecord> satellites;
};

Expected expectedFromFile() {
    Expected expected;
    expected.continent = g_CurContinent;
    expected.region = g_CurRegion;
    expected.record = regionRecord(g_CurContinent, g_CurRegion);
    for (std::size_t k = 0; k < expected.record.listedSatellites(); ++k) {
        expected.satellites.push_back(satelliteByNumber(expected.record.satelliteList[k]));
    }
    return expected;
}

int verifyRegion(Session& session, const Expected& expected, nlohmann::json& report) {
    // The identification's own commands 3 and 4 read the region back.
    session.loop().forgetCounts();
    const int before = session.view().chainsDone;
    session.controller().sendAndStart(cmd::CurrentRegion, kCommandPeriod);
    if (const int code = session.identify(); code != exitcode::Done) return code;
    (void)before;
    std::vector<FieldDifference> differences;
    if (g_CurContinent != expected.continent || g_CurRegion != expected.region) {
        differences.push_back(
            {"region", "place",
             std::to_string(expected.continent) + "/" + std::to_string(expected.region),
             std::to_string(g_CurContinent) + "/" + std::to_string(g_CurRegion)});
    }
    const RegionRecord& acu = regionRecord(g_CurContinent, g_CurRegion);
    for (const FieldDifference& d : compareRegion(expected.record, acu)) differences.push_back(d);
    for (std::size_t k = 0; k < expected.satellites.size(); ++k) {
        for (const FieldDifference& d :
             compareSatellite(k + 1, expected.satellites[k], g_RegionSatellites[k])) {
            differences.push_back(d);
        }
    }
    nlohmann::json list = nlohmann::json::array();
    for (const FieldDifference& d : differences) {
        list.push_back(
            {{"record", d.record}, {"field", d.field}, {"file", d.file}, {"acu", d.acu}});
        if (!session.options().json) std::cout << differenceText(d) << "\n";
    }
    report["verify"] = {{"records", 1 + expected.satellites.size()}, {"differences", list}};
    if (differences.empty()) {
        std::cerr << "skyrelay-cli: upload: verified, region and " << expected.satellites.size()
                  << " satellites as in the file\n";
        return exitcode::Done;
    }
    return session.fail(exitcode::Differs,
                        std::to_string(differences.size()) + " field(s) differ from the file");
}

int upload(const UploadOptions& options) {
    const std::string name = fileNameOf(options.file);
    const auto bytes = readFileBytes(options.file, kSifMaxBytes + 1);
    if (!bytes) {
        std::cerr << "skyrelay-cli: upload: " << plainMessage(sifOpenFailureText(name)) << "\n";
        return exitcode::Usage;
    }
    // Read once before any port is opened: a file the window would refuse sends nothing.
    if (const auto refusal = loadSatelliteInformation(*bytes)) {
        std::cerr << "skyrelay-cli: upload: " << options.file << ":" << refusal->line << ": "
                  << refusal->reason << "\n";
        return exitcode::Usage;
    }
    std::string error;
    std::optional<Selection> selection = selectAsTheWindow(options, error);
    if (!selection) {
        std::cerr << "skyrelay-cli: upload: " << error << "\n";
        return exitcode::Usage;
    }

    Session session("upload", options.common);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    // As a technician does it: the file loaded after identification, the selectors chosen.
    loadSatelliteInformation(*bytes);
    selection = selectAsTheWindow(options, error);
    session.view().continentSelection = selection->continent;
    session.view().regionSelection = selection->region;
    if (const int code = session.enterSetupMode(); code != exitcode::Done) return code;

    const std::size_t messages = session.messageCount();
    const int closed = session.view().progressClosed;
    session.controller().updateDefaultData();
    const int code = session.waitFor(
        [&] {
            return session.view().progressClosed > closed && session.messageCount() == messages;
        },
        cmd::UploadStart,
        [&]() -> std::optional<int> {
            if (session.messageCount() == messages) return std::nullopt;
            return session.fail(exitcode::NoAnswer, "the upload was not completed");
        });
    if (code != exitcode::Done) return code;
    const Expected expected = expectedFromFile();
    std::cerr << "skyrelay-cli: upload: " << g_ProgressCount << " records acknowledged\n";
    nlohmann::json report = {{"port", session.portName()},
                             {"file", options.file},
                             {"recordsAcknowledged", g_ProgressCount}};
    int result = exitcode::Done;
    if (options.verify) result = verifyRegion(session, expected, report);
    if (options.common.json) printJson(report);
    return result;
}

}  // namespace

void addUploadCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<UploadOptions>();
    CLI::App* command =
        app.add_subcommand("upload",
                           "Upload a .sif file's default data (setup mode, commands 10-13) as the "
                           "window's Update Default Data does");
    command->add_option("FILE", options->file, "The satellite information file (.sif)")->required();
    command->add_option("--continent", options->continent,
                        "Continent selector: a name (Europe, N.America ...) or 0..5");
    command->add_option("--region", options->region,
                        "Region selector: a region name or its number");
    command->add_flag("--verify", options->verify,
                      "Read the selected region back (3, 4) and compare it field by field");
    addCommonOptions(*command, options->common);
    command->callback([&action, options] { action = [options] { return upload(*options); }; });
}
