#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "link/traffic.h"

// Frames as a technician reads them: who sent it, the code, what it means with every field
// decoded, and the raw bytes. The program's monitor and trace, and the simulator's --log,
// all write these lines, so two sides of one session can be laid next to each other.

// The state lamp's label of an antenna mode ("Satellite Tracking"), "Setup" for mode 1, and ""
// for modes without a name.
const char* antennaModeName(std::uint8_t mode);

// The state lamp's name in snake_case (2..7: "satellite_tracking"), as a metric's label and
// every JSON document name the state; empty for any other.
std::string antennaStateLabel(int mode);

// The command (from the program) or reply (from the ACU) that code names; "" when none.
std::string frameName(std::uint8_t code, bool fromAcu);

// "state 4 Satellite Tracking": the operating state a reply reports, named as its lamp is.
std::string antennaStateText(std::uint8_t mode);
// "item 3 LNB Status Check": a self-test item, named as the diagnosis page names it.
std::string diagnosisItemText(std::uint8_t item);
// The name of self-test item 1..10, as the diagnosis page shows it; "" for any other number.
const char* diagnosisItemName(std::uint8_t item);

// The meaning of one complete frame, fields included. A frame with a wrong length, end byte
// or checksum says so and is not decoded further.
std::string frameMeaning(std::span<const std::uint8_t> frame, bool fromAcu);

// "PC>ACU", "ACU>PC", or "------" for the link marker.
const char* trafficDirection(const TrafficEntry& entry);
// The code column: the frame's code, or "-".
std::string trafficCode(const TrafficEntry& entry);
std::string trafficMeaning(const TrafficEntry& entry);
// "02 01 0E 0F 03"
std::string hexBytes(std::span<const std::uint8_t> bytes);
// The hex column: the frame's bytes; nothing for the link marker, whose bytes name the port.
std::string trafficHex(const TrafficEntry& entry);

// One line: seconds since the link opened with microseconds, direction, code, meaning, hex.
//   "     0.012345 PC>ACU  14 Status poll | 02 01 0E 0F 03"
std::string trafficLine(const TrafficEntry& entry);

// The same as comma-separated values: milliseconds, direction, code, meaning, hex.
std::string trafficCsvHeader();
std::string trafficCsvLine(const TrafficEntry& entry);
