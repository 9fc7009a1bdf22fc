#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/traffic.h"
#include "wire/frame_assembler.h"

// Where the controller shows its traffic to an observer. Every call is made only while an
// observer is attached (the controller tests active() first), so a link without a monitor
// pays for one pointer test per byte and nothing else.
class TrafficTap {
public:
    void attach(TrafficObserver* observer) { m_Observer = observer; }
    bool active() const { return m_Observer != nullptr; }

    // device names the port in the marker (the trace's "Link opened on ...").
    void linkOpened(std::string_view device);
    void sent(std::span<const std::uint8_t> frame);
    // After each received byte went through the assembler: sound frames, rejected frames
    // and the bytes dropped before an STX. Runs of dropped bytes are reported as one event.
    void received(FrameAssembler::Result result, std::uint8_t byte,
                  const FrameAssembler& assembler) {
        // Most bytes only extend the frame in progress: nothing to show for them yet.
        if (result == FrameAssembler::Result::Pending && assembler.pending() != 0) return;
        receivedEvent(result, byte, assembler);
    }
    // Reports the dropped bytes collected so far (at the end of each delivery).
    void flush();

private:
    void receivedEvent(FrameAssembler::Result result, std::uint8_t byte,
                       const FrameAssembler& assembler);
    void report(TrafficKind kind, std::span<const std::uint8_t> bytes);

    TrafficObserver* m_Observer = nullptr;
    std::array<std::uint8_t, 64> m_Discarded{};
    std::size_t m_DiscardedCount = 0;
};
