#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "geo/look_angles.h"

struct SatelliteData;

// What the GPS page shows and reads, as plain texts: the page copies them in and out of its
// controls and leaves every decision here.

// The "Antenna GPS" group: the position the ACU reports, "%3.2f" and a hemisphere letter.
// Also what ReadAntennaGpsInputs reads back from the group.
struct AntennaGpsTexts {
    std::string longitude;
    std::string longitudeHemisphere;
    std::string latitude;
    std::string latitudeHemisphere;

    bool operator==(const AntennaGpsTexts&) const = default;
};

// The reported position of the current region, as the group shows it. A hemisphere byte of 0
// (never reported) shows as an empty field.
AntennaGpsTexts antennaGpsTexts(const SatelliteData& data);

// A longitude or latitude box with its hemisphere selector. firstItemSelected is true only
// when the selector's first item ("E" or "N") is selected; no selection counts as the second.
struct TypedPosition {
    std::string degrees;
    bool firstItemSelected = false;
};

// The six calculation inputs as the page holds them: the satellite from its box and selector,
// the site from the "Antenna GPS" texts or from the "Region GPS" boxes.
LookAngleInputs ReadAntennaGpsInputs(const TypedPosition& satellite,
                                     const AntennaGpsTexts& antenna);
LookAngleInputs ReadRegionGpsInputs(const TypedPosition& satellite, const TypedPosition& longitude,
                                    const TypedPosition& latitude);

// The satellite "Longitude" box and selector for entry position of RegionSatellites: "%3.1f"
// of its longitude, and whether "E" (rather than "W") is to be selected. Nothing for a
// position outside the table (no selection is -1).
struct SatelliteLongitude {
    std::string text;
    bool east = false;

    bool operator==(const SatelliteLongitude&) const = default;
};
std::optional<SatelliteLongitude> satelliteLongitudeFor(const SatelliteData& data, int position);
