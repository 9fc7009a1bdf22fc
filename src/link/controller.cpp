#include "link/controller.h"

#include "link/controller_view.h"
#include "link/frame_text.h"
#include "link/pointing_samples.h"
#include "link/timer_bank.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "wire/display_text.h"
#include "wire/frame.h"

AcuController::AcuController(BytePort& port, CommQueue& queue, ControllerView& view,
                             TimerBank& timers, PortScan* scan)
    : m_Port(port), m_Queue(queue), m_View(view), m_Timers(timers), m_Scan(scan) {}

void AcuController::SendCommand(const Command& command) {
    const std::uint8_t code = command.code();
    if (code <= cmd::Last && command.length != 0) {
        // A repeat hands in the kept command itself.
        if (&command != &m_LastSent[code]) m_LastSent[code] = command;
        m_ResendWaits[code].sends += 1;
        m_ResendWaits[code].sentAt = m_Timers.now();
    }
    const std::size_t frameSize = encodeFrame(command.payload(), m_TxFrame);
    if (m_Tap.active()) m_Tap.sent(std::span<const std::uint8_t>(m_TxFrame).first(frameSize));
    for (std::size_t i = 0; i < frameSize; ++i) m_Port.WriteByte(m_TxFrame[i]);
}

void AcuController::sendAndStart(const Command& command, std::chrono::milliseconds period) {
    const std::uint8_t code = command.code();
    if (command.length == 0 || code > cmd::Last) return;
    // The poll's pace stays; pollTick keeps it to one on its way. Any other command waits
    // as long as the line needs, and goes out as often before it is given up as on a local
    // wire: the give-up bound grows with the period.
    const std::chrono::milliseconds onLine = code == cmd::StatusPoll ? period : linePeriod(period);
    const auto limit = period.count() > 0
                           ? std::chrono::duration_cast<std::chrono::milliseconds>(kResendLimit) *
                                 onLine.count() / period.count()
                           : std::chrono::milliseconds{0};
    m_ResendWaits[code] = {onLine, {}, 0, limit, std::nullopt};
    SendCommand(command);
    m_Log.commandSent(code, m_State);
    m_Timers.start(code, onLine);
}

void AcuController::startTimer(int id, std::chrono::milliseconds period) {
    m_Timers.start(id, id >= 1 && id <= cmd::Last ? linePeriod(period) : period);
}

std::chrono::milliseconds AcuController::linePeriod(std::chrono::milliseconds local) const {
    return m_Port.networkLine() ? m_RoundTrip.periodFor(local) : local;
}

void AcuController::measureAnswer(std::uint8_t code) {
    if (code > cmd::Last) return;
    ResendWait& wait = m_ResendWaits[code];
    if (!wait.sentAt) return;  // unasked, or its command answered already
    // Sent twice, the reply could answer either send: its round trip is unknown.
    if (wait.sends == 1) m_RoundTrip.sample(m_Timers.now() - *wait.sentAt);
    wait.sentAt.reset();
    // The status poll is one command sent many times: each answer ends one of its sends.
    if (code == cmd::StatusPoll) wait.sends = 0;
}

void AcuController::pollTick() {
    const ResendWait& wait = m_ResendWaits[cmd::StatusPoll];
    if (m_Port.networkLine() && wait.sentAt) {
        // One poll on its way at a time: a long line would otherwise carry a queue of them,
        // and a reply could not be told from the next.
        if (m_Timers.now() - *wait.sentAt < m_RoundTrip.periodFor(kStatusPollPeriod)) {
            m_PollHeld = true;
            return;
        }
        m_RoundTrip.backOff();  // lost, or the line became slower
    }
    sendAgain(cmd::StatusPoll);
}

void AcuController::stopPoll() {
    m_PollHeld = false;
    m_Timers.stop(cmd::StatusPoll);
}

void AcuController::stopTimer(int id) {
    m_Timers.stop(id);
}

void AcuController::setBusy(bool busy) {
    m_State.BusyCursor = busy ? 1 : 0;
    notify(changed::BusyCursor);
}

void AcuController::OnCommRead() {
    // Only what is there now: bytes arriving meanwhile come with the next notification.
    const std::uint32_t available = m_Queue.used();
    for (std::uint32_t i = 0; i < available; ++i) {
        std::uint8_t byte = 0;
        if (!m_Queue.get(byte)) break;
        const FrameAssembler::Result result = m_RxAssembler.push(byte);
        m_Log.assembled(result, m_RxAssembler);
        if (m_Tap.active()) m_Tap.received(result, byte, m_RxAssembler);
        if (result != FrameAssembler::Result::Frame) continue;
        // The assembler is already waiting for the next STX, so a message box opened by the
        // dispatch may deliver further frames safely; they land in m_RxFrame only after this
        // dispatch has taken its copy.
        const auto frame = m_RxAssembler.frame();
        std::copy(frame.begin(), frame.end(), m_RxFrame.begin());
        DispatchReply();
    }
    if (m_Tap.active()) m_Tap.flush();
}

