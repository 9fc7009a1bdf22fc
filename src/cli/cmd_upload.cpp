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
#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "link/controller.h"
#include "wire/protocol.h"

namespace {

struct UploadOptions {
    CommonOptions common;
    std::string file;
    std::string continent;
    std::string region;
    bool verify = false;
    bool resume = false;
};

std::string folded(std::string_view text) {
    std::string out = trimmed(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A selector entry by its name, or by its number counted from 1 as the window lists them.
int pick(const SelectorContents& selector, const std::string& wanted,
         const std::function<std::string(int)>& entryForNumber) {
    const auto& entries = selector.entries;
    if (wanted.empty()) return entries.size() == 1 ? 0 : -1;
    // Three digits are as many as any selector has entries.
    const bool numeric =
        wanted.size() <= 3 && std::all_of(wanted.begin(), wanted.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    const std::string name = numeric ? entryForNumber(std::stoi(wanted) - 1) : wanted;
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
    bool continentChosen = false;  // the selectors could be changed, as in the window
    bool regionChosen = false;
};

// The two selector positions as the window's Administrator page would have them after tables
// were loaded, as the user picks them.
std::optional<Selection> selectAsTheWindow(const SatelliteTables& tables,
                                           const UploadOptions& options, std::string& error) {
    const AdminSelectors selectors = selectorsForLoadedScope(tables);
    Selection chosen;
    chosen.continent = pick(selectors.continents, options.continent, [](int n) {
        return n < 0 ? std::string() : continentListName(static_cast<std::size_t>(n));
    });
    if (chosen.continent < 0) {
        error = "--continent: the file offers " + choices(selectors.continents) + " (or 1.." +
                std::to_string(selectors.continents.entries.size()) + ")";
        return std::nullopt;
    }
    chosen.continentChosen = selectors.continents.enabled;
    std::uint8_t continent = selectors.continent;
    SelectorContents regions = selectors.regions;
    if (chosen.continentChosen) {
        continent = static_cast<std::uint8_t>(chosen.continent);
        regions = regionSelectorFor(tables, continent, tables.RegionCount[continent]);
    }
    chosen.region = pick(regions, options.region, [&tables, continent](int n) {
        const RegionRecord& record =
            regionRecord(tables, continent, static_cast<std::uint32_t>(std::max(n, 0)));
        return n < 0 ? std::string() : std::string(record.name.begin(), record.name.end());
    });
    if (chosen.region < 0) {
        error = "--region: the file offers " + choices(regions) + " (or 1.." +
                std::to_string(regions.entries.size()) + ")";
        return std::nullopt;
    }
    chosen.regionChosen = regions.enabled;
    return chosen;
}

// The choice made on the controller, as the window's selectors make it: the current region
// follows them.
void choose(AcuController& acu, const Selection& chosen) {
    const AdminSelectors selectors = selectorsForLoadedScope(acu.state().data);
    acu.selectRegion(selectors.continent, selectors.region);
    if (chosen.continentChosen) acu.chooseContinent(chosen.continent);
    if (chosen.regionChosen) acu.chooseRegion(chosen.region);
}

// What the ACU should hold after the upload: the selected region and its satellites, as the
// file has them.
struct Expected {
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
    RegionRecord record;
    std::vector<SatelliteRecord> satellites;
};

Expected expectedFromFile(const SatelliteData& data) {
    Expected expected;
    expected.continent = data.CurContinent;
    expected.region = data.CurRegion;
    expected.record = currentRegion(data);
    for (std::size_t k = 0; k < expected.record.listedSatellites(); ++k) {
        expected.satellites.push_back(satelliteByNumber(data, expected.record.satelliteList[k]));
    }
    return expected;
}

std::string placeText(std::uint8_t continent, std::uint8_t region, const std::string& name) {
    return continentName(continent) + " / " + std::to_string(region + 1) + " " + name;
}

// The ACU reports its current region only, so that is what is compared; saying so keeps a
// script from taking it for the whole file.
int verifyRegion(Session& session, const Expected& expected, ExitReport& out) {
    // The identification reads the region back.
    if (const int code = session.identify(); code != exitcode::Done) return code;
    const SatelliteData& data = session.controller().state().data;
    const std::string name = trimmed(latin1ToUtf8(regionNameText(expected.record)));
    std::vector<FieldDifference> differences;
    if (data.CurContinent != expected.continent || data.CurRegion != expected.region) {
        differences.push_back(
            {"region", "place", placeText(expected.continent, expected.region, name),
             placeText(data.CurContinent, data.CurRegion,
                       trimmed(latin1ToUtf8(regionNameText(currentRegion(data)))))});
    }
    for (const FieldDifference& d : compareRegion(expected.record, currentRegion(data))) {
        differences.push_back(d);
    }
    for (std::size_t k = 0; k < expected.satellites.size(); ++k) {
        for (const FieldDifference& d :
             compareSatellite(k + 1, expected.satellites[k], data.RegionSatellites[k])) {
            differences.push_back(d);
        }
    }
    nlohmann::json list = nlohmann::json::array();
    for (const FieldDifference& d : differences) {
        list.push_back(
            {{"record", d.record}, {"field", d.field}, {"file", d.file}, {"acu", d.acu}});
        if (!out.json()) std::cout << differenceText(d) << "\n";
    }
    const std::string compared =
        "region " + name + ": " + std::to_string(expected.satellites.size()) +
        " satellites read back and " + (differences.empty() ? "equal" : "compared") +
        "; the ACU reports no other region";
    out.result()["verify"] = {{"compared", compared},
                              {"region", name},
                              {"satellites", expected.satellites.size()},
                              {"equal", differences.empty()},
                              {"differences", list}};
    if (differences.empty()) {
        out.say(compared);
        return exitcode::Done;
    }
    return session.fail(exitcode::Differs, compared + "; " + std::to_string(differences.size()) +
                                               " field(s) differ from the file");
}

int upload(const UploadOptions& options, ExitReport& out) {
    const std::string name = fileNameOf(options.file);
    std::string failure;
    const auto bytes = readFileBytes(options.file, kSifMaxBytes + 1, &failure);
    if (!bytes) return out.fail(exitcode::Usage, "file", failure + "; nothing was sent");
    // Read once before any port is opened: a file the window would refuse sends nothing.
    const SifReadResult file = readSatelliteInformation(*bytes, SatelliteTables{});
    if (!file.tables) {
        return out.fail(
            exitcode::Usage, "file",
            options.file + ":" + std::to_string(file.refusal.line) + ": " + file.refusal.reason);
    }
    std::string error;
    const std::optional<Selection> selection = selectAsTheWindow(*file.tables, options, error);
    if (!selection) return out.fail(exitcode::Usage, error);

    Session session("upload", options.common, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    // As a technician does it: the file loaded after identification, the selectors chosen.
    AcuController& acu = session.controller();
    acu.loadDefaultData(*bytes, name);
    choose(acu, *selection);
    if (const int code = session.enterSetupMode(); code != exitcode::Done) return code;

    acu.updateDefaultData(selection->continent, selection->region);
    if (const int code = session.await(Operation::Upload); code != exitcode::Done) return code;
    const Expected expected = expectedFromFile(acu.state().data);
    const std::uint32_t acknowledged = session.outcome().value;
    out.say(std::to_string(acknowledged) + " records acknowledged");
    out.setResult({{"port", session.portName()},
                   {"file", options.file},
                   {"continent", continentName(expected.continent)},
                   {"region", trimmed(latin1ToUtf8(regionNameText(expected.record)))},
                   {"records_acknowledged", acknowledged}});
    int result = exitcode::Done;
    if (options.verify) result = verifyRegion(session, expected, out);
    return leaveSetupMode(session, options.resume, result, out);
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
                        "Continent selector: a name (Europe, N.America ...) or its number "
                        "from 1, as the window lists them");
    command->add_option("--region", options->region,
                        "Region selector: a region name or its number from 1");
    command->add_flag("--verify", options->verify,
                      "Read the selected region back (2, 3, 4) and compare it field by field "
                      "(the ACU reports no other region)");
    addResumeFlag(*command, options->resume);
    addCommonOptions(*command, options->common);
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return upload(*options, out); };
    });
}
