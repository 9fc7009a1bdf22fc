#include <gtest/gtest.h>

#include "data/antenna_info.h"
#include "data/satellite_tables.h"
#include "link/process_state.h"
#include "support/records.h"

namespace {

// Satellites 1 to 5, each with its own frequency and radio choices.
class SatelliteTables : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        for (std::uint8_t n = 1; n <= 5; ++n) {
            SatelliteRecord& sat = g_SatelliteTable[n - 1];
            sat.number = n;
            sat.vLowFreq = 11000u + n;
            sat.verification = n % 4;
            sat.polarization = n % 3;
            sat.tone = (n + 1) % 3;
        }
    }
    void TearDown() override { ResetProcessState(); }

    RegionRecord& region(std::uint32_t c, std::uint32_t r) { return *mutableRegionRecord(c, r); }
};

}  // namespace

TEST_F(SatelliteTables, NumbersAndIndicesOutsideTheTablesNeverReachOutside) {
    EXPECT_EQ(&satelliteByNumber(200), &g_SatelliteTable[199]);
    for (std::uint32_t n : {0u, 201u, 0xFFFFFFFFu}) {
        EXPECT_EQ(satelliteByNumber(n), SatelliteRecord{}) << n;
    }
    EXPECT_EQ(&regionRecord(5, 99), &g_RegionTable[599]);
    EXPECT_EQ(mutableRegionRecord(6, 0), nullptr);
    EXPECT_EQ(mutableRegionRecord(0, 100), nullptr);
    EXPECT_EQ(regionRecord(0xFFFFFFFFu, 0xFFFFFFFFu), RegionRecord{});

    RegionRecord& bad = region(0, 0);
    bad.satelliteCount = 250;   // more than the list holds
    bad.satelliteList.fill(0);  // and entries that name no satellite
    bad.satelliteList[19] = 201;
    ASSERT_TRUE(selectRegion(0, 0));
    EXPECT_EQ(g_RegionSatellites[0], SatelliteRecord{});
    EXPECT_EQ(g_RegionSatellites[19], SatelliteRecord{});

    g_CurContinent = 2;
    EXPECT_FALSE(selectRegion(6, 0));
    EXPECT_FALSE(prepareEditCopy(9, 9));
    EXPECT_EQ(g_CurContinent, 2);
    g_CurContinent = 7;  // as a damaged reply could leave it: the target is kept all the same
    setDefaultSatellite(5);
    EXPECT_EQ(g_DefaultSatIndex, 5);
}

TEST_F(SatelliteTables, SelectingARegionMaterialisesItsListAndDiscardsEdits) {
    RegionRecord& eu = region(0, 3);
    eu = europeWest();
    eu.satelliteCount = 3;
    eu.satelliteList = {3, 1, 3};
    ASSERT_TRUE(selectRegion(0, 3));
    EXPECT_EQ(g_DefaultSatIndex, 1);
    EXPECT_EQ(g_RegionSatellites[0], g_SatelliteTable[2]);
    EXPECT_EQ(g_RegionSatellites[1], g_SatelliteTable[0]);
    EXPECT_EQ(g_RegionSatellites[3], SatelliteRecord{});
    for (int k = 0; k < 3; ++k) EXPECT_EQ(g_EditSatellites[k], g_RegionSatellites[k]);
    // The radio choices are those of the last satellite of the list: number 3.
    EXPECT_EQ(g_CurVerification, 3);
    EXPECT_EQ(g_CurPolMode, 0);
    EXPECT_EQ(g_CurToneMode, 1);
    EXPECT_EQ(g_LnbType, 1);

    g_EditSatellites[0].vLowFreq = 12345;
    EXPECT_EQ(g_SatelliteTable[2].vLowFreq, 11003u);
    ASSERT_TRUE(selectRegion(0, 3));
    EXPECT_EQ(g_EditSatellites[0].vLowFreq, 11003u);

    // An empty region keeps the satellites (and their choices) but takes its own defaults.
    RegionRecord& empty = region(1, 1);
    empty.lnbType = 0;
    empty.diseqcMode = 1;
    empty.elAdjust = -1.25;
    ASSERT_TRUE(selectRegion(1, 1));
    EXPECT_EQ(g_RegionSatellites[0], g_SatelliteTable[2]);
    EXPECT_EQ(g_EditSatellites[0], g_SatelliteTable[2]);
    EXPECT_EQ(g_CurVerification, 3);
    EXPECT_EQ(g_LnbType, 0);
    EXPECT_EQ(g_DiseqcMode, 1);
    EXPECT_DOUBLE_EQ(g_ParElAdjust, -1.25);
}

TEST_F(SatelliteTables, AntennaParametersFollowTheModelInUse) {
    RegionRecord& r = region(4, 2);
    r = europeWest();  // models 1.5/300/250, 2.25/400/350, 0.75/500/450
    g_AntennaModel = 2;
    LoadAntennaParameters(4, 2);
    EXPECT_DOUBLE_EQ(g_ParTrackingScale, 2.25);
    EXPECT_EQ(g_ParDetectLevel, 400);

    // An unknown model keeps the model-specific three and still takes the common four.
    g_AntennaModel = 0;
    r.elAdjust = 2.0;
    r.modelParams[1].detectLevel = 999;
    LoadAntennaParameters(4, 2);
    EXPECT_EQ(g_ParDetectLevel, 400);
    EXPECT_DOUBLE_EQ(g_ParElAdjust, 2.0);
}
