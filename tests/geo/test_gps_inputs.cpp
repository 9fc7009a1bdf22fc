#include <gtest/gtest.h>

#include "data/satellite_tables.h"
#include "geo/gps_inputs.h"
#include "link/process_state.h"

class GpsPage : public testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

TEST_F(GpsPage, ReportedPositionAndSatelliteLongitudeGoInAndOutAsTexts) {
    RegionRecord& region = *mutableRegionRecord(0, 4);
    region.gpsLongitude = 4.48;
    region.gpsEastWest = 'E';
    region.gpsLatitude = 151.9;
    region.gpsNorthSouth = 'N';
    EXPECT_EQ(antennaGpsTexts(0, 4), (AntennaGpsTexts{"4.48", "E", "151.90", "N"}));
    // Never reported: a zero hemisphere byte is an empty field, not a NUL character.
    EXPECT_EQ(antennaGpsTexts(0, 5), (AntennaGpsTexts{"0.00", "", "0.00", ""}));
    EXPECT_EQ(antennaGpsTexts(9, 200), (AntennaGpsTexts{"0.00", "", "0.00", ""}));

    // Each hemisphere is the first letter of its text; no selection is the second item.
    ReadAntennaGpsInputs({"101.0", false}, {"74.00", "W", "40.70", "N"});
    EXPECT_EQ(calcInputs(), (LookAngleInputs{74.0, 'W', 40.7, 'N', 101.0, 'W'}));
    ReadAntennaGpsInputs({"", true}, {"x", "", "", ""});
    EXPECT_EQ(calcInputs(), (LookAngleInputs{0.0, 0, 0.0, 0, 0.0, 'E'}));

    g_RegionSatellites[0].longitude = 130.0;
    g_RegionSatellites[0].eastWest = 'E';
    g_RegionSatellites[1].longitude = 19.25;
    g_RegionSatellites[1].eastWest = 'W';
    EXPECT_EQ(satelliteLongitudeFor(0), (SatelliteLongitude{"130.0", true}));
    EXPECT_EQ(satelliteLongitudeFor(1), (SatelliteLongitude{"19.2", false}));
    EXPECT_EQ(satelliteLongitudeFor(-1), std::nullopt);
    EXPECT_EQ(satelliteLongitudeFor(20), std::nullopt);
}
