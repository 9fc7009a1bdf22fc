#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "acu_simulator.h"

// One line per frame for the --log file, in the program's own traffic format: seconds since
// the start, who sent it, the code, the frame decoded, and every byte in hex, so a session
// can be read back next to the program's trace or its Traffic Monitor.
//   "    12.345678 PC>ACU  14 Status poll | 02 01 0E 0F 03"
std::string frameLogLine(std::chrono::microseconds at, AcuSimulator::Direction direction,
                         std::span<const std::uint8_t> frame);
