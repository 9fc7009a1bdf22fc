#include "look_angles.h"

#include <cmath>
#include <numbers>

namespace {

// Geostationary orbit radius over the earth's radius.
constexpr double kOrbitRatio = (6378.14 + 35786.0) / 6378.14;
constexpr double kDegree = std::numbers::pi / 180.0;

double signedDegrees(double value, char hemisphere, char negative) {
    return hemisphere == negative ? -value : value;
}

}  // namespace

AntennaAngles lookAngles(const GpsFix& site, const SatelliteRecord& satellite) {
    const double latitude = signedDegrees(site.latitude, site.northSouth, 'S') * kDegree;
    const double siteLongitude = signedDegrees(site.longitude, site.eastWest, 'W');
    const double satLongitude = signedDegrees(satellite.longitude, satellite.eastWest, 'W');
    const double delta = (satLongitude - siteLongitude) * kDegree;

    AntennaAngles angles;
    const double cosine = std::cos(latitude) * std::cos(delta);
    angles.el = std::atan2(cosine - 1.0 / kOrbitRatio, std::sqrt(1.0 - cosine * cosine)) / kDegree;
    angles.az = std::atan2(std::sin(delta), -std::sin(latitude) * std::cos(delta)) / kDegree;
    if (angles.az < 0.0) angles.az += 360.0;
    // On the equator the feed is turned a full quarter; atan of an infinite ratio says so.
    const double tanLatitude = std::tan(latitude);
    angles.skew = tanLatitude == 0.0 ? (std::sin(delta) < 0.0 ? -90.0 : 90.0)
                                     : std::atan(std::sin(delta) / tanLatitude) / kDegree;
    return angles;
}
