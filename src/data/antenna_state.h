#pragma once

#include <cstdint>

// What the status poll reports about the antenna, and where the moves send it.

extern std::uint32_t g_SignalLevel;
extern std::uint8_t g_GpsLinkState;  // 0 not reported, 1 GPS link, 2 GPS not link
extern double g_CurrentAz;
extern double g_CurrentEl;
extern double g_CurrentSkew;
extern double g_TargetAz;
extern double g_TargetEl;
extern double g_TargetSkew;
extern std::uint32_t g_DiagLamps;  // two bits per diagnosis item, item 1 highest

void resetAntennaState();
