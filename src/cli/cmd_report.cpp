// report: the service report of the window's "Save Service Report...", as HTML or JSON.

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "link/controller.h"
#include "link/service_report.h"
#include "wire/protocol.h"

namespace {

struct ReportOptions {
    CommonOptions common;
    std::string output;  // empty: stdout
    std::string site;
    std::string technician;
};

int report(const ReportOptions& options) {
    Session session("report", options.common);
    if (const int code = openIdentified(session); code != exitcode::Done) return code;
    // One status reply, so that the state, signal and position are the unit's, not blanks.
    const int before = session.view().statusShown;
    if (const int code =
            session.waitFor([&] { return session.view().statusShown > before; }, cmd::StatusPoll);
        code != exitcode::Done) {
        return code;
    }
    const ServiceReport report =
        buildServiceReport(session.controller().state(), session.controller().sessionLog(),
                           serviceReportNote(options.site, options.technician));
    const std::string text =
        options.common.json ? renderReportJson(report) : renderReportHtml(report);
    if (options.output.empty()) {
        std::cout << text << std::flush;
        return exitcode::Done;
    }
    std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) {
        return session.fail(exitcode::Usage, options.output + " cannot be written");
    }
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
    command->callback([&action, options] { action = [options] { return report(*options); }; });
}
