#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/antenna_info.h"
#include "link/controller_view.h"
#include "link/diagnosis_exchange.h"
#include "link/lcd_exchange.h"
#include "link/link_context.h"
#include "link/traffic_tap.h"
#include "link/upload_exchange.h"
#include "wire/frame_assembler.h"
#include "wire/protocol.h"

class BytePort;
class CommQueue;
class ControllerView;
class TimerBank;
struct SatelliteForm;

// The protocol engine behind the main window: it builds and frames every command, assembles
// and dispatches the replies, and turns each command timer into a retry or a time-out. It
// reaches the line only through a BytePort and its receive queue, the screen only through a
// ControllerView and time only through a TimerBank, so it runs unchanged in tests.
class AcuController : public LinkContext {
public:
    AcuController(BytePort& port, CommQueue& queue, ControllerView& view, TimerBank& timers);

    // Writes the payload of code into m_TxPayload and returns its length (0: no such command).
    std::uint8_t BuildCommand(std::uint8_t code);

    // Frames and writes one command a byte at a time. A byte the port refuses is lost: the
    // command's timer repeats the command where the protocol wants that.
    void SendCommand(std::uint8_t code) override;
    void sendAndStart(std::uint8_t code, std::chrono::milliseconds period) override;
    void startTimer(int id, std::chrono::milliseconds period) override;
    void stopTimer(int id) override;
    void setBusy(bool busy) override;
    ControllerView& view() override { return m_View; }

    // New bytes in the receive queue: assemble and dispatch every complete frame.
    void OnCommRead();
    // Acts on the valid frame in m_RxFrame.
    void DispatchReply();
    // A command timer (or the start-up tick, or the port discovery) fired.
    void OnTimer(int id);

    // The connect steps once a port is open: link check with command 1 and its timer. The
    // wait cursor shows only when the user asked for the link (Connect): the automatic scan
    // runs in the background and must not take the cursor every few seconds.
    void StartConnection(bool userStarted = true);
    // Closes the port and stops every command timer: nothing keeps firing into a closed line.
    void Disconnect();
    // The line went away under us (cable or USB adapter pulled).
    void OnPortHangup(const std::string& portName);

    // The main window's operation buttons. Each does nothing unless the link is open.
    void OnAntennaRestart();
    void OnSetupMode();
    void OnTargetSelected(int position);  // works without a link
    void OnTargetChange(int position);
    void OnGetAntennaInformation();
    void OnFactorySetting();
    void updateDefaultData();
    // The LCD texts of g_LcdData into the ACU ("Write") and back ("Read"); both need setup mode.
    void OnLcdWrite();
    void OnLcdRead();

    // The Satellite_Information page's buttons: each needs the link and setup mode, and sends
    // nothing that the link could not carry as typed. sendDiseqcMode is true when it sent.
    void sendEditedSatellite(const SatelliteForm& form);
    void sendLocalFrequency(std::u16string_view singleBandText);
    bool sendDiseqcMode(std::uint8_t mode);

    // The diagnosis and move page, and "Set Parameters". Each needs the link and setup mode;
    // a number that would not fit its field on the line is refused by name, nothing sent.
    void OnDiagnosisStartStop();
    void OnGoToPosition(std::u16string_view azText, std::u16string_view elText);
    void OnAzStepCcw(std::u16string_view stepText);
    void OnAzStepCw(std::u16string_view stepText);
    void OnElStepUp(std::u16string_view stepText);
    void OnElStepDown(std::u16string_view stepText);
    void OnSkewStepMinus(std::u16string_view stepText);
    void OnSkewStepPlus(std::u16string_view stepText);
    void OnSetParameters(const AntennaParameterEdits& edits);

    const std::array<std::uint8_t, kFrameBufferSize>& txPayload() const { return m_TxPayload; }

    // Shows every frame sent and received, and every byte dropped, to observer (nullptr:
    // nobody). The observer must outlive the controller or be detached first.
    void setTrafficObserver(TrafficObserver* observer) { m_Tap.attach(observer); }

private:
    // Setup mode, or the refusal message.
    bool setupGate();
    // The user's answer, true only when it was yes and the link it was asked on is still the
    // open one: a hang-up while the question was open voids it, whatever the line does since.
    bool askQuestion(const std::string& text, ConfirmButtons buttons);
    // Timer id of a command that is sent again until its reply: again, or given up.
    void resendOrGiveUp(int id);
    void giveUpCommand(std::uint8_t code);
    void dispatchLinkReply(std::span<const std::uint8_t> payload);
    void onLinkCheck(std::span<const std::uint8_t> payload);
    void onProductInfo(std::span<const std::uint8_t> payload);
    void onCurrentRegion(std::span<const std::uint8_t> payload);
    void onRegionSatellite(std::span<const std::uint8_t> payload);
    void onStatus(std::span<const std::uint8_t> payload);
    void onSetupMode(std::span<const std::uint8_t> payload);
    void onFactoryProgress(std::span<const std::uint8_t> payload);
    // Replies 31 and 32 stopped coming: Load_Progress must not stay over a disabled window.
    void onFactoryStall();
    void showCurrentPosition();
    // Target = the last reported position + direction * the typed step, sent with code.
    void stepMove(std::uint8_t code, int direction, std::u16string_view stepText);

    BytePort& m_Port;
    CommQueue& m_Queue;
    ControllerView& m_View;
    TimerBank& m_Timers;

    std::array<std::uint8_t, kFrameBufferSize> m_TxPayload{};
    std::array<std::uint8_t, kFrameBufferSize> m_TxFrame{};
    std::array<std::uint8_t, kFrameBufferSize> m_RxFrame{};
    FrameAssembler m_RxAssembler;
    TrafficTap m_Tap;
    // Reply 4 stores into the satellites of the region that reply 3 announced; before any
    // reply 3 there is no such region.
    bool m_RegionAnnounced = false;
    // Load_Progress is up between reply 30 and reply 32.
    bool m_FactoryResetShown = false;
    // The open link was opened by the automatic scan, which moves on from a silent port.
    bool m_ScanOpened = false;
    // Counts the links closed so far: a question names the link it was asked on.
    std::uint32_t m_LinkSession = 0;
    bool m_QuestionOpen = false;
    // Per command: the period it was last started with and how long it has been waited for.
    struct ResendWait {
        std::chrono::milliseconds period{0};
        std::chrono::milliseconds waited{0};
    };
    std::array<ResendWait, cmd::Last + 1> m_ResendWaits{};

    UploadExchange m_Upload{*this};
    LcdExchange m_Lcd{*this};
    DiagnosisExchange m_Diagnosis{*this};
};
