// status: the status poll (14) once, or every second with --watch.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "geo/gps_inputs.h"
#include "data/antenna_state.h"
#include "link/controller.h"
#include "link/frame_decoder.h"
#include "link/link_state.h"
#include "wire/protocol.h"

namespace {

struct StatusOptions {
    CommonOptions common;
    bool watch = false;
    int count = 0;  // 0: until interrupted
};

std::string targetName() {
    if (g_DefaultSatIndex >= g_RegionSatellites.size()) return "";
    return trimmed(latin1ToUtf8(satelliteNameText(g_RegionSatellites[g_DefaultSatIndex])));
}

void printStatus(const ReportingView& view, bool json) {
    const AntennaGpsTexts gps = antennaGpsTexts(g_CurContinent, g_CurRegion);
    const RegionRecord& region = regionRecord(g_CurContinent, g_CurRegion);
    const std::string orbit =
        view.targetPanel ? latin1ToUtf8(view.targetPanel->targetPosition) : std::string();
    const std::string signal = view.targetPanel ? trimmed(view.targetPanel->signal) : "";
    if (json) {
        printJson({{"state", g_AntennaMode},
                   {"stateText", antennaStateText(g_AntennaMode)},
                   {"target",
                    {{"position", g_DefaultSatIndex + 1},
                     {"name", targetName()},
                     {"orbit", trimmed(orbit)}}},
                   {"signal", g_SignalLevel},
                   {"gps",
                    {{"link", g_GpsLinkState == 1},
                     {"longitude", region.gpsLongitude},
                     {"eastWest", gps.longitudeHemisphere},
                     {"latitude", region.gpsLatitude},
                     {"northSouth", gps.latitudeHemisphere}}},
                   {"az", g_CurrentAz},
                   {"el", g_CurrentEl},
                   {"skew", g_CurrentSkew}},
                  true);
        return;
    }
    std::cout << antennaStateText(g_AntennaMode) << " | target " << g_DefaultSatIndex + 1 << " "
              << targetName() << orbit << " | signal " << signal << " | "
              << (g_GpsLinkState == 1 ? "GPS Link " : "GPS Not Link ") << gps.longitude
              << gps.longitudeHemisphere << " " << gps.latitude << gps.latitudeHemisphere
              << " | AZ " << view.az << " EL " << view.el << " Skew " << view.skew << std::endl;
}

int status(const StatusOptions& options) {
    Session session(options.watch ? "status --watch" : "status", options.common);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    for (int shown = 0; !options.watch || options.count == 0 || shown < options.count; ++shown) {
        const int before = session.view().statusShown;
        const int code =
            session.waitFor([&] { return session.view().statusShown > before; }, cmd::StatusPoll);
        if (code != exitcode::Done) return code;
        printStatus(session.view(), options.common.json);
        if (!options.watch) break;
    }
    return exitcode::Done;
}

}  // namespace

void addStatusCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<StatusOptions>();
    CLI::App* command = app.add_subcommand(
        "status", "One status poll (14): state, target satellite, signal, GPS, position");
    addCommonOptions(*command, options->common);
    command->add_flag("--watch", options->watch,
                      "One line (with --json one JSON object a line) per poll until Ctrl+C");
    command->add_option("--count", options->count, "With --watch: stop after N polls")
        ->check(CLI::PositiveNumber);
    command->callback([&action, options] { action = [options] { return status(*options); }; });
}
