#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/satellite_tables.h"

// The texts that the region refresh puts on the satellite pages, the target choice and the
// Administrator page, worked out from the tables. Names are 8-bit bytes shown widened
// unchanged, so texts that carry a name are UTF-16; the numeric formats are plain ASCII.

// The 10-character names of the current region's satellites in list order, trailing blanks
// included: the entries of the three satellite selectors.
std::vector<std::u16string> satelliteSelectorEntries(const SatelliteData& data);

// " %2d " of k+1 for each satellite of the current region: the Administrator list.
std::vector<std::string> adminSatelliteListEntries(const SatelliteData& data);

// Whether position names a satellite of the current region's list.
bool isRegionSatellitePosition(const SatelliteData& data, int position);

// "%3.1f" of a satellite's longitude, as the edit boxes show it.
std::string longitudeText(double longitude);

// The hemisphere selectors list "E" then "W": 'E' is position 0, anything else position 1.
int hemispherePosition(char eastWest);

// A satellite's 10-character name as text.
std::u16string satelliteNameText(const SatelliteRecord& satellite);

// The numbered fields of the Administrator page for one satellite, and the region's LNB line.
// A code outside its enumeration gives an empty text.
struct SatelliteDetailsTexts {
    std::string index;       // "%3d "
    std::u16string name;     // "  " and the 10 characters
    std::string longitude;   // " %3.1f" then "%c \r\n"
    std::string verLowBand;  // "%5d  %5d  %5d"
    std::string verHighBand;
    std::string horLowBand;
    std::string horHighBand;
    std::string verification;  // "AGC Level", ...
    std::string polarization;  // "Pol Auto", ...
    std::string tone;          // "Tone Auto", ...
    std::string diseqc;        // the region's DiSEqC use
    std::string lnbInformation;

    bool operator==(const SatelliteDetailsTexts&) const = default;
};

SatelliteDetailsTexts satelliteDetailsTexts(const SatelliteRecord& satellite,
                                            const RegionRecord& region);

// The details of the current region's satellite at position as loaded or received (never the
// edit copy). A position outside the region's list has no satellite: every field is empty
// but the LNB line, which belongs to the region.
SatelliteDetailsTexts currentSatelliteDetails(const SatelliteData& data, int position);

// " LNB Type : Single Band\tLocal Freq.: %d MHz" or " LNB Type : Universal\tLocal Freq.:
// %d / %d MHz"; empty for any other LNB type.
std::string lnbInformationText(const RegionRecord& region);

// A region's 12-character name, trailing blanks included.
std::u16string regionNameText(const RegionRecord& region);

// What the Satellite_Information page shows of one satellite.
struct EditSatelliteTexts {
    std::u16string name;                       // the 10 characters
    std::string longitude;                     // "%3.1f"
    int hemisphere = 0;                        // selector position
    std::array<std::string, 12> transponders;  // "%d", vLowFreq ... hHighNid

    bool operator==(const EditSatelliteTexts&) const = default;
};

EditSatelliteTexts editSatelliteTexts(const SatelliteRecord& satellite);

// "%d" of LocalFreqSingle, and "%d/%d" of the two universal local frequencies.
std::string singleBandFrequencyText(const SatelliteData& data);
std::string universalFrequencyText(const SatelliteData& data);
