#pragma once

#include <cstdint>

#include "data/antenna_state.h"
#include "data/antenna_values.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "data/upload_state.h"
#include "geo/look_angles.h"
#include "lcd/lcd_data.h"

// Everything one ACU's link knows: its flags, what the ACU reported, the satellite data and
// what is being sent. Its controller owns it and is the only one to change it; windows and
// command lines read it. Two controllers share nothing, so a process may drive any number of
// ACUs.
struct LinkState {
    std::uint8_t Connected = 0;          // 1 while the port is open; every command needs it
    std::uint8_t SetupMode = 0;          // 1 after reply 16, or reply 1 with state 1
    std::uint8_t AntennaMode = 0;        // operating state last reported (1..7)
    std::uint8_t BusyCursor = 0;         // 1 while a long exchange runs: the wait cursor shows
    std::uint8_t ConnectRetryCount = 0;  // resends of command 1 since the link opened
    std::uint8_t DiagIdle = 1;           // 1 while no diagnosis runs
    std::uint8_t ReceiveSatIndex = 0;    // next satellite asked for with command 4
    std::uint32_t ProgressCount = 0;
    std::uint32_t ProgressTotal = 0;
    // What the lamps show: the connect lamp 0 grey, 1 red, 2 blue; the state lamps the state
    // last reported, or the one a diagnosis start or stop is about to bring.
    std::uint8_t ConnectLamp = 0;
    std::uint8_t StateLamps = 0;
    // The "Change SAT :" choice (-1 none) and whether "  Target    Change" may be pressed.
    int TargetChoice = -1;
    bool TargetChangeEnabled = false;

    SatelliteData data;
    ProductInformation product;
    AntennaParameters parameters;
    AntennaState antenna;
    UploadCursor upload;
    LookAngleInputs calc;  // the GPS page's last calculation, its angles signed
    LcdDataBlock LcdData{};

    // Commands that change the ACU's configuration or move the dish need setup mode.
    bool inSetupMode() const { return SetupMode == 1 || AntennaMode == 6; }
};

// The receiver as the target panel reads it.
inline ReceiverState receiverState(const LinkState& state) {
    return {state.product.Receiver18V, state.product.Receiver22k, state.product.ReceiverV,
            state.antenna.SignalLevel};
}
