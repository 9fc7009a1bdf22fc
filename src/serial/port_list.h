#pragma once

#include <span>
#include <string>
#include <vector>

// The one lister of this machine's serial ports, for the window and skyrelay-cli alike, so
// that both show the same ports in the same order.

// A serial port of this machine as the system (udev) describes it; nothing is opened to learn
// it. Every text is empty where the system has none.
struct PortInfo {
    std::string path;          // /dev/ttyUSB0
    std::string byId;          // /dev/serial/by-id/...
    std::string usbId;         // "0403:6001" (for a port on USB)
    std::string serial;        // the adapter's serial number
    std::string description;   // the adapter's model, as its maker names it
    std::string manufacturer;  // its maker
    bool given = false;        // named on the command line rather than found
};

// The system's serial ports by path; those the kernel registers without hardware behind them
// are left out.
std::vector<PortInfo> systemSerialPorts();

// The candidate ports in the window's order: the paths given first, as given, then the
// system's serial ports in the order of the window's port list (orderPorts).
std::vector<PortInfo> candidatePorts(std::span<const std::string> given);
