#include "link/traffic_ring.h"

#include <algorithm>

#include "link/trace_file.h"

int TrafficEntry::code() const {
    if (kind == TrafficKind::LinkOpened || kind == TrafficKind::Discarded || size < 3) return -1;
    return data[2];
}

TrafficEntry makeTrafficEntry(std::chrono::microseconds at, TrafficKind kind,
                              std::span<const std::uint8_t> bytes) {
    TrafficEntry entry;
    entry.at = at;
    entry.kind = kind;
    entry.size = static_cast<std::uint16_t>(std::min(bytes.size(), entry.data.size()));
    std::copy_n(bytes.begin(), entry.size, entry.data.begin());
    return entry;
}

TrafficRing::TrafficRing(std::size_t capacity)
    : m_Capacity(std::max<std::size_t>(capacity, 1)),
      m_Bytes(std::make_unique_for_overwrite<std::uint8_t[]>((m_Capacity + 1) * kMaxFrameSize)),
      m_BytesSize((m_Capacity + 1) * kMaxFrameSize) {
    // Only address space: the pages are touched as the ring fills.
    m_Slots.reserve(m_Capacity);
}

void TrafficRing::push(std::chrono::microseconds at, TrafficKind kind,
                       std::span<const std::uint8_t> bytes) {
    const std::size_t size = std::min(bytes.size(), kMaxFrameSize);
    // An event's bytes are never split: one that does not fit before the end starts over at
    // the beginning. The newest capacity events then span less than m_BytesSize.
    if (m_BytesEnd + size > m_BytesSize) m_BytesEnd = 0;
    std::copy_n(bytes.begin(), size, m_Bytes.get() + m_BytesEnd);
    const Slot slot{at, static_cast<std::uint32_t>(m_BytesEnd), static_cast<std::uint16_t>(size),
                    kind};
    m_BytesEnd += size;
    if (m_Slots.size() < m_Capacity) {
        m_Slots.push_back(slot);
    } else {
        m_Slots[m_End % m_Capacity] = slot;
    }
    ++m_End;
    if (m_End - m_First > m_Capacity) {
        ++m_First;
        ++m_Dropped;
    }
}

void TrafficRing::clear() {
    m_First = m_End;
}

const TrafficEntry* TrafficRing::find(std::uint64_t sequence) const {
    if (sequence < m_First || sequence >= m_End) return nullptr;
    const Slot& slot = m_Slots[sequence % m_Capacity];
    m_Found.at = slot.at;
    m_Found.kind = slot.kind;
    m_Found.size = slot.size;
    std::copy_n(m_Bytes.get() + slot.offset, slot.size, m_Found.data.begin());
    return &m_Found;
}

void TrafficRecorder::onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                                Clock::time_point at) {
    if (kind == TrafficKind::LinkOpened || !m_HasOrigin) {
        m_Origin = at;
        m_HasOrigin = true;
    }
    const auto since = std::chrono::duration_cast<std::chrono::microseconds>(at - m_Origin);
    m_Ring.push(since, kind, bytes);
    if (m_Trace != nullptr) m_Trace->write(makeTrafficEntry(since, kind, bytes));
}
