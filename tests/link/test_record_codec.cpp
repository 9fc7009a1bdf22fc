#include <gtest/gtest.h>

#include "data/fixed_text.h"
#include "link/record_codec.h"
#include "support/bytes.h"
#include "support/records.h"

TEST(RecordCodec, SatelliteRecordIs41BytesInTableOrder) {
    std::uint8_t buffer[64]{};
    PayloadWriter out(buffer);
    writeSatelliteRecord(out, hotbird());
    const Bytes expected = concat({
        {0x05},
        ascii("HOTBIRD   "),
        {0x00, 0x82, 'E'},
        {0x2B, 0x1A, 0x6B, 0x6C, 0x01, 0x3E},  // V low: 11034 MHz, 27500 kS/s, NID 318
        {0x31, 0x35, 0x6B, 0x6C, 0x01, 0x3E},  // V high: 12597
        {0x2A, 0xDB, 0x74, 0x04, 0x01, 0x3E},  // H low: 10971, 29700
        {0x30, 0xBC, 0x74, 0xCC, 0x01, 0x3E},  // H high: 12476, 29900
        {0x01, 0x00, 0x02},
    });
    EXPECT_EQ(Bytes(buffer, buffer + out.size()), expected);
    ASSERT_EQ(expected.size(), kSatelliteRecordBytes);

    PayloadReader in(expected);
    EXPECT_EQ(readSatelliteRecord(in), hotbird());
    EXPECT_FALSE(in.exhausted());
}

TEST(RecordCodec, RegionBodyCarriesNameListAndTheFixedTail) {
    std::uint8_t buffer[128]{};
    PayloadWriter out(buffer);
    writeRegionBody(out, europeWest());
    const Bytes expected = concat({
        ascii("EUROPE-WEST "),
        {0x02, 0x01, 0x03, 0x07},
        europeWestTail(),
    });
    EXPECT_EQ(Bytes(buffer, buffer + out.size()), expected);

    PayloadReader in(expected);
    EXPECT_EQ(readRegionBody(in), europeWest());
    EXPECT_EQ(in.position(), expected.size());
}

TEST(RecordCodec, RegionCountAboveTheListIsAnnouncedAsTwenty) {
    RegionRecord region = europeWest();
    region.satelliteCount = 200;
    for (std::uint32_t k = 0; k < 20; ++k) region.satelliteList[k] = k + 1;
    std::uint8_t buffer[128]{};
    PayloadWriter out(buffer);
    writeRegionBody(out, region);
    EXPECT_EQ(out.size(), 12u + 2u + 20u + kRegionTailBytes);
    EXPECT_EQ(buffer[12], 20);
    EXPECT_EQ(buffer[33], 20);  // the last list entry, then the tail
    EXPECT_EQ(buffer[34], 0x01);
}
