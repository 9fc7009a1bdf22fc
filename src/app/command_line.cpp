#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "skyrelay_version.h"

namespace {

constexpr int kExitUsage = 2;

}  // namespace

WindowCommandLine parseWindowCommandLine(const std::vector<std::string>& arguments) {
    WindowCommandLine result;
    WindowOptions& options = result.options;
    // The wording of the options skyrelay-cli shares is skyrelay-cli's.
    CLI::App app{
        "Skyrelay drives a stabilised satellite TV antenna through its antenna control unit "
        "(ACU) over a serial line (57600 baud, 8N1).",
        "skyrelay"};
    app.set_version_flag("--version", kSkyrelayVersionCaption);
    app.add_option("DEVICE", options.devices,
                   "A serial device to list first in the Port list, such as /dev/ttyUSB0 or the "
                   "pseudo-terminal of skyrelay-acu-sim, or a serial server address "
                   "(tcp://HOST:PORT, rfc2217://HOST:PORT, and their +tls forms); at start-up "
                   "the listed ports are tried in turn, these first, until one answers");
    bool only = false;
    app.add_flag("--only", only, "List only the DEVICEs given, none of the system's serial ports");
    app.add_option("--trace", options.tracePath,
                   "Append every frame sent and received to this file, decoded, one line each, "
                   "flushed within 50 ms (the Traffic Monitor's line format)");
    app.add_option("--tls-ca", options.tls.caFile,
                   "Trust the serial servers whose certificates this authority signed "
                   "(a PEM file; without it the system's authorities)");
    app.add_flag("--insecure-tls", options.tls.insecure,
                 "Connect to a +tls address even when its certificate fails the check");
    app.add_option("--tls-cert", options.tls.certFile,
                   "Prove Skyrelay to a serial server that asks for a client certificate: "
                   "this certificate (PEM)");
    app.add_option("--tls-key", options.tls.keyFile,
                   "The private key of --tls-cert (PEM, without a passphrase); without it, the "
                   "--tls-cert file holds both");

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    std::ostringstream out;
    std::ostringstream err;
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        result.exit = true;
        result.exitStatus = app.exit(error, out, err) == 0 ? 0 : kExitUsage;
        result.text = result.exitStatus == 0 ? out.str() : err.str();
        result.unknownOption = dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr;
        return result;
    }
    if (only && options.devices.empty()) {
        result.exit = true;
        result.exitStatus = kExitUsage;
        result.text = "--only needs at least one DEVICE\nRun with --help for more information.\n";
        return result;
    }
    if (only) options.listing = PortListing::OnlyGiven;
    return result;
}
