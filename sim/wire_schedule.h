#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "faults.h"

// When the bytes the unit sends reach the other end. Each unit of output (a frame, or a
// burst of garbage) is cut at the split points into pieces that are written separately, a
// gap apart; with pacing every byte takes its wire time, so a piece becomes readable a byte
// at a time and the next piece can't start before the previous one has left.
class WireSchedule {
public:
    // Takes bytes offered to the reader and returns how many it accepted; the rest is
    // offered again later.
    using Writer = std::function<std::size_t(std::span<const std::uint8_t>)>;

    explicit WireSchedule(const SimFaults& faults) : m_Faults(faults) {}

    void enqueue(std::span<const std::uint8_t> bytes, std::chrono::microseconds now);
    // Offers every piece, or the paced bytes of one, that is due by now, one write per piece,
    // until a write is refused.
    void release(std::chrono::microseconds now, const Writer& write);

    // When more bytes become due; nothing when the schedule is empty.
    std::optional<std::chrono::microseconds> nextDue() const;
    bool empty() const { return m_Pieces.empty(); }
    std::size_t pendingBytes() const;
    void clear() {
        m_Pieces.clear();
        ++m_Generation;
    }

private:
    struct Piece {
        std::chrono::microseconds due;  // when its first byte may go (unpaced: all of it)
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        bool paced = false;
    };

    // Bytes of the piece that have finished crossing the wire by now.
    static std::size_t arrived(const Piece& piece, std::chrono::microseconds now);

    const SimFaults& m_Faults;
    std::deque<Piece> m_Pieces;
    std::chrono::microseconds m_WireFreeAt{0};
    std::uint64_t m_Generation = 0;  // counts clear(), for a writer that clears
};
