// report: the service report of the window's "Save Service Report...", as HTML or JSON.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/file_bytes.h"
#include "cli/output.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "link/service_report.h"
#include "link/session_log.h"
#include "wire/protocol.h"

namespace {

// The report's JSON in the names, numbers and times every other document gives: positions,
// parameters and the signal as numbers (longitudes and latitudes signed, east and north
// positive), satellites by their position from 1, times in RFC 3339 with their offset.
nlohmann::json reportJson(const std::string& port, const ServiceReport& report,
                          const LinkState& state, const SessionLog& log) {
    nlohmann::json json = nlohmann::json::parse(renderReportJson(report), nullptr, false);
    const AntennaState& antenna = state.antenna;
    const SatelliteData& data = state.data;
    const RegionRecord& region = currentRegion(data);
    json["port"] = port;
    json["generated"] = rfc3339(WallClock::now());
    json["state"]["azimuth"] = antenna.CurrentAz;
    json["state"]["elevation"] = antenna.CurrentEl;
    json["state"]["skew"] = antenna.CurrentSkew;
    json["state"]["signal_level"] = antenna.SignalLevel;
    json["gps"]["link"] = antenna.GpsLinkState == 1;
    json["gps"]["longitude"] = signedDegrees(region.gpsLongitude, region.gpsEastWest, 'W');
    json["gps"]["latitude"] = signedDegrees(region.gpsLatitude, region.gpsNorthSouth, 'S');
    json["parameters"] = parametersJson(state.parameters);
    nlohmann::json& satellites = json["satellites"];
    for (std::size_t k = 0; k < satellites.size() && k < data.RegionSatellites.size(); ++k) {
        const SatelliteRecord& sat = data.RegionSatellites[k];
        satellites[k].erase("no");
        satellites[k]["position"] = k + 1;
        satellites[k]["longitude"] = signedDegrees(sat.longitude, sat.eastWest, 'W');
    }
    // Items and lines by their numbers from 1, as diagnose and lcd read count them.
    nlohmann::json& items = json["self_test"];
    for (std::size_t k = 0; k < items.size(); ++k) {
        items[k]["name"] = items[k]["item"];
        items[k]["item"] = k + 1;
    }
    nlohmann::json& lines = json["lcd"];
    for (std::size_t k = 0; k < lines.size(); ++k) lines[k]["line"] = k + 1;
    nlohmann::json& changes = json["changes"];
    for (std::size_t k = 0; k < changes.size() && k < log.changes().size(); ++k) {
        changes[k]["time"] = rfc3339(log.changes()[k].at);
    }
    nlohmann::json& faults = json["faults"];
    for (std::size_t k = 0; k < faults.size() && k < log.faults().size(); ++k) {
        faults[k]["first"] = rfc3339(log.faults()[k].first);
        faults[k]["last"] = rfc3339(log.faults()[k].last);
    }
    if (log.selfTestTime()) json["self_test_time"] = rfc3339(*log.selfTestTime());
    if (log.lcdTransferTime()) json["lcd_time"] = rfc3339(*log.lcdTransferTime());
    return json;
}

struct ReportOptions {
    CommonOptions common;
    std::string output;  // empty: stdout
    std::string site;
    std::string technician;
};

int report(const ReportOptions& options, ExitReport& out) {
    Session session("report", options.common, &out);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    // One status reply, so that the state, signal and position are the unit's, not blanks.
    const int before = session.view().statusShown;
    if (const int code =
            session.waitFor([&] { return session.view().statusShown > before; }, cmd::StatusPoll);
        code != exitcode::Done) {
        return code;
    }
    const LinkState& state = session.controller().state();
    const ServiceReport report =
        buildServiceReport(state, session.controller().sessionLog(),
                           serviceReportNote(options.site, options.technician));
    if (options.output.empty()) {
        if (options.common.json) {
            out.setResult(
                reportJson(session.portName(), report, state, session.controller().sessionLog()));
        } else {
            std::cout << renderReportHtml(report) << std::flush;
        }
        return exitcode::Done;
    }
    const std::string text =
        options.common.json
            ? reportJson(session.portName(), report, state, session.controller().sessionLog())
                      .dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
                  "\n"
            : renderReportHtml(report);
    if (const std::string failure = writeFile(options.output, text); !failure.empty()) {
        return out.fail(exitcode::Usage, "file", failure);
    }
    if (options.common.json)
        out.setResult({{"port", session.portName()}, {"file", options.output}});
    return exitcode::Done;
}

}  // namespace

void addReportCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ReportOptions>();
    CLI::App* command = app.add_subcommand(
        "report",
        "The service report of the visit: identify the ACU, read one status, then write the "
        "report as HTML (with --json: JSON)");
    addCommonOptions(*command, options->common);
    command->add_option("-o,--output", options->output, "Write the report to FILE, not stdout")
        ->option_text("FILE");
    command->add_option("--site", options->site, "Vessel or site, for the report's note");
    command->add_option("--technician", options->technician, "Technician, for the report's note");
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return report(*options, out); };
    });
}
