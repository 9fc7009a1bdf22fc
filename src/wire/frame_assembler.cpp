#include "wire/frame_assembler.h"

#include "wire/frame.h"

FrameAssembler::Result FrameAssembler::push(std::uint8_t byte) {
    m_FrameSize = 0;
    m_Buffer[m_Count++] = byte;
    if (m_Count == 1) {
        if (byte != kStx) m_Count = 0;
        return Result::Pending;
    }
    if (m_Count == 2) m_Length = byte;
    if (m_Count < m_Length + kFrameOverhead) return Result::Pending;

    // LEN is one byte, so a frame is complete at 259 bytes at the latest and m_Count never
    // runs past the buffer.
    const std::size_t size = m_Count;
    m_Count = 0;
    const auto payload = std::span<const std::uint8_t>(m_Buffer).subspan(2, m_Length);
    if (m_Buffer[0] != kStx || m_Buffer[size - 1] != kEtx ||
        frameChecksum(payload) != m_Buffer[size - 2]) {
        m_RejectedSize = size;
        return Result::Dropped;
    }
    m_FrameSize = size;
    return Result::Frame;
}
