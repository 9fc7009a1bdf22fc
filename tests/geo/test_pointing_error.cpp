#include <gtest/gtest.h>

#include <cmath>

#include "data/satellite_tables.h"
#include "geo/pointing_error.h"

namespace {

struct Site {
    double longitude, latitude;  // signed
    double satellite;            // east
    double dishAz, dishEl;
    double azError, elError;  // worked out by hand from the look angles
};

// 127.0 E 37.5 N looks at 116.0 E at azimuth 197.7, elevation 45.0; 151.2 E 33.9 S looks at
// 156.0 E at 8.6, 50.3. A dish at 350 there is 18.6 degrees west of it, not 341.4 east.
const Site kSites[] = {
    {127.0, 37.5, 116.0, 200.0, 44.0, 2.3, -1.0},
    {151.2, -33.9, 156.0, 350.0, 52.0, -18.6, 1.7},
};

}  // namespace

TEST(PointingError, FromTheReportedSiteToTheTargetSatellite) {
    SatelliteData data;
    data.SatelliteCount = 2;
    for (const Site& site : kSites) {
        data.RegionSatellites[1].longitude = site.satellite;
        data.RegionSatellites[1].eastWest = 'E';
        const auto target = targetLookAngles(data, site.longitude, site.latitude, 1);
        ASSERT_TRUE(target.has_value());
        const PointingError error = pointingError(site.dishAz, site.dishEl, *target);
        EXPECT_NEAR(error.azimuth, site.azError, 0.06) << site.longitude;
        EXPECT_NEAR(error.elevation, site.elError, 0.06) << site.longitude;
    }
    // No target beyond the region's satellites, nor from a site never reported.
    EXPECT_FALSE(targetLookAngles(data, 127.0, 37.5, 2).has_value());
    EXPECT_FALSE(targetLookAngles(data, std::nan(""), 37.5, 1).has_value());
}
