#pragma once

#include <cstdint>

// The state of the link to the ACU, shared by the connection, the dispatcher, the timer
// handler and the operation buttons.

extern std::uint8_t g_Connected;          // 1 while the port is open; every command needs it
extern std::uint8_t g_SetupMode;          // 1 after reply 16, or reply 1 with state 1
extern std::uint8_t g_AntennaMode;        // operating state last reported (1..7)
extern std::uint8_t g_BusyCursor;         // 1 while a long exchange runs: the wait cursor shows
extern std::uint8_t g_ConnectRetryCount;  // resends of command 1 since the link opened
extern std::uint8_t g_DiagIdle;           // 1 while no diagnosis runs
extern std::uint8_t g_ReceiveSatIndex;    // next satellite asked for with command 4
extern std::uint32_t g_ProgressCount;
extern std::uint32_t g_ProgressTotal;

// Commands that change the ACU's configuration or move the dish need setup mode.
inline bool inSetupMode() {
    return g_SetupMode == 1 || g_AntennaMode == 6;
}

void resetLinkState();