void AcuController::OnTimer(int id) {
    m_Log.commandTimedOut(id);
    if (id >= 1 && id <= cmd::Last) {
        ResendWait& wait = m_ResendWaits[static_cast<std::size_t>(id)];
        // A timer started without a send (a caller of startTimer) counts as the usual one.
        wait.waited += wait.period.count() > 0 ? wait.period : kCommandPeriod;
        // An answer later than the line's estimate: the next waits are longer, as TCP's are.
        if (m_Port.networkLine() && id != cmd::StatusPoll && wait.sentAt) m_RoundTrip.backOff();
    }
    if (id == kStartupTimer) {
        m_Timers.stop(kStartupTimer);
        m_State.ConnectLamp = 0;
        m_State.StateLamps = 0;
        notify(changed::Connection | changed::ConnectLamp | changed::StateLamps);
        m_Timers.start(kDiscoveryTimer, kFirstDiscoveryPeriod);
    } else if (id == kDiscoveryTimer) {
        if (m_Scan != nullptr && m_Scan->ScanAndConnect() == 1) {
            m_Timers.stop(kDiscoveryTimer);
            m_ScanOpened = true;
        } else {
            m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
        }
    } else if (id == cmd::LinkCheck) {
        if (m_State.ConnectRetryCount >= kMaxConnectResends) {
            m_Timers.stop(id);
            setBusy(false);
            unanswered(Operation::Connect, cmd::LinkCheck);
            if (m_ScanOpened) {
                // The scan picked this port, not the user: a laptop's ttyS0 that leads
                // nowhere must not keep it from the adapter the unit is really on.
                if (m_Scan != nullptr) m_Scan->skipSilentPort();
                Disconnect();
                m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
            }
            // Drawn after the close, which puts the lamps out: red says this port did not
            // answer until the next one is tried.
            m_State.ConnectLamp = 1;
            notify(changed::ConnectLamp);
        } else {
            m_State.ConnectRetryCount += 1;
            sendAgain(cmd::LinkCheck);
        }
    } else if (id == cmd::AntennaInformation || id == cmd::CurrentRegion ||
               id == cmd::RegionSatellite) {
        onChainTimeout(id);
    } else if (id >= 7 && id <= 13) {
        if (m_Upload.onTimeout(id)) unanswered(Operation::Upload, static_cast<std::uint8_t>(id));
    } else if (id == cmd::FactoryProgress) {
        onFactoryStall();
    } else if (id == cmd::StatusPoll) {
        pollTick();
    } else if ((id >= 15 && id <= 21) || (id >= 24 && id <= 30) || (id >= 33 && id <= 42)) {
        resendOrGiveUp(id);
    }
}

void AcuController::resendOrGiveUp(int id) {
    const auto code = static_cast<std::uint8_t>(id);
    ResendWait& wait = m_ResendWaits[code];
    const std::chrono::milliseconds limit = wait.limit.count() > 0 ? wait.limit : kResendLimit;
    if (wait.waited >= limit) {
        giveUpCommand(code);
        return;
    }
    sendAgain(code);
}

void AcuController::sendAgain(std::uint8_t code) {
    // A timer started without a send (a caller of startTimer) sends what the state builds.
    if (m_LastSent[code].length == 0) m_LastSent[code] = BuildCommand(code, m_State);
    SendCommand(m_LastSent[code]);
}

void AcuController::unanswered(Operation operation, std::uint8_t code) {
    const ResendWait& wait = m_ResendWaits[code];
    m_Outcomes.unanswered(operation, code, wait.sends, wait.waited);
}

void AcuController::StartConnection(bool userStarted) {
    m_ScanOpened = false;
    m_State.Connected = 1;
    std::uint32_t what = changed::Connection;
    // A red lamp left by the port the scan tried before would blame this one before its turn.
    if (!userStarted) {
        m_State.ConnectLamp = 0;
        what |= changed::ConnectLamp;
    }
    notify(what);
    m_View.lineBack();
    m_State.ConnectRetryCount = 0;
    setBusy(userStarted);
    m_RxAssembler.reset();
    // Another line, or the same one later: what was measured before says nothing now.
    m_RoundTrip.reset();
    m_ResendWaits = {};
    m_PollHeld = false;
    if (m_Tap.active()) m_Tap.linkOpened(m_Port.deviceName());
    if (m_Pointing != nullptr) m_Pointing->linkOpened(pointingClockMs());
    begin(Operation::Connect, plainCommand(cmd::LinkCheck), kCommandPeriod);
}

void AcuController::Disconnect() {
    m_ScanOpened = false;
    m_LinkSession += 1;
    m_Port.ClosePort();
    m_State.Connected = 0;
    // Nothing reports on the antenna any more: lamps left lit would claim it still tracks.
    m_State.ConnectLamp = 0;
    m_State.StateLamps = 0;
    notify(changed::Connection | changed::ConnectLamp | changed::StateLamps);
    setBusy(false);
    for (int id = 1; id <= cmd::Last; ++id) m_Timers.stop(id);
    m_PollHeld = false;
    // A popup of an exchange cut off here must not stay over a disabled window.
    m_Upload.abandon();
    if (m_FactoryResetShown) {
        m_FactoryResetShown = false;
        m_View.CloseProgress(ProgressPopup::Load);
    }
    // Nothing of the old line may be acted on later: neither half a frame in the assembler
    // nor bytes still queued (the watcher has been joined, so the queue is ours).
    m_RxAssembler.reset();
    m_Queue.clear();
    m_RegionAnnounced = false;
    m_Outcomes.endAll(Ending::Cancelled);
}

void AcuController::OnPortHangup(const std::string& portName) {
    if (m_State.Connected != 1) return;
    // The question goes before the box that says why: two boxes stacked would leave the
    // question open to be answered for a unit that may not be the one it was about.
    const bool questionVoided = m_QuestionOpen;
    if (questionVoided) m_View.closeQuestion();
    m_Log.hungUp(portName);
    m_Outcomes.endAll(Ending::HungUp);
    Disconnect();
    // Look for the port again: it comes back when the adapter is plugged in again.
    m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
    m_View.lineLost(portName, questionVoided);
}
