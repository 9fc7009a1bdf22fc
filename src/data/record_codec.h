#pragma once

#include "data/satellite_tables.h"
#include "wire/encoding.h"

// The record layouts shared by commands and replies, so that the program and the simulator
// write and read them the same way.

inline constexpr std::size_t kSatelliteRecordBytes = 41;
inline constexpr std::size_t kRegionTailBytes = 42;  // everything after the satellite list

// number, name (CHARS 10), longitude X10, eastWest, the twelve transponder values BE16,
// verification, polarization, tone.
void writeSatelliteRecord(PayloadWriter& out, const SatelliteRecord& sat);
SatelliteRecord readSatelliteRecord(PayloadReader& in);

// A region record from its name on: name (CHARS 12), N, defaultSatellite, N list bytes, then
// the 42-byte tail. At most 20 list entries are written or read: a record whose count claims
// more goes out with a count of 20, and a body read with such a count keeps it as read.
void writeRegionBody(PayloadWriter& out, const RegionRecord& region);
RegionRecord readRegionBody(PayloadReader& in);
