#include "data/antenna_state.h"

std::uint32_t g_SignalLevel = 0;
std::uint8_t g_GpsLinkState = 0;
double g_CurrentAz = 0.0;
double g_CurrentEl = 0.0;
double g_CurrentSkew = 0.0;
double g_TargetAz = 0.0;
double g_TargetEl = 0.0;
double g_TargetSkew = 0.0;
std::uint32_t g_DiagLamps = 0;

void resetAntennaState() {
    g_SignalLevel = 0;
    g_GpsLinkState = 0;
    g_CurrentAz = 0.0;
    g_CurrentEl = 0.0;
    g_CurrentSkew = 0.0;
    g_TargetAz = 0.0;
    g_TargetEl = 0.0;
    g_TargetSkew = 0.0;
    g_DiagLamps = 0;
}
