#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "acu_replies.h"
#include "acu_state.h"
#include "antenna_motion.h"
#include "command_processor.h"
#include "diagnosis_run.h"
#include "factory_reset.h"
#include "faults.h"
#include "replay.h"
#include "wire/frame_assembler.h"
#include "wire/protocol.h"

// The antenna control unit as a state machine on a clock that moves only when advance() is
// called. Bytes from the program go in through receive(), in any pieces; whole reply frames
// (or what the faults make of them) come out through the output sink. Nothing here blocks,
// sleeps or starts a thread: the transports decide what time it is.
class AcuSimulator : private ReplySink {
public:
    using OutputSink = std::function<void(std::span<const std::uint8_t>)>;
    enum class Direction { FromProgram, ToProgram };
    // Sees every sound frame received and every frame sent (as sent, faults included).
    using FrameObserver = std::function<void(Direction, std::span<const std::uint8_t> frame)>;

    struct Settings {
        AntennaMotion::Settings motion;
        DiagnosisRun::Settings diagnosis;
        FactoryReset::Settings factory;
        // The axes move in steps no longer than this.
        std::chrono::microseconds motionTick{std::chrono::milliseconds{10}};
    };

    // Out of the box: factory defaults, tracking the default satellite.
    AcuSimulator();
    explicit AcuSimulator(const Settings& settings);

    AcuSimulator(const AcuSimulator&) = delete;
    AcuSimulator& operator=(const AcuSimulator&) = delete;

    void setOutput(OutputSink sink) { m_Output = std::move(sink); }
    void setFrameObserver(FrameObserver observer) { m_Observer = std::move(observer); }
    // Plays the unit back from a recording (nullptr: the model alone). What the recording
    // sent before the first command is scheduled from now. The replay must outlive its use.
    void setReplay(Replay* replay);

    void receive(std::span<const std::uint8_t> bytes);
    // Runs everything that falls due in the span, in time order: motion, the scripted
    // sequences, delayed replies.
    void advance(std::chrono::microseconds elapsed);
    std::chrono::microseconds now() const { return m_Now; }
    // When the next scripted reply or held-back reply falls due; nothing when none waits.
    std::optional<std::chrono::microseconds> nextScheduled() const;

    // The dish on its target and tracking, as after a completed search: for a unit whose
    // region or position was changed before it is served.
    void settleOnTarget() { m_Motion.settleOnTarget(); }

    // Sends the unasked reply 6 that makes the program send its default data (7, 8, 9).
    // What arrives then is recorded afresh in state().chain.
    void announceDefaultData();

    AcuState& state() { return m_State; }
    const AcuState& state() const { return m_State; }
    // What a factory default restores.
    AcuState& factoryState() { return m_Factory; }
    SimFaults& faults() { return m_Faults; }
    const SimFaults& faults() const { return m_Faults; }
    Settings& settings() { return m_Settings; }

    std::uint32_t framesReceived() const { return m_FramesReceived; }
    bool diagnosisRunning() const { return m_Diagnosis.running(); }
    bool factoryResetRunning() const { return m_FactoryReset.running(); }
    // Replies held back by the delay fault.
    std::size_t delayedReplies() const { return m_Delayed.size(); }

private:
    struct DelayedBytes {
        std::chrono::microseconds due;
        std::vector<std::uint8_t> bytes;
        bool observed = false;  // a replayed frame, shown to the observer when it goes
    };

    void sendReply(const Payload& payload) override;
    void emitBytes(std::span<const std::uint8_t> bytes);
    // Queued in time order, after what falls due at the same moment.
    void hold(DelayedBytes delayed);
    // sendNow: what is due at once goes out at once rather than at the next advance().
    void playRecorded(const std::vector<Replay::Output>& outputs, bool sendNow);
    void emitDelayed(const DelayedBytes& delayed);
    void restoreFactoryDefaults();
    // What the misstore faults make of a received command before it is acted on.
    void misstore(std::span<std::uint8_t> payload) const;
    std::chrono::microseconds nextEvent(std::chrono::microseconds limit) const;
    void runDueEvents();

    Settings m_Settings;
    SimFaults m_Faults;
    AcuState m_State;
    AcuState m_Factory;
    AntennaMotion m_Motion;
    DiagnosisRun m_Diagnosis;
    FactoryReset m_FactoryReset;
    CommandProcessor m_Processor;
    FrameAssembler m_Assembler;
    std::deque<DelayedBytes> m_Delayed;
    OutputSink m_Output;
    FrameObserver m_Observer;
    Replay* m_Replay = nullptr;
    std::chrono::microseconds m_Now{0};
    std::uint32_t m_FramesReceived = 0;
    // Satellite records (command 12) of the running upload, for the misstore fault.
    std::uint32_t m_UploadSatellites = 0;
};
