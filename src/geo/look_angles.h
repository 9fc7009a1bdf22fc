#pragma once

#include <string>

// Azimuth, elevation and skew towards a geostationary satellite from a site on a spherical
// earth. The results are only shown to the user; nothing of this goes to the ACU.

// A position as the user typed it: unsigned degrees and a hemisphere letter. Only 'W' (the
// longitudes) and 'S' (the latitude) count; any other letter, 0 included, is east or north.
struct LookAngleInputs {
    double siteLongitude = 0.0;
    char siteLonHemisphere = 0;
    double siteLatitude = 0.0;
    char siteLatHemisphere = 0;
    double satLongitude = 0.0;
    char satLonHemisphere = 0;

    bool operator==(const LookAngleInputs&) const = default;
};

struct LookAngles {
    double azimuth = 0.0;
    double elevation = 0.0;
    double skew = 0.0;
    // The skew as the geometry gives it, before the fixed corrections of a few satellites.
    double skewBeforeCorrection = 0.0;
    // The three angles signed, east and north positive; the hemisphere letters unchanged.
    LookAngleInputs signedInputs;
};

// The three texts of the page's result fields.
struct LookAngleTexts {
    std::string azimuth;
    std::string elevation;
    std::string skew;

    bool operator==(const LookAngleTexts&) const = default;
};

// Geostationary orbit radius over earth radius, (6378.14 + 35786.0) / 6378.14.
inline constexpr double kOrbitRatio = 6.610726638173511;

LookAngles ComputeLookAngles(const LookAngleInputs& inputs);

// "%3.1f" of each angle. A site on the equator right below the satellite has no direction to
// turn to (0/0), so all three fields then show "---" rather than "nan".
LookAngleTexts lookAngleTexts(const LookAngles& angles);

// Calculates from inputs, leaves the angles in them signed and returns the texts of the result
// fields. The inputs are refilled before every run, as the GPS page does.
LookAngleTexts calculateLookAngles(LookAngleInputs& inputs);
