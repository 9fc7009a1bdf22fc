#include "data/antenna_info.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "link/antenna_state.h"
#include "link/link_state.h"
#include "support/link_fixture.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class Identification : public LinkFixture {};

}  // namespace

TEST_F(Identification, ChainRunsFromLinkCheckToTheStatusPoll) {
    controller.StartConnection();
    EXPECT_EQ(port.written, (Bytes{0x02, 0x01, 0x01, 0x02, 0x03}));
    EXPECT_EQ(g_Connected, 1);
    EXPECT_EQ(g_BusyCursor, 1);

    reply({0x01, 0x04});
    EXPECT_EQ(g_AntennaMode, 4);
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp"),
              std::vector<std::string>{"DrawConnectLamp(2)"});

    reply(productInfoReply());
    EXPECT_EQ(g_AntennaType, 2);
    EXPECT_EQ(g_AntennaModel, 3);
    EXPECT_EQ(fixedTextToString(g_ModelName), u"SR-90 MARINE        ");
    EXPECT_EQ(fixedTextToString(g_SerialNumber), u"SN2026-00042");
    EXPECT_DOUBLE_EQ(g_AcuSwVersion, 3.5);
    EXPECT_DOUBLE_EQ(g_AntennaPowerV, 24.0);
    EXPECT_DOUBLE_EQ(g_ReceiverV, 13.4);
    EXPECT_EQ(g_Receiver18V, 1);

    reply(regionReply());
    EXPECT_EQ(g_CurContinent, 0);
    EXPECT_EQ(g_CurRegion, 4);
    EXPECT_EQ(g_RegionCount[0], 5);
    EXPECT_EQ(regionRecord(0, 4), europeWest());
    EXPECT_EQ(g_DefaultSatIndex, 1);
    EXPECT_EQ(g_SatelliteCount, 2);

    reply(satelliteReply(0));
    EXPECT_EQ(g_BusyCursor, 1);
    reply(satelliteReply(1));
    EXPECT_EQ(g_RegionSatellites[0], hotbird());
    EXPECT_EQ(g_RegionSatellites[1], hotbird());
    EXPECT_EQ(g_BusyCursor, 0);
    EXPECT_EQ(view.callsStartingWith("refreshAfterDownload").size(), 1u);
    EXPECT_EQ(port.payloads(), (std::vector<Bytes>{{1}, {2}, {3}, {4, 0}, {4, 1}, {14}}));

    // The poll goes on every second without an answer, and each answer keeps it going.
    advance(3000);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 2, 3, 4, 4, 14, 14, 14, 14}));
    // Forgotten, so the status shows that it brings them.
    RegionRecord& region = *mutableRegionRecord(0, 4);
    region.gpsLongitude = region.gpsLatitude = 0.0;
    region.gpsEastWest = region.gpsNorthSouth = 0;
    g_ReceiverV = 0.0;
    g_SetupMode = 1;
    view.calls.clear();
    reply(statusReply());
    EXPECT_TRUE(timers.running(14));
    EXPECT_EQ(g_SignalLevel, 600u);
    EXPECT_EQ(g_SetupMode, 0);
    EXPECT_EQ(regionRecord(0, 4), europeWest());
    EXPECT_DOUBLE_EQ(g_ReceiverV, 13.4);
    EXPECT_EQ(view.calls, (std::vector<std::string>{
                              "RefreshTargetPanel(1,0,4)", "DrawStateLamps(4)", "DrawGpsLamps(1)",
                              "showRegionGps(0,4)", "showCurrentPosition(180.50,45.50,-3.25)"}));
}

TEST_F(Identification, ShortRepliesAndRepliesPointingOutsideTheTablesChangeNothing) {
    reply(statusReply());
    ASSERT_DOUBLE_EQ(g_CurrentAz, 180.5);
    view.calls.clear();
    // Reply 14 with LEN 3: the rest of the buffer still holds the earlier status.
    reply({0x0E, 0x07, 0x02});
    EXPECT_EQ(g_DefaultSatIndex, 1);
    EXPECT_EQ(g_AntennaMode, 4);
    Bytes shortProduct = productInfoReply();
    shortProduct.resize(49);
    reply(shortProduct);
    EXPECT_EQ(g_AntennaModel, 0);
    reply({0x16});        // reply 22 without its item
    reply({0x1E, 0x00});  // reply 30 without the low byte of its total
    EXPECT_TRUE(view.calls.empty());

    const auto tablesBefore = g_RegionTable;
    Bytes shortRegion = regionReply();
    shortRegion.pop_back();  // 61 bytes where N = 2 needs 62
    Bytes satellites21 = regionReply();
    satellites21[16] = 21;  // N, with 21 list bytes following so the length is right
    satellites21.insert(satellites21.begin() + 18, 19, 0x01);
    for (const Bytes& bad : {regionReply(6, 0), regionReply(0, 100), satellites21, shortRegion}) {
        reply(bad);
        EXPECT_EQ(g_RegionTable, tablesBefore);
        EXPECT_EQ(g_SatelliteCount, 0);
    }

    // A reply 4 before any reply 3, while a loaded file says there are 200 satellites.
    g_SatelliteCount = 200;
    const auto satellitesBefore = g_RegionSatellites;
    reply(satelliteReply(150));
    EXPECT_EQ(g_RegionSatellites, satellitesBefore);
    EXPECT_EQ(g_ReceiveSatIndex, 0);
    EXPECT_TRUE(port.written.empty());  // none of them let the chain go on

    // After reply 3, an index beyond the region's two satellites lands in entry 0.
    reply(regionReply());
    reply(satelliteReply(7));
    EXPECT_EQ(g_RegionSatellites[0], hotbird());
    EXPECT_EQ(g_RegionSatellites[7], SatelliteRecord{});
}
