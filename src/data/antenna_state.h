#pragma once

#include <cstdint>

// What the status poll reports about the antenna, and where the last move sent it.
struct AntennaState {
    std::uint32_t SignalLevel = 0;
    std::uint8_t GpsLinkState = 0;  // 0 not reported, 1 GPS link, 2 GPS not link
    double CurrentAz = 0.0;
    double CurrentEl = 0.0;
    double CurrentSkew = 0.0;
    double TargetAz = 0.0;
    double TargetEl = 0.0;
    double TargetSkew = 0.0;
    std::uint32_t DiagLamps = 0;  // two bits per diagnosis item, item 1 highest

    bool operator==(const AntennaState&) const = default;
};
