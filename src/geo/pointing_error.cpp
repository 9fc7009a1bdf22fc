#include "geo/pointing_error.h"

#include <cmath>
#include <string>

#include "data/satellite_tables.h"
#include "geo/gps_inputs.h"
#include "wire/number_text.h"

std::optional<LookAngles> targetLookAngles(const SatelliteData& data, double siteLongitude,
                                           double siteLatitude, int position) {
    if (position < 0 || static_cast<std::uint32_t>(position) >= data.SatelliteCount) {
        return std::nullopt;
    }
    if (std::isnan(siteLongitude) || std::isnan(siteLatitude)) return std::nullopt;
    const std::optional<SatelliteLongitude> satellite = satelliteLongitudeFor(data, position);
    if (!satellite) return std::nullopt;
    const LookAngleInputs inputs{
        std::fabs(siteLongitude),
        siteLongitude < 0.0 ? 'W' : 'E',
        std::fabs(siteLatitude),
        siteLatitude < 0.0 ? 'S' : 'N',
        wideToReal(std::u16string(satellite->text.begin(), satellite->text.end())),
        satellite->east ? 'E' : 'W'};
    const LookAngles angles = ComputeLookAngles(inputs);
    if (std::isnan(angles.azimuth) || std::isnan(angles.elevation)) return std::nullopt;
    return angles;
}

PointingError pointingError(double dishAzimuth, double dishElevation, const LookAngles& target) {
    constexpr double kFullTurn = 360.0;
    constexpr double kHalfTurn = 180.0;
    double azimuth = std::fmod(dishAzimuth - target.azimuth + kHalfTurn, kFullTurn);
    if (azimuth < 0.0) azimuth += kFullTurn;
    return {azimuth - kHalfTurn, dishElevation - target.elevation};
}
