#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

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

TEST(CommQueue, CarriesALongStreamInOrderFromOneThreadToAnother) {
    // Every chunk size from 1 to 700 goes in at least once, and the ring wraps some 50 times.
    constexpr std::uint32_t kTotal = 400'000;
    // 251 is prime, so the pattern never lines up with the ring's size or a chunk's.
    const auto byteAt = [](std::uint32_t i) { return static_cast<std::uint8_t>(i % 251); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{60};
    const auto inTime = [&] { return std::chrono::steady_clock::now() < deadline; };
    CommQueue queue;
    std::thread producer([&] {
        Bytes chunk;
        for (std::uint32_t sent = 0, size = 1; sent < kTotal && inTime();) {
            chunk.resize(std::min(size, kTotal - sent));
            for (std::uint32_t i = 0; i < chunk.size(); ++i) chunk[i] = byteAt(sent + i);
            if (put(queue, chunk)) {
                sent += static_cast<std::uint32_t>(chunk.size());
                size = size % 700 + 1;
            }
        }
    });
    std::uint32_t received = 0;
    std::uint32_t firstWrong = kTotal;
    for (std::uint8_t byte = 0; received < kTotal && inTime();) {
        if (!queue.get(byte)) continue;
        if (byte != byteAt(received) && firstWrong == kTotal) firstWrong = received;
        ++received;
    }
    producer.join();
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(firstWrong, kTotal) << "first wrong byte at " << firstWrong;
    EXPECT_EQ(queue.used(), 0u);
}

}  // namespace
