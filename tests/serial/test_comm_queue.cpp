#include <gtest/gtest.h>

#include "serial/comm_queue.h"
#include "support/bytes.h"

namespace {

bool put(CommQueue& queue, const Bytes& bytes) {
    return queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Bytes takeAll(CommQueue& queue) {
    Bytes bytes;
    std::uint8_t byte = 0;
    while (queue.get(byte)) bytes.push_back(byte);
    return bytes;
}

TEST(CommQueue, TakesWholeChunksAcrossTheWrapHoldsAtMost8191BytesAndClears) {
    CommQueue queue;
    std::uint8_t byte = 0x55;
    EXPECT_FALSE(queue.get(byte));
    EXPECT_EQ(byte, 0x55);
    ASSERT_TRUE(put(queue, counting(8003)));  // leaves both indices 189 short of the end
    EXPECT_EQ(takeAll(queue), counting(8003));
    ASSERT_TRUE(put(queue, counting(500, 0x40)));  // 189 at the end, 311 from the start
    EXPECT_EQ(queue.used(), 500u);
    EXPECT_EQ(queue.freeSpace(), 7692u);
    EXPECT_EQ(takeAll(queue), counting(500, 0x40));

    ASSERT_TRUE(put(queue, counting(8000)));
    // 192 would leave no free slot, and a full ring would look empty.
    EXPECT_FALSE(put(queue, Bytes(192, 0xEE)));
    EXPECT_EQ(queue.used(), 8000u);
    EXPECT_TRUE(put(queue, Bytes(191, 0xEE)));
    EXPECT_EQ(queue.freeSpace(), 1u);
    EXPECT_FALSE(put(queue, {0x77}));
    EXPECT_EQ(takeAll(queue), concat({counting(8000), Bytes(191, 0xEE)}));

    ASSERT_TRUE(put(queue, counting(5000)));
    queue.clear();
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_FALSE(queue.get(byte));
}

}  // namespace
