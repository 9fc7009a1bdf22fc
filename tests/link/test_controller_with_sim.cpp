#include <gtest/gtest.h>

#include "acu_simulator.h"
#include "data/antenna_info.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "link/antenna_state.h"
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
    std::vector<std::chrono::milliseconds> commandTimes(std::uint8_t code) const {
        std::vector<std::chrono::milliseconds> at;
        for (const auto& [time, c] : received) {
            if (c == code) at.push_back(time);
        }
        return at;
    }
    void startUpload() {
        g_Connected = 1;
        g_SetupMode = 1;
        g_DefaultDataLoaded = 1;
        controller.updateDefaultData();
    }
    void recordCommands() {
        acu.setFrameObserver(
            [this](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                if (direction == AcuSimulator::Direction::FromProgram)
                    received.emplace_back(timers.now(), frame[2]);
            });
    }

    AcuSimulator acu;
    CommQueue queue;
    MemoryLink line{acu, queue};
    RecorderView view;
    ManualTimers timers;
    AcuController controller{line, queue, view, timers};
    std::vector<std::pair<std::chrono::milliseconds, std::uint8_t>> received;
};

}  // namespace

TEST_F(ControllerWithSim, IdentificationFillsTheTablesAndEndsInTheStatusPoll) {
    recordCommands();
    controller.StartConnection();
    run(4000ms);

    const CurrentRegion& current = acu.state().current;
    EXPECT_EQ(g_CurContinent, current.continent);
    EXPECT_EQ(g_CurRegion, current.region);
    EXPECT_EQ(g_SatelliteCount, current.satelliteCount());
    EXPECT_EQ(g_AntennaModel, acu.state().product.antennaModel);
    EXPECT_EQ(g_ModelName, acu.state().product.modelName);
    RegionRecord expected = current.record;
    const RegionRecord& stored = regionRecord(current.continent, current.region);
    // GPS fields are overwritten by the status replies; everything else arrived as held.
    expected.gpsLongitude = stored.gpsLongitude;
    expected.gpsLatitude = stored.gpsLatitude;
    expected.gpsEastWest = stored.gpsEastWest;
    expected.gpsNorthSouth = stored.gpsNorthSouth;
    EXPECT_EQ(stored, expected);
    for (std::size_t k = 0; k < current.satelliteCount(); ++k) {
        EXPECT_EQ(g_RegionSatellites[k], current.satellites[k]) << k;
    }
    EXPECT_EQ(g_BusyCursor, 0);
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp").back(), "DrawConnectLamp(2)");
    EXPECT_EQ(view.callsStartingWith("DrawStateLamps").back(), "DrawStateLamps(4)");

    // The poll runs every second once the chain is through.
    const auto polls = commandTimes(14);
    ASSERT_GE(polls.size(), 3u);
    for (std::size_t i = 1; i < polls.size(); ++i) EXPECT_EQ(polls[i] - polls[i - 1], 1000ms);
    EXPECT_EQ(commandTimes(1).size(), 1u);
}

TEST_F(ControllerWithSim, AFullDiagnosisLightsEveryItemAndStopsItself) {
    acu.settings().diagnosis.failingItem = 3;
    controller.sendAndStart(21, 1000ms);
    run(15000ms);
    // Items passed (10) except item 3 failed (11) at bits 15..14.
    EXPECT_EQ(g_DiagLamps, 0xAEAAAu);
    EXPECT_EQ(view.callsStartingWith("DrawDiagLamps").back(), "DrawDiagLamps(715434)");
    EXPECT_EQ(g_DiagIdle, 1);
    EXPECT_FALSE(timers.running(24));
    EXPECT_FALSE(acu.diagnosisRunning());
}

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
    startUpload();
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
