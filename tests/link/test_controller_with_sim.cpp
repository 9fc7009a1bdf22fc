#include <gtest/gtest.h>

#include "acu_simulator.h"
#include "data/antenna_info.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "memory_link.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"
#include "support/records.h"

using namespace std::chrono_literals;

namespace {

// The controller talking to the simulated ACU over an in-memory line, both on one manual
// clock.
class ControllerWithSim : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        line.setOnData([this] { controller.OnCommRead(); });
        acu.settleOnTarget();
    }
    void TearDown() override { ResetProcessState(); }

    void run(std::chrono::milliseconds span) {
        for (auto elapsed = 0ms; elapsed < span; elapsed += 10ms) {
            line.advance(10ms);
            timers.advance(10ms, [this](int id) { controller.OnTimer(id); });
        }
    }
    AcuSimulator acu;
    CommQueue queue;
    MemoryLink line{acu, queue};
    RecorderView view;
    ManualTimers timers;
    AcuController controller{line, queue, view, timers};
};

}  // namespace

TEST_F(ControllerWithSim, UploadOfAllContinentsArrivesWholeAndInOrder) {
    g_RegionMode = 12;
    g_RegionCount = {2, 0, 0, 0, 0, 1};
    g_SifHeaderNumber = 2026;
    RegionRecord first = europeWest();
    RegionRecord second = europeWest();
    storeFixedText(second.name, u"EUROPE-EAST");
    RegionRecord africa = europeWest();
    storeFixedText(africa.name, u"AFRICA-NORTH");
    *mutableRegionRecord(0, 0) = first;
    *mutableRegionRecord(0, 1) = second;
    *mutableRegionRecord(5, 0) = africa;
    g_SatelliteCount = 3;
    for (std::uint8_t k = 0; k < 3; ++k) {
        g_SatelliteTable[k] = hotbird();
        g_SatelliteTable[k].number = static_cast<std::uint8_t>(k + 1);
    }
    view.continentSelection = 0;
    view.regionSelection = 1;
    g_Connected = 1;
    g_SetupMode = 1;
    g_DefaultDataLoaded = 1;
    controller.updateDefaultData();
    run(3000ms);

    const ReceivedDefaults& upload = acu.state().upload;
    ASSERT_TRUE(upload.header);
    EXPECT_EQ(upload.header->sifHeaderNumber, 2026);
    EXPECT_EQ(upload.header->regionCounts, (std::array<std::uint8_t, 6>{2, 0, 0, 0, 0, 1}));
    EXPECT_EQ(upload.header->regionSelection, 1);
    const std::vector<RegionArrival> regions = {{0, 0, first}, {0, 1, second}, {1, 0, {}},
                                                {2, 0, {}},    {3, 0, {}},     {4, 0, {}},
                                                {5, 0, africa}};
    EXPECT_EQ(upload.regions, regions);
    ASSERT_EQ(upload.satellites.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(upload.satellites[k], g_SatelliteTable[k]);
    EXPECT_TRUE(upload.complete);
    // Ten steps of six announced: the figure runs past 100, as continents without regions
    // still have their region 0 sent.
    EXPECT_EQ(view.callsStartingWith("StepProgress").back(), "StepProgress(Update,10,166)");
    EXPECT_EQ(view.callsStartingWith("CloseProgress"),
              std::vector<std::string>{"CloseProgress(Update)"});
    EXPECT_EQ(g_BusyCursor, 0);
    EXPECT_FALSE(timers.running(13));
}
