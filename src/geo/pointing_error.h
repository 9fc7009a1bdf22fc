#pragma once

#include <optional>

#include "geo/look_angles.h"

struct SatelliteData;

// Where the dish should point and how far it is off: the target satellite's look angles from
// the reported GPS position, by the same calculation the GPS page shows.

// The look angles of entry position of RegionSatellites (the target) from a site in signed
// degrees (east and north positive). The satellite's longitude is taken as the GPS page takes
// it, one decimal, so that its fixed skew corrections apply alike. Nothing when the entry is
// not one of the region's satellites, the site is unknown (NaN) or there is no direction.
std::optional<LookAngles> targetLookAngles(const SatelliteData& data, double siteLongitude,
                                           double siteLatitude, int position);

// Dish minus target, in degrees; the azimuth difference the short way round, -180 to 180.
struct PointingError {
    double azimuth = 0.0;
    double elevation = 0.0;
};
PointingError pointingError(double dishAzimuth, double dishElevation, const LookAngles& target);
