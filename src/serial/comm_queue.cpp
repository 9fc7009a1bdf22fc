#include "serial/comm_queue.h"

#include <algorithm>
#include <cstring>

std::uint32_t CommQueue::used() const {
    const std::uint32_t tail = m_iTail.load(std::memory_order_acquire);
    const std::uint32_t head = m_iHead.load(std::memory_order_acquire);
    return (tail - head) & kMask;
}

std::uint32_t CommQueue::freeSpace() const {
    return kSize - used();
}

bool CommQueue::putChunk(const std::uint8_t* data, std::uint32_t n) {
    if (freeSpace() <= n) return false;

    const std::uint32_t tail = m_iTail.load(std::memory_order_acquire);
    const std::uint32_t firstPart = std::min(n, kSize - tail);
    std::memcpy(m_Buffer.data() + tail, data, firstPart);
    std::memcpy(m_Buffer.data(), data + firstPart, n - firstPart);
    // One store for the whole chunk: the consumer never sees part of it.
    m_iTail.store((tail + n) & kMask, std::memory_order_release);
    return true;
}

bool CommQueue::get(std::uint8_t& byte) {
    const std::uint32_t head = m_iHead.load(std::memory_order_acquire);
    if (head == m_iTail.load(std::memory_order_acquire)) return false;

    byte = m_Buffer[head];
    // Released only after the byte is copied out, so the producer can't overwrite it early.
    m_iHead.store((head + 1) & kMask, std::memory_order_release);
    return true;
}

void CommQueue::clear() {
    m_Buffer.fill(0);
    m_iTail.store(0, std::memory_order_release);
    m_iHead.store(0, std::memory_order_release);
}
