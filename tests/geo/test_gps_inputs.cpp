#include <gtest/gtest.h>

#include "data/satellite_tables.h"
#include "geo/gps_inputs.h"

TEST(GpsPage, ReportedPositionAndSatelliteLongitudeGoInAndOutAsTexts) {
    SatelliteData data;
    data.CurRegion = 4;
    RegionRecord& region = *mutableRegionRecord(data, 0, 4);
    region.gpsLongitude = 4.48;
    region.gpsEastWest = 'E';
    region.gpsLatitude = 151.9;
    region.gpsNorthSouth = 'N';
    EXPECT_EQ(antennaGpsTexts(data), (AntennaGpsTexts{"4.48", "E", "151.90", "N"}));
    // Never reported: a zero hemisphere byte is an empty field, not a NUL character.
    data.CurRegion = 5;
    EXPECT_EQ(antennaGpsTexts(data), (AntennaGpsTexts{"0.00", "", "0.00", ""}));
    data.CurContinent = 9;
    EXPECT_EQ(antennaGpsTexts(data), (AntennaGpsTexts{"0.00", "", "0.00", ""}));

    // Each hemisphere is the first letter of its text; no selection is the second item.
    EXPECT_EQ(ReadAntennaGpsInputs({"101.0", false}, {"74.00", "W", "40.70", "N"}),
              (LookAngleInputs{74.0, 'W', 40.7, 'N', 101.0, 'W'}));
    EXPECT_EQ(ReadAntennaGpsInputs({"", true}, {"x", "", "", ""}),
              (LookAngleInputs{0.0, 0, 0.0, 0, 0.0, 'E'}));

    data.RegionSatellites[0].longitude = 130.0;
    data.RegionSatellites[0].eastWest = 'E';
    data.RegionSatellites[1].longitude = 19.25;
    data.RegionSatellites[1].eastWest = 'W';
    EXPECT_EQ(satelliteLongitudeFor(data, 0), (SatelliteLongitude{"130.0", true}));
    EXPECT_EQ(satelliteLongitudeFor(data, 1), (SatelliteLongitude{"19.2", false}));
    EXPECT_EQ(satelliteLongitudeFor(data, -1), std::nullopt);
    EXPECT_EQ(satelliteLongitudeFor(data, 20), std::nullopt);
}
