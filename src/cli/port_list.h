#pragma once

#include <span>
#include <string>
#include <vector>

// A serial port of this machine as the system describes it; nothing is opened to learn it.
struct PortInfo {
    std::string path;    // /dev/ttyUSB0
    std::string byId;    // /dev/serial/by-id/... (empty when none)
    std::string usbId;   // "0403:6001" (empty for a port that is not on USB)
    std::string serial;  // the adapter's serial number (empty when none)
    bool given = false;  // named on the command line rather than found
};

// The candidate ports in the window's order: the paths given first, as given, then the
// system's serial ports (from udev) in the order of the window's port list.
std::vector<PortInfo> candidatePorts(std::span<const std::string> given);
