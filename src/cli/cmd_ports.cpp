// ports: the candidate ports in the order the ACU is looked for, opening none.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "serial/port_list.h"

namespace {

int listPorts(const CommonOptions& options, ExitReport& out) {
    const std::vector<PortInfo> ports = candidatePorts(options.ports);
    if (options.json) {
        nlohmann::json list = nlohmann::json::array();
        for (const PortInfo& port : ports) {
            list.push_back({{"port", port.path},
                            {"by_id", port.byId},
                            {"usb_id", port.usbId},
                            {"adapter_serial", port.serial},
                            {"given", port.given}});
        }
        out.setResult({{"ports", list}});
        return exitcode::Done;
    }
    for (const PortInfo& port : ports) {
        std::cout << port.path;
        if (port.given) std::cout << "  (given)";
        if (!port.usbId.empty()) std::cout << "  usb " << port.usbId;
        if (!port.serial.empty()) std::cout << "  serial " << port.serial;
        if (!port.byId.empty()) std::cout << "  " << port.byId;
        std::cout << "\n";
    }
    if (ports.empty()) out.say("no serial port found");
    return exitcode::Done;
}

}  // namespace

void addPortsCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<CommonOptions>();
    CLI::App* command = app.add_subcommand(
        "ports",
        "List the candidate ports in order (by-id path, USB vendor:product, serial "
        "number), opening none");
    command->add_option("--port", options->ports, "A device to list first, as the window does")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command->add_flag("--json", options->json, "One JSON document on stdout");
    command->callback([&action, options] {
        action = [options](ExitReport& out) { return listPorts(*options, out); };
    });
}
