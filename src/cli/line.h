#pragma once

#include <memory>
#include <string>

#include "serial/network_address.h"
#include "serial/port_line.h"

// An open line to an ACU: where the controller writes and where the received bytes wait.
struct Line {
    std::unique_ptr<PortLine> port;  // nullptr when the line could not be opened
    std::string failure;             // why the open failed, as the window says it
};

// Every line of skyrelay-cli is opened here: a local serial device or a serial server's
// address, whichever the name is. consumer hears of received bytes and of a hang-up.
Line openLine(const std::string& name, CommConsumer& consumer, const TlsOptions& tls);
