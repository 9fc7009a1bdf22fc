#include "link/link_state.h"

std::uint8_t g_Connected = 0;
std::uint8_t g_SetupMode = 0;
std::uint8_t g_AntennaMode = 0;
std::uint8_t g_BusyCursor = 0;
std::uint8_t g_ConnectRetryCount = 0;
std::uint8_t g_DiagIdle = 1;
std::uint8_t g_ReceiveSatIndex = 0;
std::uint32_t g_ProgressCount = 0;
std::uint32_t g_ProgressTotal = 0;

void resetLinkState() {
    g_Connected = 0;
    g_SetupMode = 0;
    g_AntennaMode = 0;
    g_BusyCursor = 0;
    g_ConnectRetryCount = 0;
    g_DiagIdle = 1;
    g_ReceiveSatIndex = 0;
    g_ProgressCount = 0;
    g_ProgressTotal = 0;
}
