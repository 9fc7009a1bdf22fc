#include "geo/look_angles.h"

#include <cmath>

#include "wire/display_text.h"

namespace {

const double kDegreesPerRadian = 180.0 / (4.0 * std::atan(1.0));

// Quadrant corrections of the azimuth.
constexpr double kHalfTurn = 180.0;
constexpr double kFullTurn = 360.0;

// The feeds used for these satellites sit turned against the geometric skew, so the program
// has always corrected them by fixed amounts. Only the eastern positions are meant: the
// comparison is on the signed longitude and exact, which a value typed or shown with one
// decimal ("19.2") meets.
constexpr double kSkewDownSatellites[] = {19.2, 28.2};
constexpr double kSkewDown = 7.0;
constexpr double kSkewUpSatellites[] = {156.0, 160.0};
constexpr double kSkewUp = 36.0;

double signedAngle(double degrees, char hemisphere, char negative) {
    return hemisphere == negative ? -degrees : degrees;
}

bool isOneOf(double value, const double (&positions)[2]) {
    return value == positions[0] || value == positions[1];
}

}  // namespace

LookAngles ComputeLookAngles(const LookAngleInputs& inputs) {
    LookAngles out;
    out.signedInputs = inputs;
    LookAngleInputs& s = out.signedInputs;
    s.siteLatitude = signedAngle(inputs.siteLatitude, inputs.siteLatHemisphere, 'S');
    s.siteLongitude = signedAngle(inputs.siteLongitude, inputs.siteLonHemisphere, 'W');
    s.satLongitude = signedAngle(inputs.satLongitude, inputs.satLonHemisphere, 'W');

    const double d = kDegreesPerRadian;
    const double delta = (s.siteLongitude - s.satLongitude) / d;
    const double latitude = s.siteLatitude;
    const double phi = latitude / d;

    // At latitude 0 the quotients below divide by zero: with the satellite off the meridian
    // they are infinite and their arctangent a clean +-90 degrees; right below it they are
    // 0/0, which lookAngleTexts() shows as "---".
    const double cosProduct = std::cos(phi) * std::cos(delta);
    out.elevation = d * std::atan((kOrbitRatio * cosProduct - 1.0) /
                                  (kOrbitRatio * std::sqrt(1.0 - cosProduct * cosProduct)));

    out.azimuth = d * std::atan(std::tan(delta) / std::sin(phi)) + kHalfTurn;
    if (latitude < 0.0) out.azimuth -= kHalfTurn;
    if (out.azimuth < 0.0) out.azimuth += kFullTurn;

    out.skewBeforeCorrection = -d * std::atan(std::sin(delta) / std::tan(phi));
    out.skew = out.skewBeforeCorrection;
    if (isOneOf(s.satLongitude, kSkewDownSatellites)) out.skew -= kSkewDown;
    if (isOneOf(s.satLongitude, kSkewUpSatellites)) out.skew += kSkewUp;
    return out;
}

LookAngleTexts lookAngleTexts(const LookAngles& angles) {
    if (std::isnan(angles.azimuth) || std::isnan(angles.elevation) || std::isnan(angles.skew)) {
        return {"---", "---", "---"};
    }
    return {formatText("%3.1f", angles.azimuth), formatText("%3.1f", angles.elevation),
            formatText("%3.1f", angles.skew)};
}

LookAngleTexts calculateLookAngles(LookAngleInputs& inputs) {
    const LookAngles angles = ComputeLookAngles(inputs);
    inputs = angles.signedInputs;
    return lookAngleTexts(angles);
}
