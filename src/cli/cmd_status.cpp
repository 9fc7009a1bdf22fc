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
#include "link/frame_text.h"
#include "link/link_state.h"
#include "link/session_log.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

// A count of polls an int holds, and more than a year of them.
constexpr double kCountLimit = 100'000'000;

struct StatusOptions {
    CommonOptions common;
    bool watch = false;
    int count = 0;  // 0: until interrupted
};

std::string targetName(const SatelliteData& data) {
    if (data.DefaultSatIndex >= data.RegionSatellites.size()) return "";
    return trimmed(latin1ToUtf8(satelliteNameText(data.RegionSatellites[data.DefaultSatIndex])));
}

nlohmann::json targetLongitude(const SatelliteData& data) {
    if (data.DefaultSatIndex >= data.RegionSatellites.size()) return nullptr;
    const SatelliteRecord& sat = data.RegionSatellites[data.DefaultSatIndex];
    return signedDegrees(sat.longitude, sat.eastWest, 'W');
}

nlohmann::json statusJson(const std::string& time, const std::string& port,
                          const LinkState& state) {
    const SatelliteData& data = state.data;
    const AntennaState& antenna = state.antenna;
    const RegionRecord& region = currentRegion(data);
    return {{"time", time},
            {"port", port},
            {"state", state.AntennaMode},
            {"state_name", antennaStateLabel(state.AntennaMode)},
            {"target",
             {{"position", data.DefaultSatIndex + 1},
              {"name", targetName(data)},
              {"longitude", targetLongitude(data)}}},
            {"signal_level", antenna.SignalLevel},
            {"gps",
             {{"link", antenna.GpsLinkState == 1},
              {"longitude", signedDegrees(region.gpsLongitude, region.gpsEastWest, 'W')},
              {"latitude", signedDegrees(region.gpsLatitude, region.gpsNorthSouth, 'S')}}},
            {"azimuth", antenna.CurrentAz},
            {"elevation", antenna.CurrentEl},
            {"skew", antenna.CurrentSkew}};
}

// The line as the main window's panels show it, after its time.
void printStatusLine(const std::string& time, const LinkState& state) {
    const SatelliteData& data = state.data;
    const AntennaState& antenna = state.antenna;
    const AntennaGpsTexts gps = antennaGpsTexts(data);
    const std::optional<TargetPanelTexts> panel = targetPanelFor(data, receiverState(state));
    const std::string orbit = panel ? latin1ToUtf8(panel->targetPosition) : std::string();
    const std::string signal = panel ? trimmed(panel->signal) : "";
    std::cout << time << " | " << antennaStateText(state.AntennaMode) << " | target "
              << data.DefaultSatIndex + 1 << " " << targetName(data) << orbit << " | signal "
              << signal << " | " << (antenna.GpsLinkState == 1 ? "GPS Link " : "GPS Not Link ")
              << gps.longitude << gps.longitudeHemisphere << " " << gps.latitude
              << gps.latitudeHemisphere << " | AZ " << positionText(antenna.CurrentAz) << " EL "
              << positionText(antenna.CurrentEl) << " Skew " << positionText(antenna.CurrentSkew)
              << std::endl;
}

int status(const StatusOptions& options, ExitReport& out) {
    Session session("status", options.common, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    for (int shown = 0; !options.watch || options.count == 0 || shown < options.count; ++shown) {
        const int before = session.view().statusShown;
        const int code =
            session.waitFor([&] { return session.view().statusShown > before; }, cmd::StatusPoll);
        if (code != exitcode::Done) return code;
        const std::string time = rfc3339(WallClock::now());
        const LinkState& state = session.controller().state();
        if (!options.common.json) {
            printStatusLine(time, state);
        } else if (options.watch) {
            out.line(statusJson(time, session.portName(), state));
        } else {
            out.setResult(statusJson(time, session.portName(), state));
        }
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
                      "One line per poll, each with its time (with --json: JSON Lines, one object "
                      "a line) until Ctrl+C or --count");
    command->add_option("--count", options->count, "With --watch: stop after N polls")
        ->check(numberAbove0("polls", kCountLimit));
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return status(*options, out); };
    });
}
