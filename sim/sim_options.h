#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acu_simulator.h"
#include "faults.h"
#include "replay.h"

// The command line of skyrelay-acu-sim, read into the settings it stands for.
struct SimOptions {
    bool help = false;
    bool version = false;
    std::string linkPath;              // --link; with several units the prefix of each unit's link
    std::string logPath;               // --log; likewise
    std::optional<std::size_t> units;  // --units: a fleet served by one process
    std::optional<std::chrono::milliseconds> announceAfter;
    std::string replayPath;  // --replay
    Replay::Settings replay;

    AcuSimulator::Settings settings;
    SimFaults faults;
    std::optional<std::uint8_t> antennaType;
    std::optional<std::uint8_t> antennaModel;
    bool skewless = false;
    std::optional<std::uint8_t> failingItem;
};

// Reads args (without the program name). False with a message in error on bad usage.
bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// Puts the product settings and the faults into a freshly made unit.
void applySimOptions(const SimOptions& options, AcuSimulator& acu);

std::string simUsage();
