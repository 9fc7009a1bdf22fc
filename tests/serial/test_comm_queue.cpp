#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "serial/comm_queue.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// first, first + 1, ... wrapping at 256: every byte says where it belongs.
Bytes counting(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

bool put(CommQueue& queue, const Bytes& bytes) {
    return queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Bytes takeAll(CommQueue& queue) {
    Bytes bytes;
    std::uint8_t byte = 0;
    while (queue.get(byte)) bytes.push_back(byte);
    return bytes;
}

}  // namespace

TEST(CommQueue, StartsEmptyWithEverySlotFree) {
    CommQueue queue;
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(queue.freeSpace(), 8192u);
    std::uint8_t byte = 0x55;
    EXPECT_FALSE(queue.get(byte));
    EXPECT_EQ(byte, 0x55);
}

TEST(CommQueue, CountsUsedAndFreeAcrossTheWrap) {
    CommQueue queue;
    ASSERT_TRUE(put(queue, {0xA1, 0xA2, 0xA3}));
    EXPECT_EQ(queue.used(), 3u);
    EXPECT_EQ(queue.freeSpace(), 8189u);
    EXPECT_EQ(takeAll(queue), (Bytes{0xA1, 0xA2, 0xA3}));

    // Both indices now sit at 3; 8000 more bring them to 8003, 189 short of the end.
    ASSERT_TRUE(put(queue, counting(8000)));
    EXPECT_EQ(takeAll(queue).size(), 8000u);
    EXPECT_EQ(queue.used(), 0u);

    // 500 bytes from index 8003: 189 at the end of the array, 311 from its start.
    const Bytes wrapped = counting(500, 0x40);
    ASSERT_TRUE(put(queue, wrapped));
    EXPECT_EQ(queue.used(), 500u);
    EXPECT_EQ(queue.freeSpace(), 7692u);

    std::uint8_t byte = 0;
    ASSERT_TRUE(queue.get(byte));
    EXPECT_EQ(byte, 0x40);
    EXPECT_EQ(queue.used(), 499u);
    const Bytes rest = takeAll(queue);
    ASSERT_EQ(rest.size(), 499u);
    EXPECT_EQ(rest[0], 0x41);
    EXPECT_EQ(rest[187], 0xFC);  // the last byte before the wrap
    EXPECT_EQ(rest[188], 0xFD);  // the first one after it
    EXPECT_EQ(rest[498], 0x33);  // 0x40 + 499, modulo 256
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(queue.freeSpace(), 8192u);
}

TEST(CommQueue, RefusesAWholeChunkThatDoesNotFit) {
    CommQueue queue;
    ASSERT_TRUE(put(queue, counting(8000)));
    EXPECT_EQ(queue.freeSpace(), 192u);

    EXPECT_FALSE(put(queue, Bytes(200, 0xEE)));
    EXPECT_EQ(queue.used(), 8000u);
    // 192 would leave no free slot, and a full ring would look empty.
    EXPECT_FALSE(put(queue, Bytes(192, 0xEE)));
    EXPECT_EQ(queue.used(), 8000u);

    // Nothing of the refused chunks slipped in.
    EXPECT_EQ(takeAll(queue), counting(8000));
}

TEST(CommQueue, HoldsAtMost8191Bytes) {
    CommQueue queue;
    ASSERT_TRUE(put(queue, counting(8000)));
    EXPECT_TRUE(put(queue, Bytes(191, 0xEE)));
    EXPECT_EQ(queue.used(), 8191u);
    EXPECT_EQ(queue.freeSpace(), 1u);

    EXPECT_FALSE(put(queue, {0x77}));
    EXPECT_EQ(queue.used(), 8191u);

    const Bytes all = takeAll(queue);
    ASSERT_EQ(all.size(), 8191u);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 8000), counting(8000));
    EXPECT_EQ(Bytes(all.begin() + 8000, all.end()), Bytes(191, 0xEE));
}

TEST(CommQueue, ClearEmptiesTheRing) {
    CommQueue queue;
    ASSERT_TRUE(put(queue, counting(5000)));
    queue.clear();
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(queue.freeSpace(), 8192u);
    std::uint8_t byte = 0;
    EXPECT_FALSE(queue.get(byte));
    ASSERT_TRUE(put(queue, {0x01, 0x02}));
    EXPECT_EQ(takeAll(queue), (Bytes{0x01, 0x02}));
}

TEST(CommQueue, CarriesAMillionBytesInOrderFromOneThreadToAnother) {
    constexpr std::uint32_t kTotal = 1'000'000;
    // 251 is prime, so the pattern never lines up with the ring's size or a chunk's.
    const auto expectedAt = [](std::uint32_t i) { return static_cast<std::uint8_t>(i % 251); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{60};
    CommQueue queue;

    std::thread producer([&] {
        std::vector<std::uint8_t> chunk;
        std::uint32_t sent = 0;
        std::uint32_t chunkSize = 1;
        while (sent < kTotal && std::chrono::steady_clock::now() < deadline) {
            const std::uint32_t n = std::min(chunkSize, kTotal - sent);
            chunk.resize(n);
            for (std::uint32_t i = 0; i < n; ++i) chunk[i] = expectedAt(sent + i);
            if (queue.putChunk(chunk.data(), n)) {
                sent += n;
                chunkSize = chunkSize % 700 + 1;
            } else {
                std::this_thread::yield();
            }
        }
    });

    std::uint32_t received = 0;
    std::uint32_t mismatches = 0;
    std::uint32_t firstMismatch = kTotal;
    while (received < kTotal && std::chrono::steady_clock::now() < deadline) {
        std::uint8_t byte = 0;
        if (!queue.get(byte)) {
            std::this_thread::yield();
            continue;
        }
        if (byte != expectedAt(received)) {
            if (mismatches++ == 0) firstMismatch = received;
        }
        ++received;
    }
    producer.join();

    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(mismatches, 0u) << "first wrong byte at " << firstMismatch;
    EXPECT_EQ(queue.used(), 0u);
}
