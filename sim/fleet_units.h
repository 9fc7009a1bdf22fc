#pragma once

#include <cstddef>

#include "acu_simulator.h"

// A fleet served by one simulator: each unit gets its own serial number, region, GPS position
// and a signal that wanders, made from its number, so a fleet of any size is the same fleet
// every time and unit 7 of one run is unit 7 of the next.
inline constexpr std::size_t kMaxFleetUnits = 1000;
inline constexpr std::uint16_t kFleetSignalWander = 60;

// Makes unit number (from 1) of a fleet out of a freshly made unit, its factory state too.
void makeFleetUnit(AcuSimulator& acu, std::size_t number);
