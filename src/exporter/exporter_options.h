#pragma once

#include <chrono>
#include <optional>
#include <string>

// The command line of skyrelay-exporter.
struct ExporterOptions {
    std::string configFile;
    std::string webConfigFile;            // empty: plain HTTP to anyone who reaches the port
    std::string listenAddress = ":9877";  // the Prometheus convention for this exporter
    std::chrono::milliseconds reconnectDelay{60'000};
};

// Reads argv into options. Returns the exit code when the program is done already (--help,
// --version: 0; bad usage: 1, the reason on stderr), nothing when it should run.
std::optional<int> parseExporterOptions(int argc, const char* const* argv,
                                        ExporterOptions& options);
