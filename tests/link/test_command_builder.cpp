#include "link/command_builder.h"
#include "support/link_fixture.h"
#include "support/records.h"
#include "support/replies.h"

namespace {

Bytes bytesOf(const Command& command) {
    return Bytes(command.payload().begin(), command.payload().end());
}

// Chain steps are built from the state as it stands: the tables and the upload cursor here.
class CommandBuilder : public ::testing::Test {
protected:
    Bytes payload(std::uint8_t code) { return bytesOf(BuildCommand(code, state)); }
    LinkState state;
};
class FrameWriter : public LinkFixture {};

}  // namespace

TEST_F(CommandBuilder, RegionCountAnnouncementInItsThreeScopes) {
    SatelliteData& tables = state.data;
    tables.RegionCount = {2, 0, 3, 0, 0, 1};
    tables.RegionMode = 8;  // all regions of Oceania
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x08, 0x03}));
    tables.RegionMode = 12;  // all continents
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x0C, 0x02, 0x00, 0x03, 0x00, 0x00, 0x01}));
    tables.RegionMode = 3;  // one region of N.America
    tables.RegionSelector = 7;
    EXPECT_EQ(payload(6), (Bytes{0x06, 0x03, 0x07}));
}

TEST_F(CommandBuilder, UploadStartCarriesHeaderCountsAndSelectorPositions) {
    state.data.SifHeaderNumber = 0x12345;  // only the low 16 bits travel
    state.data.RegionCount = {4, 1, 0, 0, 2, 9};
    EXPECT_EQ(bytesOf(uploadStartCommand(state.data, 5, 1)),
              (Bytes{0x0A, 0x23, 0x45, 4, 1, 0, 0, 2, 9, 0x05, 0x01}));

    // Nothing selected: kept as -1 and sent as 0xFF.
    state.upload = {0xFFFFFFFF, 0xFFFFFFFF, 0};
    EXPECT_EQ(payload(10), (Bytes{0x0A, 0x23, 0x45, 4, 1, 0, 0, 2, 9, 0xFF, 0xFF}));

    // The cursor then names no region: an all-zero record goes out, nothing is read past the table.
    const Bytes zeroRegion = payload(11);
    ASSERT_EQ(zeroRegion.size(), 59u);
    EXPECT_EQ(zeroRegion[1], 0xFF);
    EXPECT_EQ(zeroRegion[2], 0xFF);
    EXPECT_EQ(zeroRegion[15], 0);  // N
}

TEST_F(CommandBuilder, RegionRecordsWithNoneAndTwentySatellites) {
    *mutableRegionRecord(state.data, 0, 4) = europeWest();
    state.upload = {0, 4, 0};
    const Bytes two = concat(
        {{0x0B, 0x00, 0x04}, ascii("EUROPE-WEST "), {0x02, 0x01, 0x03, 0x07}, europeWestTail()});
    EXPECT_EQ(payload(11), two);
    Bytes asSeven = two;
    asSeven[0] = 0x07;
    EXPECT_EQ(payload(7), asSeven);

    mutableRegionRecord(state.data, 0, 4)->satelliteCount = 0;
    EXPECT_EQ(payload(11),
              concat({{0x0B, 0x00, 0x04}, ascii("EUROPE-WEST "), {0x00, 0x01}, europeWestTail()}));

    // A count above the list's 20 entries goes out as 20.
    RegionRecord full = europeWest();
    for (std::uint32_t k = 0; k < 20; ++k) full.satelliteList[k] = 20 - k;
    full.satelliteCount = 200;
    *mutableRegionRecord(state.data, 5, 99) = full;
    state.upload = {5, 99, 0};
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
    state.data.SatelliteTable[4] = hotbird();
    state.upload.UploadSatIndex = 4;
    EXPECT_EQ(payload(12), concat({{0x0C}, record}));
    EXPECT_EQ(payload(8), concat({{0x08}, record}));
    EXPECT_EQ(bytesOf(editSatelliteCommand(19, hotbird())), concat({{0x12, 0x13}, record}));

    // Cursors past the tables send an all-zero record instead of reading beyond them.
    state.upload.UploadSatIndex = 200;
    EXPECT_EQ(payload(12), concat({{0x0C}, Bytes(41, 0x00)}));
    // The operations' commands are their operation's alone.
    for (std::uint8_t code : {17, 18, 19, 20, 25, 26, 27, 28, 29}) {
        EXPECT_EQ(BuildCommand(code, state).length, 0) << int{code};
    }
}

TEST_F(FrameWriter, FramesGoOutByteByByteUnescapedWithAChecksumModulo256) {
    // 0x02 and 0x03 inside the payload are not escaped.
    controller.SendCommand(diseqcCommand(2));
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x14, 0x02, 0x18, 0x03}));

    // LEN 81 + code 34 + 80 * 255 = 20515 = 80 * 256 + 35, so CHK is 0x23.
    LcdDataBlock block{};
    for (std::size_t i = 20; i < 100; ++i) block[i] = 0xFF;
    port.written.clear();
    controller.SendCommand(lcdWriteCommand(34, block));
    ASSERT_EQ(port.written.size(), 85u);
    EXPECT_EQ(port.written[1], 0x51);
    EXPECT_EQ(port.written[83], 0x23);
    EXPECT_EQ(port.written[84], 0x03);

    // A code without a command builds nothing, which would go out as an empty frame.
    for (std::uint8_t code : {0, 5, 22, 23, 31, 32, 43, 255}) {
        port.written.clear();
        controller.SendCommand(plainCommand(code));
        EXPECT_EQ(port.written, (Bytes{0x02, 0x00, 0x00, 0x03})) << int{code};
    }

    // One byte at a time, and a byte the line loses is never repeated.
    port.written.clear();
    port.writes = 0;
    port.refuseWrite = 3;
    controller.SendCommand(targetChangeCommand(2));
    EXPECT_EQ(port.writes, 6);
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x02, 0x15, 0x03}));  // the code byte was lost
}
