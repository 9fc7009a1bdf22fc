#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <span>

#include "wire/protocol.h"

// What crossed the serial line, as the controller saw it. The controller hands every event
// to an optional observer; without one it does no more than test a pointer.

enum class TrafficKind : std::uint8_t {
    LinkOpened,  // a port was opened: times count from here
    Sent,        // a command frame written to the port
    Received,    // a sound reply frame, before it is acted on
    Discarded,   // bytes before an STX, dropped by the frame assembly
    Rejected,    // a complete frame with a wrong checksum or end byte
};

class TrafficObserver {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~TrafficObserver() = default;
    // bytes is only valid during the call.
    virtual void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                           Clock::time_point at) = 0;
};

// One event as the monitor keeps it: the bytes inline, so keeping an event allocates nothing.
struct TrafficEntry {
    std::chrono::microseconds at{0};  // since the link opened
    TrafficKind kind = TrafficKind::Sent;
    std::uint16_t size = 0;
    std::array<std::uint8_t, kMaxFrameSize> data{};

    std::span<const std::uint8_t> bytes() const { return {data.data(), size}; }
    // The frame's code, or -1 for discarded bytes and the link marker.
    int code() const;
    // True for what came from the ACU.
    bool fromAcu() const { return kind != TrafficKind::Sent && kind != TrafficKind::LinkOpened; }
};

TrafficEntry makeTrafficEntry(std::chrono::microseconds at, TrafficKind kind,
                              std::span<const std::uint8_t> bytes);
