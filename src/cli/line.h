#pragma once

#include <memory>
#include <string>

#include "serial/byte_port.h"

class CommQueue;

// An open line to an ACU: where the controller writes and where the received bytes wait.
struct Line {
    std::unique_ptr<BytePort> port;  // nullptr when the line could not be opened
    CommQueue* queue = nullptr;      // owned with port
    int error = 0;                   // errno of a failed open
};

// Every line of skyrelay-cli is opened here, so a transport other than a local serial
// device has one place to join. consumer hears of received bytes and of a hang-up.
Line openLine(const std::string& name, CommConsumer& consumer);
