#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/traffic.h"

// Reads back what the trace, the saved Traffic Monitor (text) and the simulator's --log
// write: one event a line, "     1.007901 PC>ACU  14 Status poll | 02 01 0E 0F 03". Only the
// time, the direction, the code and the bytes are taken; the meaning column is for people
// and is not checked, so a recording made by an older program, which worded a field
// differently, still reads.
//
// The line format carries its version as an optional line "# skyrelay traffic format N".
// The format written today is 1 and writes no such line, so a recording without one is
// format 1; a recording that names another format is refused by that name.

inline constexpr int kTrafficFormat = 1;
inline constexpr const char* kTrafficFormatMark = "# skyrelay traffic format ";

struct TrafficReading {
    std::vector<TrafficEntry> entries;
    std::size_t errorLine = 0;  // counted from 1; 0 when the text was read whole
    std::string error;          // "" when the text was read whole

    bool ok() const { return error.empty(); }
};

// Reads a whole recording. The first line that does not parse ends the reading: nothing is
// returned then but its number and what is wrong with it.
TrafficReading readTrafficText(std::span<const std::uint8_t> text);
