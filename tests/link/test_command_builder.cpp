#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/satellite_tables.h"
#include "data/upload_state.h"
#include "lcd/lcd_data.h"
#include "link/link_state.h"
#include "support/link_fixture.h"
#include "support/records.h"
#include "support/replies.h"

namespace {

class CommandBuilder : public LinkFixture {
protected:
    Bytes payload(std::uint8_t code) {
        const std::uint8_t length = controller.BuildCommand(code);
        return Bytes(controller.txPayload().begin(), controller.txPayload().begin() + length);
    }
};

}  // namespace

TEST_F(CommandBuilder, RegionCountAnnouncementInItsThreeScopes) {
    g_RegionCount = {2, 0, 3, 0, 0, 1};
    g_RegionMode = 8;  // all regions of Oceania
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x08, 0x03}));
    g_RegionMode = 12;  // all continents
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x0C, 0x02, 0x00, 0x03, 0x00, 0x00, 0x01}));
    g_RegionMode = 3;  // one region of N.America
    g_RegionSelector = 7;
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x03, 0x07}));
}

TEST_F(CommandBuilder, UploadStartCarriesHeaderCountsAndSelectorPositions) {
    g_SifHeaderNumber = 0x12345;  // only the low 16 bits travel
    g_RegionCount = {4, 1, 0, 0, 2, 9};
    view.continentSelection = 5;
    view.regionSelection = 1;
    EXPECT_EQ(payload(10), (Bytes{0x0A, 0x23, 0x45, 4, 1, 0, 0, 2, 9, 0x05, 0x01}));

    // Nothing selected: kept as -1 and sent as 0xFF.
    view.continentSelection = -1;
    view.regionSelection = -1;
    EXPECT_EQ(payload(10), (Bytes{0x0A, 0x23, 0x45, 4, 1, 0, 0, 2, 9, 0xFF, 0xFF}));

    // The cursor then names no region: an all-zero record goes out, nothing is read past the table.
    const Bytes zeroRegion = payload(11);
    ASSERT_EQ(zeroRegion.size(), 59u);
    EXPECT_EQ(zeroRegion[1], 0xFF);
    EXPECT_EQ(zeroRegion[2], 0xFF);
    EXPECT_EQ(zeroRegion[15], 0);  // N
}

TEST_F(CommandBuilder, RegionRecordsWithNoneAndTwentySatellites) {
    *mutableRegionRecord(0, 4) = europeWest();
    g_UploadContinent = 0;
    g_UploadRegion = 4;
    const Bytes two = concat(
        {{0x0B, 0x00, 0x04}, ascii("EUROPE-WEST "), {0x02, 0x01, 0x03, 0x07}, europeWestTail()});
    EXPECT_EQ(payload(11), two);
    Bytes asSeven = two;
    asSeven[0] = 0x07;
    EXPECT_EQ(payload(7), asSeven);

    mutableRegionRecord(0, 4)->satelliteCount = 0;
    EXPECT_EQ(payload(11),
              concat({{0x0B, 0x00, 0x04}, ascii("EUROPE-WEST "), {0x00, 0x01}, europeWestTail()}));

    // A count above the list's 20 entries goes out as 20.
    RegionRecord full = europeWest();
    for (std::uint32_t k = 0; k < 20; ++k) full.satelliteList[k] = 20 - k;
    full.satelliteCount = 200;
    *mutableRegionRecord(5, 99) = full;
    g_UploadContinent = 5;
    g_UploadRegion = 99;
    EXPECT_EQ(
        payload(7),
        concat({{0x07, 0x05, 0x63},
                ascii("EUROPE-WEST "),
                {0x14, 0x01, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                europeWestTail()}));
}

TEST_F(CommandBuilder, SatelliteRecordsForUploadAndEdit) {
    const Bytes reply4 = satelliteReply(0);  // code, index, then the record as it travels
    const Bytes record(reply4.begin() + 2, reply4.end());
    g_SatelliteTable[4] = hotbird();
    g_UploadSatIndex = 4;
    EXPECT_EQ(payload(12), concat({{0x0C}, record}));
    EXPECT_EQ(payload(8), concat({{0x08}, record}));

    // Cursors past the tables send an all-zero record instead of reading beyond them.
    g_UploadSatIndex = 200;
    EXPECT_EQ(payload(12), concat({{0x0C}, Bytes(41, 0x00)}));
    g_EditSatIndex = 20;
    EXPECT_EQ(payload(18), concat({{0x12, 0x14}, Bytes(41, 0x00)}));
}

TEST_F(CommandBuilder, FramesGoOutByteByByteUnescapedWithAChecksumModulo256) {
    // 0x02 and 0x03 inside the payload are not escaped.
    g_DiseqcMode = 2;
    controller.SendCommand(20);
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x14, 0x02, 0x18, 0x03}));

    // LEN 81 + code 34 + 80 * 255 = 20515 = 80 * 256 + 35, so CHK is 0x23.
    for (std::size_t i = 20; i < 100; ++i) g_LcdData[i] = 0xFF;
    port.written.clear();
    controller.SendCommand(34);
    ASSERT_EQ(port.written.size(), 85u);
    EXPECT_EQ(port.written[1], 0x51);
    EXPECT_EQ(port.written[83], 0x23);
    EXPECT_EQ(port.written[84], 0x03);

    // A code without a command goes out as an empty frame.
    for (std::uint8_t code : {0, 5, 22, 23, 31, 32, 43, 255}) {
        port.written.clear();
        controller.SendCommand(code);
        EXPECT_EQ(port.written, (Bytes{0x02, 0x00, 0x00, 0x03})) << int{code};
    }

    // One byte at a time, and a byte the line loses is never repeated.
    port.written.clear();
    port.writes = 0;
    port.refuseWrite = 3;
    g_DefaultSatIndex = 2;
    controller.SendCommand(17);
    EXPECT_EQ(port.writes, 6);
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x02, 0x15, 0x03}));  // the code byte was lost
}
