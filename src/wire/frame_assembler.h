#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "wire/protocol.h"

// Finds frames in a byte stream, one byte at a time, so a frame may arrive in any number of
// pieces. Bytes before an STX are dropped one at a time, so a frame is found again after
// line noise. A complete frame with a wrong ETX or checksum is dropped whole and the search
// starts again with the byte after it; its bytes are not searched for an STX.
class FrameAssembler {
public:
    enum class Result { Pending, Frame, Dropped };

    // On Frame, frame() holds the complete frame (STX to ETX) until the next push.
    Result push(std::uint8_t byte);

    std::span<const std::uint8_t> frame() const {
        return std::span<const std::uint8_t>(m_Buffer).first(m_FrameSize);
    }
    // The payload of the frame just completed: code byte first.
    std::span<const std::uint8_t> payload() const {
        return m_FrameSize < kFrameOverhead ? std::span<const std::uint8_t>()
                                            : std::span<const std::uint8_t>(m_Buffer).subspan(
                                                  2, m_FrameSize - kFrameOverhead);
    }
    // Right after Dropped (and only then): the frame that was dropped, STX to its last byte.
    std::span<const std::uint8_t> rejected() const {
        return std::span<const std::uint8_t>(m_Buffer).first(m_RejectedSize);
    }
    // Bytes of a frame in progress; 0 while waiting for an STX.
    std::uint32_t pending() const { return m_Count; }

    void reset() {
        m_Count = 0;
        m_FrameSize = 0;
        m_RejectedSize = 0;
    }

private:
    std::array<std::uint8_t, kMaxFrameSize> m_Buffer{};
    std::uint32_t m_Count = 0;
    std::uint32_t m_Length = 0;
    std::size_t m_FrameSize = 0;
    std::size_t m_RejectedSize = 0;
};
