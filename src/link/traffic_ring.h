#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "link/traffic.h"

// The monitor keeps this many events; older ones make room and are counted.
inline constexpr std::size_t kTrafficRingCapacity = 20000;

// A bounded ring of events, addressed by sequence number (0 for the first event ever kept),
// so a reader can ask for what is new since it last looked and learn what was pushed out.
// The bytes of the events are packed one after another rather than kept in slots of the
// largest frame's size: a push then writes a few dozen bytes instead of touching a fresh
// 272-byte slot, which matters because it runs inside the link's calls.
class TrafficRing {
public:
    explicit TrafficRing(std::size_t capacity = kTrafficRingCapacity);

    // Keeps one event (at most kMaxFrameSize of its bytes); the oldest makes room.
    void push(std::chrono::microseconds at, TrafficKind kind, std::span<const std::uint8_t> bytes);
    void push(const TrafficEntry& entry) { push(entry.at, entry.kind, entry.bytes()); }
    // Forgets every kept event; sequence numbers go on from where they were.
    void clear();

    std::size_t capacity() const { return m_Capacity; }
    std::size_t size() const { return static_cast<std::size_t>(m_End - m_First); }
    std::uint64_t firstSequence() const { return m_First; }
    std::uint64_t endSequence() const { return m_End; }
    // Events pushed out by newer ones (not those forgotten by clear()).
    std::uint64_t dropped() const { return m_Dropped; }
    // The event with this sequence number, or nullptr when it is no longer (or not yet) kept.
    // The event is a copy held by the ring: valid until the next find.
    const TrafficEntry* find(std::uint64_t sequence) const;

private:
    struct Slot {
        std::chrono::microseconds at{0};
        std::uint32_t offset = 0;  // of the bytes in m_Bytes
        std::uint16_t size = 0;
        TrafficKind kind = TrafficKind::Sent;
    };

    std::size_t m_Capacity;
    std::vector<Slot> m_Slots;  // grows to the capacity, then is reused
    // Room for the bytes of capacity largest frames plus the end left unused before a wrap,
    // so the newest capacity events never overlap. Allocated uninitialised: only the pages
    // written are ever touched.
    std::unique_ptr<std::uint8_t[]> m_Bytes;
    std::size_t m_BytesSize;
    std::size_t m_BytesEnd = 0;  // where the next event's bytes go
    std::uint64_t m_First = 0;
    std::uint64_t m_End = 0;
    std::uint64_t m_Dropped = 0;
    mutable TrafficEntry m_Found;
};

class TraceFile;

// The observer the program attaches: times every event from the last link opening, keeps it
// in the ring and, when a trace file is open, hands it on to the file.
class TrafficRecorder : public TrafficObserver {
public:
    explicit TrafficRecorder(std::size_t capacity = kTrafficRingCapacity) : m_Ring(capacity) {}

    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point at) override;

    void setTrace(TraceFile* trace) { m_Trace = trace; }
    TrafficRing& ring() { return m_Ring; }
    const TrafficRing& ring() const { return m_Ring; }

private:
    TrafficRing m_Ring;
    TraceFile* m_Trace = nullptr;
    Clock::time_point m_Origin{};
    bool m_HasOrigin = false;
};
