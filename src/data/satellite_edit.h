#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/satellite_tables.h"

// Reading what a technician typed on the Satellite_Information page into a satellite record,
// and the refusals that keep a number the link cannot carry from reaching the ACU as another.

// The page's fields as they stand when "Edit Satellite Information" is pressed.
struct SatelliteForm {
    int position = -1;  // the "Satellite" selector's position, -1 for no selection
    std::u16string name;
    std::u16string longitude;
    int hemisphere = 0;                           // selector position: 0 is "E", any other "W"
    std::array<std::u16string, 12> transponders;  // vLowFreq, vLowSymbolRate, ... hHighNid
};

// The record the form makes of base (which keeps its number), or the refusal to show.
struct SatelliteFormReading {
    SatelliteRecord record;
    std::string refusal;  // empty when the record may be sent
};

// The name cut to 10 characters and blank-padded; the longitude read as a real, unrounded;
// every transponder box read as an integer; the three choices from the page's radios
// (CurVerification, CurPolMode, CurToneMode of data).
SatelliteFormReading readSatelliteForm(const SatelliteForm& form, const SatelliteRecord& base,
                                       const SatelliteData& data);

// The value of the Single Band frequency box, or the refusal to show when the link cannot
// carry it.
struct FrequencyReading {
    std::uint32_t value = 0;
    std::string refusal;
};
FrequencyReading readLocalFrequency(std::u16string_view text);

// Shows element k of the edit copy: the page's three radio choices take its values. Nothing
// when k names no satellite of the current region (the caller then shows empty fields).
const SatelliteRecord* takeEditSatellite(SatelliteData& data, int k);

// The ACU acknowledged a change: the current region's tables take what was sent, so every page
// shows the ACU's new setting without asking for it again. The edited satellite (command 18),
// the LNB setting (19: the type, and the single band frequency for a single band LNB) and the
// DiSEqC use (20).
void keepSentSatellite(SatelliteData& data);
void keepSentLnbSetting(SatelliteData& data);
void keepSentDiseqcMode(SatelliteData& data);

inline constexpr const char* kNoSatelliteSelected =
    " No satellite selected !!! \r\n Select a satellite and try again !!!";
