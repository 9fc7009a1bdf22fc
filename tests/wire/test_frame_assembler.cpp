#include <gtest/gtest.h>

#include "support/bytes.h"
#include "wire/frame_assembler.h"

TEST(FrameAssembler, FindsTheGoodFramesAndDropsBadOnesWhole) {
    // LEN 255 with 0x02 and 0x03 inside: nothing is escaped. Sum: 255 + 255 * 2 = 765 -> 0xFD.
    const Bytes longest = concat({{0x02, 0xFF}, Bytes(255, 0x02), {0xFD, 0x03}});
    const struct {
        const char* what;
        Bytes bytes;
        std::vector<Bytes> payloads;
        int dropped;
    } cases[] = {
        {"garbage before an STX",
         {0x00, 0xFF, 0x03, 0x55, 0x02, 0x02, 0x19, 0x00, 0x1B, 0x03},
         {{0x19, 0x00}},
         0},
        {"checksum one off, then a good frame",
         {0x02, 0x01, 0x19, 0x1B, 0x03, 0x02, 0x01, 0x19, 0x1A, 0x03},
         {{0x19}},
         1},
        {"wrong ETX: the STX hidden inside is not searched for",
         {0x02, 0x02, 0x02, 0x02, 0x06, 0x04, 0x01, 0x19, 0x1A, 0x03},
         {},
         1},
        {"the longest", longest, {Bytes(255, 0x02)}, 0},
        {"zero length", {0x02, 0x00, 0x00, 0x03}, {{}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FrameAssembler assembler;
        std::vector<Bytes> payloads;
        int dropped = 0;
        for (std::uint8_t byte : c.bytes) {
            const FrameAssembler::Result result = assembler.push(byte);
            if (result == FrameAssembler::Result::Frame)
                payloads.push_back(bytesOf(assembler.payload()));
            if (result == FrameAssembler::Result::Dropped) ++dropped;
        }
        EXPECT_EQ(payloads, c.payloads);
        EXPECT_EQ(dropped, c.dropped);
        EXPECT_EQ(assembler.pending(), 0u);
    }
}
