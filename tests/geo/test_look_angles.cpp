#include <gtest/gtest.h>

#include <cmath>

#include "geo/look_angles.h"

namespace {

struct Example {
    LookAngleInputs in;
    const char* azimuth;
    const char* elevation;
    const char* skew;
    const char* skewBeforeCorrection;  // nullptr: no number to compare
};

// Positions as a user types them, results as the page shows them, worked out by hand.
const Example kExamples[] = {
    {{127.0, 'E', 37.5, 'N', 116.0, 'E'}, "197.7", "45.0", "-14.0", "-14.0"},
    {{0.0, 'E', 51.5, 'N', 19.2, 'E'}, "156.0", "28.4", "7.7", "14.7"},
    {{151.2, 'E', 33.9, 'S', 156.0, 'E'}, "8.6", "50.3", "28.9", "-7.1"},
    {{74.0, 'W', 40.7, 'N', 101.0, 'W'}, "218.0", "35.4", "-27.8", "-27.8"},
    // 19.2 West is not the corrected 19.2 East: the mirror image of the second example.
    {{0.0, 'E', 51.5, 'N', 19.2, 'W'}, "204.0", "28.4", "-14.7", "-14.7"},
    // On the satellite's meridian, 28.2 East and 160.0 East get their corrections too: due
    // south with a negative zero skew in the north, due north and a plain zero in the south.
    {{28.2, 'E', 51.5, 'N', 28.2, 'E'}, "180.0", "31.1", "-7.0", "-0.0"},
    {{160.0, 'E', 33.9, 'S', 160.0, 'E'}, "0.0", "50.6", "36.0", "0.0"},
    // A satellite 90 degrees of longitude away is below the horizon, due east.
    {{10.0, 'E', 10.0, 'N', 100.0, 'E'}, "90.0", "-8.6", "80.0", "80.0"},
    // On the equator off the meridian the divisions by zero give a clean 90 degrees.
    {{10.0, 'E', 0.0, 'N', 0.0, 'E'}, "270.0", "78.2", "-90.0", "-90.0"},
    // Any letter other than W and S is east or north.
    {{127.0, 0, 37.5, 'x', 116.0, 'e'}, "197.7", "45.0", "-14.0", "-14.0"},
    // Right below the satellite there is no direction (0/0), nor from an infinite input (a
    // typed "1e999"): dashes, not "nan".
    {{116.0, 'E', 0.0, 'N', 116.0, 'E'}, "---", "---", "---", nullptr},
    {{HUGE_VAL, 'E', 37.5, 'N', 116.0, 'E'}, "---", "---", "---", nullptr},
};

}  // namespace

TEST(LookAngles, WorkedExamplesToTheDigit) {
    for (const Example& e : kExamples) {
        SCOPED_TRACE(testing::Message() << "example " << &e - kExamples);
        const LookAngles angles = ComputeLookAngles(e.in);
        EXPECT_EQ(lookAngleTexts(angles), (LookAngleTexts{e.azimuth, e.elevation, e.skew}));
        if (e.skewBeforeCorrection == nullptr) continue;
        char text[32];
        std::snprintf(text, sizeof text, "%3.1f", angles.skewBeforeCorrection);
        EXPECT_STREQ(text, e.skewBeforeCorrection);
    }
}

namespace {

constexpr double kRadian = 3.14159265358979323846 / 180.0;

struct Reference {
    double azimuth;
    double elevation;
    double skew;
};

// A different route to the same angles: site and satellite as vectors from the earth's
// centre (x towards 0 E, z towards the north pole), the line of sight taken apart along the
// site's east, north and up. The skew is the handbook polarisation offset
// tan(psi) = sin(satellite longitude - site longitude) / tan(latitude).
Reference reference(double siteLonEast, double siteLatNorth, double satLonEast) {
    const double lon = siteLonEast * kRadian, lat = siteLatNorth * kRadian;
    const double sat = satLonEast * kRadian;
    const double site[3] = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                            std::sin(lat)};
    const double ratio = (6378.14 + 35786.0) / 6378.14;  // orbit radius in earth radii
    double look[3] = {ratio * std::cos(sat) - site[0], ratio * std::sin(sat) - site[1], -site[2]};
    const double length = std::hypot(look[0], look[1], look[2]);
    for (double& c : look) c /= length;
    const double east = -std::sin(lon) * look[0] + std::cos(lon) * look[1];
    const double north = -std::sin(lat) * std::cos(lon) * look[0] -
                         std::sin(lat) * std::sin(lon) * look[1] + std::cos(lat) * look[2];
    const double up = site[0] * look[0] + site[1] * look[1] + site[2] * look[2];
    return {std::fmod(std::atan2(east, north) / kRadian + 360.0, 360.0), std::asin(up) / kRadian,
            std::atan(std::sin(sat - lon) / std::tan(lat)) / kRadian};
}

}  // namespace

TEST(LookAngles, AgreesWithTheVectorGeometryOverAGrid) {
    int compared = 0;
    for (double lat = -75.0; lat <= 75.0; lat += 7.5) {
        for (double lon = -170.0; lon <= 180.0; lon += 25.0) {
            for (double sat = -175.0; sat <= 180.0; sat += 15.5) {
                // Only satellites within a quarter turn can be seen; none of this grid lies on
                // a corrected position.
                const double apart = std::fmod(sat - lon + 540.0, 360.0) - 180.0;
                if (lat == 0.0 || std::fabs(apart) >= 89.0 || std::fabs(apart) < 0.5) continue;
                const LookAngles angles =
                    ComputeLookAngles({std::fabs(lon), lon < 0 ? 'W' : 'E', std::fabs(lat),
                                       lat < 0 ? 'S' : 'N', std::fabs(sat), sat < 0 ? 'W' : 'E'});
                const Reference expected = reference(lon, lat, sat);
                SCOPED_TRACE(testing::Message() << lon << " " << lat << " " << sat);
                EXPECT_NEAR(angles.azimuth, expected.azimuth, 0.1);
                EXPECT_NEAR(angles.elevation, expected.elevation, 0.1);
                EXPECT_NEAR(angles.skew, expected.skew, 0.1);
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 2000);
}
