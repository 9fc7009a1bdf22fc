#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "acu_simulator.h"

// One line per frame for the --log file: seconds since the start, who sent it, the code and
// every byte in hex, so a session can be read back next to the program's own view.
//   "    12.345678 PC>ACU  14  02 01 0E 0F 03"
std::string frameLogLine(std::chrono::microseconds at, AcuSimulator::Direction direction,
                         std::span<const std::uint8_t> frame);
