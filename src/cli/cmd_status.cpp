// status: the status poll (14) once, or every second with --watch.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "geo/gps_inputs.h"
#include "link/controller.h"
#include "link/frame_decoder.h"
#include "link/link_state.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

struct StatusOptions {
    CommonOptions common;
    bool watch = false;
    int count = 0;  // 0: until interrupted
};

std::string targetName(const SatelliteData& data) {
    if (data.DefaultSatIndex >= data.RegionSatellites.size()) return "";
    return trimmed(latin1ToUtf8(satelliteNameText(data.RegionSatellites[data.DefaultSatIndex])));
}

void printStatus(const LinkState& state, bool json) {
    const SatelliteData& data = state.data;
    const AntennaState& antenna = state.antenna;
    const AntennaGpsTexts gps = antennaGpsTexts(data);
    const RegionRecord& region = currentRegion(data);
    const std::optional<TargetPanelTexts> panel = targetPanelFor(data, receiverState(state));
    const std::string orbit = panel ? latin1ToUtf8(panel->targetPosition) : std::string();
    const std::string signal = panel ? trimmed(panel->signal) : "";
    if (json) {
        printJson({{"state", state.AntennaMode},
                   {"stateText", antennaStateText(state.AntennaMode)},
                   {"target",
                    {{"position", data.DefaultSatIndex + 1},
                     {"name", targetName(data)},
                     {"orbit", trimmed(orbit)}}},
                   {"signal", antenna.SignalLevel},
                   {"gps",
                    {{"link", antenna.GpsLinkState == 1},
                     {"longitude", region.gpsLongitude},
                     {"eastWest", gps.longitudeHemisphere},
                     {"latitude", region.gpsLatitude},
                     {"northSouth", gps.latitudeHemisphere}}},
                   {"az", antenna.CurrentAz},
                   {"el", antenna.CurrentEl},
                   {"skew", antenna.CurrentSkew}},
                  true);
        return;
    }
    std::cout << antennaStateText(state.AntennaMode) << " | target " << data.DefaultSatIndex + 1
              << " " << targetName(data) << orbit << " | signal " << signal << " | "
              << (antenna.GpsLinkState == 1 ? "GPS Link " : "GPS Not Link ") << gps.longitude
              << gps.longitudeHemisphere << " " << gps.latitude << gps.latitudeHemisphere
              << " | AZ " << positionText(antenna.CurrentAz) << " EL "
              << positionText(antenna.CurrentEl) << " Skew " << positionText(antenna.CurrentSkew)
              << std::endl;
}

int status(const StatusOptions& options) {
    Session session(options.watch ? "status --watch" : "status", options.common);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    for (int shown = 0; !options.watch || options.count == 0 || shown < options.count; ++shown) {
        const int before = session.view().statusShown;
        const int code =
            session.waitFor([&] { return session.view().statusShown > before; }, cmd::StatusPoll);
        if (code != exitcode::Done) return code;
        printStatus(session.controller().state(), options.common.json);
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
