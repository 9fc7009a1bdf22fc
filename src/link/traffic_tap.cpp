#include "link/traffic_tap.h"

#include <algorithm>

void TrafficTap::report(TrafficKind kind, std::span<const std::uint8_t> bytes) {
    m_Observer->onTraffic(kind, bytes, TrafficObserver::Clock::now());
}

void TrafficTap::linkOpened(std::string_view device) {
    m_DiscardedCount = 0;
    // The name travels as the marker's bytes, cut to what an event holds.
    const auto name = std::span(reinterpret_cast<const std::uint8_t*>(device.data()),
                                std::min(device.size(), kMaxFrameSize));
    report(TrafficKind::LinkOpened, name);
}

void TrafficTap::sent(std::span<const std::uint8_t> frame) {
    report(TrafficKind::Sent, frame);
}

void TrafficTap::receivedEvent(FrameAssembler::Result result, std::uint8_t byte,
                               const FrameAssembler& assembler) {
    // Pending with nothing held means the byte was not an STX and went nowhere.
    if (result == FrameAssembler::Result::Pending) {
        m_Discarded[m_DiscardedCount++] = byte;
        if (m_DiscardedCount == m_Discarded.size()) flush();
        return;
    }
    flush();
    if (result == FrameAssembler::Result::Frame) {
        report(TrafficKind::Received, assembler.frame());
    } else if (result == FrameAssembler::Result::Dropped) {
        report(TrafficKind::Rejected, assembler.rejected());
    }
}

void TrafficTap::flush() {
    if (m_DiscardedCount == 0) return;
    const std::size_t count = m_DiscardedCount;
    m_DiscardedCount = 0;
    report(TrafficKind::Discarded, std::span<const std::uint8_t>(m_Discarded).first(count));
}
