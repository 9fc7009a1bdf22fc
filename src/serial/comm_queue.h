#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// The receive ring between the watcher thread (the only producer) and the GUI thread (the only
// consumer). No lock: each side advances only its own index and publishes it with a release
// store, and reads the other side's index with an acquire load, so the bytes written before a
// tail is published are visible to whoever sees that tail. One slot always stays free, so a
// full ring (8191 bytes) can be told from an empty one by the indices alone.
class CommQueue {
public:
    static constexpr std::uint32_t kSize = 8192;

    // Bytes waiting to be read.
    std::uint32_t used() const;
    // kSize - used(); a chunk fits only if it is strictly smaller, which keeps the free slot.
    std::uint32_t freeSpace() const;

    // Producer: appends all n bytes and publishes them at once, or nothing at all when they
    // don't fit (a half chunk would split a frame with no trace of where the gap is).
    bool putChunk(const std::uint8_t* data, std::uint32_t n);

    // Consumer: takes the oldest byte; false when the ring is empty.
    bool get(std::uint8_t& byte);

    // Empties the ring. Only while no watcher runs: it moves both indices.
    void clear();

private:
    static constexpr std::uint32_t kMask = kSize - 1;
    static_assert((kSize & kMask) == 0, "the index arithmetic needs a power-of-two size");

    std::array<std::uint8_t, kSize> m_Buffer{};
    std::atomic<std::uint32_t> m_iTail{0};  // next write, advanced by the producer only
    std::atomic<std::uint32_t> m_iHead{0};  // next read, advanced by the consumer only
};
