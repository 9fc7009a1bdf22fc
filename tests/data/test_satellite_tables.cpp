#include <gtest/gtest.h>

#include "data/antenna_info.h"
#include "data/satellite_tables.h"
#include "support/records.h"

namespace {

// Satellites 1 to 5, each with its own frequency and radio choices.
class Tables : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::uint8_t n = 1; n <= 5; ++n) {
            SatelliteRecord& sat = data.SatelliteTable[n - 1];
            sat.number = n;
            sat.vLowFreq = 11000u + n;
            sat.verification = n % 4;
            sat.polarization = n % 3;
            sat.tone = (n + 1) % 3;
        }
    }
    RegionRecord& region(std::uint32_t c, std::uint32_t r) {
        return *mutableRegionRecord(data, c, r);
    }

    SatelliteData data;
};

}  // namespace

TEST_F(Tables, NumbersAndIndicesOutsideTheTablesNeverReachOutside) {
    EXPECT_EQ(&satelliteByNumber(data, 200), &data.SatelliteTable[199]);
    for (std::uint32_t n : {0u, 201u, 0xFFFFFFFFu}) {
        EXPECT_EQ(satelliteByNumber(data, n), SatelliteRecord{}) << n;
    }
    EXPECT_EQ(&regionRecord(data, 5, 99), &data.RegionTable[599]);
    EXPECT_EQ(mutableRegionRecord(data, 6, 0), nullptr);
    EXPECT_EQ(mutableRegionRecord(data, 0, 100), nullptr);
    EXPECT_EQ(regionRecord(data, 0xFFFFFFFFu, 0xFFFFFFFFu), RegionRecord{});

    RegionRecord& bad = region(0, 0);
    bad.satelliteCount = 250;   // more than the list holds
    bad.satelliteList.fill(0);  // and entries that name no satellite
    bad.satelliteList[19] = 201;
    ASSERT_TRUE(selectRegion(data, 0, 0));
    EXPECT_EQ(data.RegionSatellites[0], SatelliteRecord{});
    EXPECT_EQ(data.RegionSatellites[19], SatelliteRecord{});

    data.CurContinent = 2;
    EXPECT_FALSE(selectRegion(data, 6, 0));
    EXPECT_FALSE(prepareEditCopy(data, 9, 9));
    EXPECT_EQ(data.CurContinent, 2);
    data.CurContinent = 7;  // as a damaged reply could leave it: the target is kept all the same
    setDefaultSatellite(data, 5);
    EXPECT_EQ(data.DefaultSatIndex, 5);
}

TEST_F(Tables, SelectingARegionMaterialisesItsListAndDiscardsEdits) {
    RegionRecord& eu = region(0, 3);
    eu = europeWest();
    eu.satelliteCount = 3;
    eu.satelliteList = {3, 1, 3};
    ASSERT_TRUE(selectRegion(data, 0, 3));
    EXPECT_EQ(data.DefaultSatIndex, 1);
    EXPECT_EQ(data.RegionSatellites[0], data.SatelliteTable[2]);
    EXPECT_EQ(data.RegionSatellites[1], data.SatelliteTable[0]);
    EXPECT_EQ(data.RegionSatellites[3], SatelliteRecord{});
    for (int k = 0; k < 3; ++k) EXPECT_EQ(data.EditSatellites[k], data.RegionSatellites[k]);
    // The radio choices are those of the last satellite of the list: number 3.
    EXPECT_EQ(data.CurVerification, 3);
    EXPECT_EQ(data.CurPolMode, 0);
    EXPECT_EQ(data.CurToneMode, 1);
    EXPECT_EQ(data.LnbType, 1);

    data.EditSatellites[0].vLowFreq = 12345;
    EXPECT_EQ(data.SatelliteTable[2].vLowFreq, 11003u);
    ASSERT_TRUE(selectRegion(data, 0, 3));
    EXPECT_EQ(data.EditSatellites[0].vLowFreq, 11003u);

    // An empty region keeps the satellites (and their choices) but takes its own defaults.
    RegionRecord& empty = region(1, 1);
    empty.lnbType = 0;
    empty.diseqcMode = 1;
    ASSERT_TRUE(selectRegion(data, 1, 1));
    EXPECT_EQ(data.RegionSatellites[0], data.SatelliteTable[2]);
    EXPECT_EQ(data.EditSatellites[0], data.SatelliteTable[2]);
    EXPECT_EQ(data.CurVerification, 3);
    EXPECT_EQ(data.LnbType, 0);
    EXPECT_EQ(data.DiseqcMode, 1);
}

TEST_F(Tables, AntennaParametersFollowTheModelInUse) {
    RegionRecord& r = region(4, 2);
    r = europeWest();  // models 1.5/300/250, 2.25/400/350, 0.75/500/450
    AntennaParameters parameters;
    LoadAntennaParameters(data, 2, 4, 2, parameters);
    EXPECT_DOUBLE_EQ(parameters.ParTrackingScale, 2.25);
    EXPECT_EQ(parameters.ParDetectLevel, 400);

    // An unknown model keeps the model-specific three and still takes the common four.
    r.elAdjust = 2.0;
    r.modelParams[1].detectLevel = 999;
    LoadAntennaParameters(data, 0, 4, 2, parameters);
    EXPECT_EQ(parameters.ParDetectLevel, 400);
    EXPECT_DOUBLE_EQ(parameters.ParElAdjust, 2.0);
}
