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

TrafficRing::TrafficRing(std::size_t capacity) : m_Capacity(std::max<std::size_t>(capacity, 1)) {
    // Only address space: the pages are touched as the ring fills.
    m_Slots.reserve(m_Capacity);
}

TrafficEntry& TrafficRing::append() {
    if (m_Slots.size() < m_Capacity) m_Slots.emplace_back();
    TrafficEntry& slot = m_Slots[m_End % m_Capacity];
    ++m_End;
    if (m_End - m_First > m_Capacity) {
        ++m_First;
        ++m_Dropped;
    }
    return slot;
}

void TrafficRing::push(const TrafficEntry& entry) {
    append() = entry;
}

void TrafficRing::clear() {
    m_First = m_End;
}

const TrafficEntry* TrafficRing::find(std::uint64_t sequence) const {
    if (sequence < m_First || sequence >= m_End) return nullptr;
    return &m_Slots[sequence % m_Capacity];
}

void TrafficRecorder::onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                                Clock::time_point at) {
    if (kind == TrafficKind::LinkOpened || !m_HasOrigin) {
        m_Origin = at;
        m_HasOrigin = true;
    }
    // Filled in place: the link pays for one copy of the frame, not for a temporary.
    TrafficEntry& entry = m_Ring.append();
    entry.at = std::chrono::duration_cast<std::chrono::microseconds>(at - m_Origin);
    entry.kind = kind;
    entry.size = static_cast<std::uint16_t>(std::min(bytes.size(), entry.data.size()));
    std::copy_n(bytes.begin(), entry.size, entry.data.begin());
    if (m_Trace != nullptr) m_Trace->write(entry);
}
