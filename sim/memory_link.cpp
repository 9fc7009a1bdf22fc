#include "memory_link.h"

MemoryLink::MemoryLink(AcuSimulator& acu, CommQueue& queue)
    : m_Acu(acu), m_Queue(queue), m_Wire(acu.faults()) {
    m_Acu.setOutput([this](std::span<const std::uint8_t> bytes) {
        if (m_Closed || m_HungUp) return;
        // Handed over by flush() or by advance(), which stops at every moment the unit
        // speaks: the reader may answer at once, and must not reach into the unit while it
        // is still busy saying this.
        m_Wire.enqueue(bytes, m_Acu.now());
    });
}

MemoryLink::~MemoryLink() {
    m_Acu.setOutput(nullptr);
}

int MemoryLink::WriteByte(std::uint8_t byte) {
    if (m_Closed || m_HungUp) return 0;
    m_Acu.receive(std::span<const std::uint8_t>(&byte, 1));
    // A unit set to hang up after this frame goes before its answer leaves. The answer
    // itself waits for flush() or advance(), as a reply on a real line comes after the
    // sender has gone on (and started its timer).
    checkHangup();
    return 1;
}

void MemoryLink::flush() {
    deliver();
}

void MemoryLink::ClosePort() {
    m_Closed = true;
    m_Wire.clear();
}

void MemoryLink::advance(std::chrono::microseconds elapsed) {
    // Step from one due moment to the next, so each piece lands in the queue at its own time
    // and the program's reader can run between them.
    const std::chrono::microseconds target = m_Acu.now() + elapsed;
    deliver();
    while (!m_HungUp && m_Acu.now() < target) {
        std::chrono::microseconds next = target;
        const auto consider = [&](std::optional<std::chrono::microseconds> due) {
            if (due && *due > m_Acu.now() && *due < next) next = *due;
        };
        consider(m_Wire.nextDue());
        consider(m_Acu.nextScheduled());
        consider(m_Acu.faults().hangupAfter);
        m_Acu.advance(next - m_Acu.now());
        checkHangup();
        deliver();
    }
    if (m_Acu.now() < target) m_Acu.advance(target - m_Acu.now());
}

void MemoryLink::hangUp() {
    if (m_HungUp) return;
    m_HungUp = true;
    m_Wire.clear();
    if (m_OnHangup) m_OnHangup();
}

void MemoryLink::checkHangup() {
    if (m_Acu.faults().hangupDue(m_Acu.framesReceived(), m_Acu.now())) hangUp();
}

void MemoryLink::deliver() {
    // The reader called from here may send the next command at once; the loop below takes
    // its answer too, in order, instead of a second delivery starting inside the first.
    if (m_HungUp || m_Closed || m_Delivering) return;
    m_Delivering = true;
    m_Wire.release(m_Acu.now(), [this](std::span<const std::uint8_t> piece) -> std::size_t {
        if (!m_Queue.putChunk(piece.data(), static_cast<std::uint32_t>(piece.size()))) return 0;
        if (m_OnData) m_OnData();
        return piece.size();
    });
    m_Delivering = false;
}
