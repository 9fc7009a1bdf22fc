#include "link/controller.h"

#include "data/satellite_tables.h"
#include "link/command_builder.h"
#include "link/controller_view.h"
#include "link/frame_decoder.h"
#include "link/link_state.h"
#include "link/timer_bank.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "wire/display_text.h"
#include "wire/frame.h"

AcuController::AcuController(BytePort& port, CommQueue& queue, ControllerView& view,
                             TimerBank& timers)
    : m_Port(port), m_Queue(queue), m_View(view), m_Timers(timers) {}

std::uint8_t AcuController::BuildCommand(std::uint8_t code) {
    return buildCommandPayload(code, m_View, m_TxPayload);
}

void AcuController::SendCommand(std::uint8_t code) {
    const std::uint8_t length = BuildCommand(code);
    const std::size_t frameSize =
        encodeFrame(std::span<const std::uint8_t>(m_TxPayload).first(length), m_TxFrame);
    if (m_Tap.active()) m_Tap.sent(std::span<const std::uint8_t>(m_TxFrame).first(frameSize));
    for (std::size_t i = 0; i < frameSize; ++i) m_Port.WriteByte(m_TxFrame[i]);
}

void AcuController::sendAndStart(std::uint8_t code, std::chrono::milliseconds period) {
    SendCommand(code);
    m_Timers.start(code, period);
    if (code < m_ResendWaits.size()) m_ResendWaits[code] = {period, {}};
}

void AcuController::startTimer(int id, std::chrono::milliseconds period) {
    m_Timers.start(id, period);
}

void AcuController::stopTimer(int id) {
    m_Timers.stop(id);
}

void AcuController::setBusy(bool busy) {
    g_BusyCursor = busy ? 1 : 0;
    m_View.setBusyCursor(busy);
}

void AcuController::OnCommRead() {
    // Only what is there now: bytes arriving meanwhile come with the next notification.
    const std::uint32_t available = m_Queue.used();
    for (std::uint32_t i = 0; i < available; ++i) {
        std::uint8_t byte = 0;
        if (!m_Queue.get(byte)) break;
        const FrameAssembler::Result result = m_RxAssembler.push(byte);
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
    if (id == kStartupTimer) {
        m_Timers.stop(kStartupTimer);
        m_View.DrawSerialBox(0);
        m_View.DrawConnectLamp(0);
        m_View.DrawStateLamps(0);
        m_Timers.start(kDiscoveryTimer, kFirstDiscoveryPeriod);
    } else if (id == kDiscoveryTimer) {
        if (m_View.ScanAndConnect() == 1) {
            m_Timers.stop(kDiscoveryTimer);
            m_ScanOpened = true;
        } else {
            m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
        }
    } else if (id == cmd::LinkCheck) {
        if (g_ConnectRetryCount >= kMaxConnectResends) {
            m_Timers.stop(id);
            setBusy(false);
            if (m_ScanOpened) {
                // The scan picked this port, not the user: a laptop's ttyS0 that leads
                // nowhere must not keep it from the adapter the unit is really on.
                m_View.skipSilentPort();
                Disconnect();
                m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
            }
            // Drawn after the close, which puts the lamps out: red says this port did not
            // answer until the next one is tried.
            m_View.DrawConnectLamp(1);
        } else {
            g_ConnectRetryCount += 1;
            SendCommand(cmd::LinkCheck);
        }
    } else if (id == cmd::AntennaInformation) {
        m_Timers.stop(id);
        setBusy(false);
    } else if (id == cmd::CurrentRegion || id == cmd::RegionSatellite) {
        // Sent once: the timer only bounds the wait, and the exchange ends here. The wait
        // cursor ends with it, and the user learns which answer is missing.
        m_Timers.stop(id);
        setBusy(false);
        m_View.MessageBox(
            lostChainReplyText(static_cast<std::uint8_t>(id), g_ReceiveSatIndex, g_SatelliteCount),
            MessageIcon::Exclamation);
    } else if (id >= 7 && id <= 13) {
        m_Upload.onTimeout(id);
    } else if (id == cmd::FactoryProgress) {
        onFactoryStall();
    } else if (id == cmd::StatusPoll) {
        SendCommand(cmd::StatusPoll);
    } else if ((id >= 15 && id <= 21) || (id >= 24 && id <= 30) || (id >= 33 && id <= 42)) {
        resendOrGiveUp(id);
    }
}

void AcuController::resendOrGiveUp(int id) {
    ResendWait& wait = m_ResendWaits[static_cast<std::size_t>(id)];
    // A timer started without a send (a test, a caller of startTimer) counts as the usual one.
    wait.waited += wait.period.count() > 0 ? wait.period : kCommandPeriod;
    if (wait.waited >= kResendLimit) {
        giveUpCommand(static_cast<std::uint8_t>(id));
        return;
    }
    SendCommand(static_cast<std::uint8_t>(id));
}

void AcuController::giveUpCommand(std::uint8_t code) {
    m_Timers.stop(code);
    m_ResendWaits[code] = {};
    setBusy(false);
    if (m_FactoryResetShown) {
        m_FactoryResetShown = false;
        m_View.CloseProgress(ProgressPopup::Load);
    }
    if (code == cmd::DiagnosisStart) {
        // The test never started: the button offers to start it again.
        g_DiagIdle = 1;
        m_View.setDiagnosisButtonCaption("Diagnosis Start");
    }
    // These stopped the status poll for their reply; without it the lamps would freeze.
    if (code == cmd::AntennaRestart || code == cmd::SetupMode || code == cmd::TargetChange) {
        m_Timers.start(cmd::StatusPoll, kStatusPollPeriod);
    }
    m_View.MessageBox(unansweredCommandText(code, frameName(code, false), kResendLimit),
                      MessageIcon::Exclamation);
}

void AcuController::StartConnection(bool userStarted) {
    m_ScanOpened = false;
    g_Connected = 1;
    m_View.showConnectionControls(true);
    m_View.DrawSerialBox(1);
    g_ConnectRetryCount = 0;
    setBusy(userStarted);
    m_RxAssembler.reset();
    if (m_Tap.active()) m_Tap.linkOpened(m_Port.deviceName());
    sendAndStart(cmd::LinkCheck, kCommandPeriod);
}

void AcuController::Disconnect() {
    m_ScanOpened = false;
    m_LinkSession += 1;
    m_Port.ClosePort();
    g_Connected = 0;
    m_View.showConnectionControls(false);
    m_View.DrawSerialBox(0);
    // Nothing reports on the antenna any more: lamps left lit would claim it still tracks.
    m_View.DrawConnectLamp(0);
    m_View.DrawStateLamps(0);
    setBusy(false);
    for (int id = 1; id <= cmd::Last; ++id) m_Timers.stop(id);
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
}

void AcuController::OnPortHangup(const std::string& portName) {
    if (g_Connected != 1) return;
    // The question goes before the box that says why: two boxes stacked would leave the
    // question open to be answered for a unit that may not be the one it was about.
    const bool questionVoided = m_QuestionOpen;
    if (questionVoided) m_View.closeQuestion();
    Disconnect();
    // Look for the port again: it comes back when the adapter is plugged in again.
    m_Timers.start(kDiscoveryTimer, kDiscoveryPeriod);
    m_View.MessageBox(hangupText(portName, questionVoided), MessageIcon::Exclamation);
}
