#include <gtest/gtest.h>

#include "link/record_codec.h"
#include "support/records.h"

// The record layouts themselves are checked where they travel: written in the command
// builder's tests (commands 7, 8, 11, 12, 18), read in the identification's (replies 3, 4).

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
