#pragma once

#include <string>
#include <vector>

#include "app/port_discovery.h"
#include "serial/network_address.h"

// What the window's command line asks for.
struct WindowOptions {
    std::vector<std::string> devices;  // device paths or serial server addresses, in order
    std::string tracePath;             // empty: no trace
    PortListing listing = PortListing::GivenThenSystem;
    TlsOptions tls;
};

// The command line read: either the options to run with, or a text to print and the status to
// exit with (--help and --version on stdout with 0, a usage error on stderr with 2).
struct WindowCommandLine {
    WindowOptions options;
    bool exit = false;
    int exitStatus = 0;
    std::string text;
    // An unknown option, which may still be one of Qt's own (-platform, -style ...) until the
    // application has taken those out.
    bool unknownOption = false;
};

// Reads the arguments after the program's name.
WindowCommandLine parseWindowCommandLine(const std::vector<std::string>& arguments);
