#pragma once

#include <cstdint>
#include <vector>

#include "link/traffic.h"

// The monitor keeps this many events; older ones make room and are counted.
inline constexpr std::size_t kTrafficRingCapacity = 20000;

// A bounded ring of events, addressed by sequence number (0 for the first event ever kept),
// so a reader can ask for what is new since it last looked and learn what was pushed out.
class TrafficRing {
public:
    explicit TrafficRing(std::size_t capacity = kTrafficRingCapacity);

    void push(const TrafficEntry& entry);
    // Makes room for the next event and returns its slot to be filled in place.
    TrafficEntry& append();
    // Forgets every kept event; sequence numbers go on from where they were.
    void clear();

    std::size_t capacity() const { return m_Capacity; }
    std::size_t size() const { return static_cast<std::size_t>(m_End - m_First); }
    std::uint64_t firstSequence() const { return m_First; }
    std::uint64_t endSequence() const { return m_End; }
    // Events pushed out by newer ones (not those forgotten by clear()).
    std::uint64_t dropped() const { return m_Dropped; }
    // The event with this sequence number, or nullptr when it is no longer (or not yet) kept.
    const TrafficEntry* find(std::uint64_t sequence) const;

private:
    std::size_t m_Capacity;
    std::vector<TrafficEntry> m_Slots;  // grows to the capacity, then is reused
    std::uint64_t m_First = 0;
    std::uint64_t m_End = 0;
    std::uint64_t m_Dropped = 0;
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
