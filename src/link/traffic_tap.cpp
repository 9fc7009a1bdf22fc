#include "link/traffic_tap.h"

void TrafficTap::emit(TrafficKind kind, std::span<const std::uint8_t> bytes) {
    m_Observer->onTraffic(kind, bytes, TrafficObserver::Clock::now());
}

void TrafficTap::linkOpened() {
    m_DiscardedCount = 0;
    emit(TrafficKind::LinkOpened, {});
}

void TrafficTap::sent(std::span<const std::uint8_t> frame) {
    emit(TrafficKind::Sent, frame);
}

void TrafficTap::received(FrameAssembler::Result result, std::uint8_t byte,
                          const FrameAssembler& assembler) {
    // Pending with nothing held means the byte was not an STX and went nowhere.
    if (result == FrameAssembler::Result::Pending && assembler.pending() == 0) {
        m_Discarded[m_DiscardedCount++] = byte;
        if (m_DiscardedCount == m_Discarded.size()) flush();
        return;
    }
    flush();
    if (result == FrameAssembler::Result::Frame) {
        emit(TrafficKind::Received, assembler.frame());
    } else if (result == FrameAssembler::Result::Dropped) {
        emit(TrafficKind::Rejected, assembler.rejected());
    }
}

void TrafficTap::flush() {
    if (m_DiscardedCount == 0) return;
    const std::size_t count = m_DiscardedCount;
    m_DiscardedCount = 0;
    emit(TrafficKind::Discarded, std::span<const std::uint8_t>(m_Discarded).first(count));
}
