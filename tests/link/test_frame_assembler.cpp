#include <gtest/gtest.h>

#include "link/frame_assembler.h"
#include "support/bytes.h"

namespace {

// Feeds bytes and collects the payloads of the frames found, and how many were dropped.
struct Feed {
    FrameAssembler assembler;
    std::vector<Bytes> payloads;
    int dropped = 0;

    void operator()(const Bytes& bytes) {
        for (std::uint8_t byte : bytes) {
            switch (assembler.push(byte)) {
                case FrameAssembler::Result::Frame:
                    payloads.push_back(bytesOf(assembler.payload()));
                    break;
                case FrameAssembler::Result::Dropped:
                    ++dropped;
                    break;
                case FrameAssembler::Result::Pending:
                    break;
            }
        }
    }
};

}  // namespace

TEST(FrameAssembler, AssemblesAFrameSplitAcrossDeliveries) {
    Feed feed;
    feed({0x02, 0x01, 0x19});
    EXPECT_TRUE(feed.payloads.empty());
    EXPECT_EQ(feed.assembler.pending(), 3u);
    feed({0x1A, 0x03});
    ASSERT_EQ(feed.payloads.size(), 1u);
    EXPECT_EQ(feed.payloads[0], (Bytes{0x19}));
    EXPECT_EQ(bytesOf(feed.assembler.frame()), (Bytes{0x02, 0x01, 0x19, 0x1A, 0x03}));
    EXPECT_EQ(feed.assembler.pending(), 0u);
}

TEST(FrameAssembler, SkipsGarbageBeforeAnStx) {
    Feed feed;
    feed({0x00, 0xFF, 0x03, 0x55, 0x02, 0x02, 0x19, 0x00, 0x1B, 0x03});
    ASSERT_EQ(feed.payloads.size(), 1u);
    EXPECT_EQ(feed.payloads[0], (Bytes{0x19, 0x00}));
    EXPECT_EQ(feed.dropped, 0);
}

TEST(FrameAssembler, DropsABadFrameWholeAndTakesTheNextByteAsAPossibleStx) {
    Feed feed;
    // Checksum one off: dropped; the good frame right behind it is found.
    feed({0x02, 0x01, 0x19, 0x1B, 0x03, 0x02, 0x01, 0x19, 0x1A, 0x03});
    EXPECT_EQ(feed.dropped, 1);
    ASSERT_EQ(feed.payloads.size(), 1u);

    // Wrong ETX: dropped, and the STX hidden inside it is not searched for.
    Feed etx;
    etx({0x02, 0x02, 0x02, 0x02, 0x06, 0x04, 0x01, 0x19, 0x1A, 0x03});
    EXPECT_EQ(etx.dropped, 1);
    EXPECT_TRUE(etx.payloads.empty());
}

TEST(FrameAssembler, FindsBackToBackFramesAndTheLongestOne) {
    Feed feed;
    feed({0x02, 0x01, 0x0E, 0x0F, 0x03, 0x02, 0x01, 0x0F, 0x10, 0x03});
    ASSERT_EQ(feed.payloads.size(), 2u);
    EXPECT_EQ(feed.payloads[1], (Bytes{0x0F}));

    // LEN 255 with 0x02 and 0x03 inside: nothing is escaped. Sum: 255 + 255 * 2 = 765 -> 0xFD.
    Bytes longest{0x02, 0xFF};
    longest.insert(longest.end(), 255, 0x02);
    longest.push_back(0xFD);
    longest.push_back(0x03);
    feed(longest);
    ASSERT_EQ(feed.payloads.size(), 3u);
    EXPECT_EQ(feed.payloads[2].size(), 255u);

    // A zero-length frame is a frame too.
    feed({0x02, 0x00, 0x00, 0x03});
    ASSERT_EQ(feed.payloads.size(), 4u);
    EXPECT_TRUE(feed.payloads[3].empty());
}
