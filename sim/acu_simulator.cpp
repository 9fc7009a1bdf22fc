#include "acu_simulator.h"

#include <algorithm>

#include "default_state.h"
#include "wire/frame.h"
#include "wire/protocol.h"

AcuSimulator::AcuSimulator() : AcuSimulator(Settings{}) {}

AcuSimulator::AcuSimulator(const Settings& settings)
    : m_Settings(settings),
      m_State(factoryDefaultState()),
      m_Factory(m_State),
      m_Motion(m_State, m_Settings.motion),
      m_Diagnosis(*this, m_Settings.diagnosis),
      m_FactoryReset(*this, m_Settings.factory, [this] { restoreFactoryDefaults(); }),
      m_Processor(m_State, m_Motion, m_Diagnosis, m_FactoryReset, *this) {
    m_Motion.settleOnTarget();
}

void AcuSimulator::receive(std::span<const std::uint8_t> bytes) {
    if (m_Faults.silent) return;
    for (std::uint8_t byte : bytes) {
        if (m_Assembler.push(byte) != FrameAssembler::Result::Frame) continue;
        ++m_FramesReceived;
        if (m_Observer) m_Observer(Direction::FromProgram, m_Assembler.frame());
        // The line goes with this frame: its answer would never be written, so it is not made,
        // and the log shows only what went on the line.
        if (m_Faults.hangupAfterFrames && m_FramesReceived >= *m_Faults.hangupAfterFrames) break;
        const auto payload = m_Assembler.payload();
        if (payload.empty() || m_Faults.takeIgnore(payload[0])) continue;
        if (m_Replay != nullptr) {
            std::vector<Replay::Output> outputs;
            const Replay::Verdict verdict = m_Replay->answer(m_Assembler.frame(), outputs);
            playRecorded(outputs, true);
            if (verdict != Replay::Verdict::Model) continue;
        }
        if (payload[0] == cmd::UploadStart) m_UploadSatellites = 0;
        if (payload[0] == cmd::UploadSatellite) ++m_UploadSatellites;
        if (m_Faults.misstoreSatellite || m_Faults.misstoreLcdByte) {
            std::vector<std::uint8_t> stored(payload.begin(), payload.end());
            misstore(stored);
            m_Processor.handle(stored, m_Now);
            continue;
        }
        m_Processor.handle(payload, m_Now);
    }
}

void AcuSimulator::misstore(std::span<std::uint8_t> payload) const {
    constexpr std::size_t kNameByte = 2;  // after the code and the satellite's number
    const std::uint8_t code = payload[0];
    if (code == cmd::UploadSatellite && m_Faults.misstoreSatellite == m_UploadSatellites &&
        payload.size() > kNameByte) {
        payload[kNameByte] += 1;
    }
    if (m_Faults.misstoreLcdByte && code >= cmd::LcdWriteFirst && code <= cmd::LcdWriteLast) {
        const LcdPiece& piece = kLcdPieces[code - cmd::LcdWriteFirst];
        const std::size_t at = *m_Faults.misstoreLcdByte;
        if (at >= piece.offset && at < piece.offset + piece.size &&
            1 + at - piece.offset < payload.size()) {
            payload[1 + at - piece.offset] += 1;
        }
    }
}

void AcuSimulator::advance(std::chrono::microseconds elapsed) {
    const std::chrono::microseconds target = m_Now + elapsed;
    while (m_Now < target) {
        const std::chrono::microseconds next = nextEvent(target);
        m_Motion.step(next - m_Now);
        m_Now = next;
        runDueEvents();
    }
}

std::optional<std::chrono::microseconds> AcuSimulator::nextScheduled() const {
    std::optional<std::chrono::microseconds> next;
    const auto take = [&next](std::optional<std::chrono::microseconds> due) {
        if (due && (!next || *due < *next)) next = due;
    };
    take(m_Diagnosis.nextDue());
    take(m_FactoryReset.nextDue());
    if (!m_Delayed.empty()) take(m_Delayed.front().due);
    return next;
}

std::chrono::microseconds AcuSimulator::nextEvent(std::chrono::microseconds limit) const {
    const auto tick = std::max(m_Settings.motionTick, std::chrono::microseconds{1});
    std::chrono::microseconds next = std::min(limit, m_Now + tick);
    if (const auto due = nextScheduled()) next = std::min(next, *due);
    return std::max(next, m_Now);
}

void AcuSimulator::runDueEvents() {
    // Replies held back go first: they were sent before anything that falls due now.
    while (!m_Delayed.empty() && m_Delayed.front().due <= m_Now) {
        const DelayedBytes delayed = std::move(m_Delayed.front());
        m_Delayed.pop_front();
        emitDelayed(delayed);
    }
    while (m_Diagnosis.nextDue() && *m_Diagnosis.nextDue() <= m_Now) m_Diagnosis.fire();
    while (m_FactoryReset.nextDue() && *m_FactoryReset.nextDue() <= m_Now) m_FactoryReset.fire();
}

void AcuSimulator::sendReply(const Payload& payload) {
    if (m_Faults.silent || payload.empty()) return;
    std::vector<std::uint8_t> frame(payload.size() + kFrameOverhead);
    if (encodeFrame(payload, frame) == 0) return;
    if (m_Faults.takeCorrupt(payload[0])) ++frame[frame.size() - 2];
    if (m_Observer) m_Observer(Direction::ToProgram, frame);

    if (m_Faults.garbage) emitBytes(m_Faults.garbageBytes);
    emitBytes(frame);
}

void AcuSimulator::emitBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (m_Faults.replyDelay.count() > 0) {
        hold({m_Now + m_Faults.replyDelay, {bytes.begin(), bytes.end()}});
        return;
    }
    if (m_Output) m_Output(bytes);
}

void AcuSimulator::announceDefaultData() {
    m_State.chain = ReceivedDefaults{};
    sendReply(acknowledgeReply(cmd::RegionCountAnnouncement));
}

void AcuSimulator::restoreFactoryDefaults() {
    // The hardware stays what it is: product data, the receiver's supply and the GPS fix are
    // measured, not configured.
    m_State.current = m_Factory.current;
    m_State.lcd = m_Factory.lcd;
    m_Motion.restart();
}

void AcuSimulator::setReplay(Replay* replay) {
    m_Replay = replay;
    // Held even when due at once: the transport may not be listening yet.
    if (m_Replay != nullptr) playRecorded(m_Replay->opening(), false);
}

void AcuSimulator::hold(DelayedBytes delayed) {
    const auto later = std::upper_bound(
        m_Delayed.begin(), m_Delayed.end(), delayed.due,
        [](std::chrono::microseconds due, const DelayedBytes& held) { return due < held.due; });
    m_Delayed.insert(later, std::move(delayed));
}

void AcuSimulator::playRecorded(const std::vector<Replay::Output>& outputs, bool sendNow) {
    // Each output is timed from the one before it, as the recording saw them; the faults
    // are not applied again, the recording already shows what the line did.
    std::chrono::microseconds due = m_Now;
    for (const Replay::Output& output : outputs) {
        due += output.delay;
        DelayedBytes delayed{due, output.bytes, output.kind != TrafficKind::Discarded};
        if (sendNow && due == m_Now && (m_Delayed.empty() || m_Delayed.front().due > m_Now)) {
            emitDelayed(delayed);
        } else {
            hold(std::move(delayed));
        }
    }
}

void AcuSimulator::emitDelayed(const DelayedBytes& delayed) {
    if (delayed.observed && m_Observer) m_Observer(Direction::ToProgram, delayed.bytes);
    if (m_Output) m_Output(delayed.bytes);
}
