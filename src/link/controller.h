#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "data/antenna_info.h"
#include "data/region_selectors.h"
#include "data/sif_reader.h"
#include "link/command_builder.h"
#include "link/controller_view.h"
#include "link/diagnosis_exchange.h"
#include "link/lcd_exchange.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "link/outcome.h"
#include "link/round_trip.h"
#include "link/session_log.h"
#include "link/traffic_tap.h"
#include "link/upload_exchange.h"
#include "wire/frame_assembler.h"
#include "wire/protocol.h"

class BytePort;
class PointingSamples;
class CommQueue;
class TimerBank;
struct SatelliteForm;

// The protocol engine of one ACU: it owns the link's state, builds and frames every command,
// assembles and dispatches the replies, and turns each command timer into a retry or a
// time-out. It reaches the line only through a BytePort and its receive queue, the screen only
// through a ControllerView and time only through a TimerBank, so it runs unchanged in tests,
// and as many times in one process as there are ACUs.
class AcuController : private LinkContext {
public:
    // scan runs the automatic port discovery (timer 100); without one the timer does nothing.
    AcuController(BytePort& port, CommQueue& queue, ControllerView& view, TimerBank& timers,
                  PortScan* scan = nullptr);

    const LinkState& state() const { return m_State; }
    // Told how every operation ends (see outcome.h); set before the first operation.
    void setOutcomeListener(OutcomeTracker::Listener listener) {
        m_Outcomes.setListener(std::move(listener));
    }

    // Frames and writes one command a byte at a time, and keeps it as its code's last: a
    // timer's repeat sends exactly these bytes. A byte the port refuses is lost: the command's
    // timer repeats the command where the protocol wants that.
    void SendCommand(const Command& command);
    // The next step of a chain out of turn, built from the state as it stands (a tool, a fuzz
    // script): what the timer of its code then repeats.
    using LinkContext::sendStep;

    // New bytes in the receive queue: assemble and dispatch every complete frame.
    void OnCommRead();
    // Acts on the valid frame in m_RxFrame.
    void DispatchReply();
    // A command timer (or the start-up tick, or the port discovery) fired.
    void OnTimer(int id);

    // The connect steps once a port is open: link check with command 1 and its timer, then the
    // identification (Operation::Connect). The wait cursor shows only when the user asked for
    // the link (Connect): the automatic scan runs in the background and must not take the
    // cursor every few seconds.
    void StartConnection(bool userStarted = true);
    // Closes the port and stops every command timer: nothing keeps firing into a closed line.
    // Operations under way end cancelled.
    void Disconnect();
    // The line went away under us (cable or USB adapter pulled); operations end hung up.
    void OnPortHangup(const std::string& portName);

    // The main window's operation buttons. Each is refused unless the link is open; those that
    // change the ACU's configuration or move the dish also need setup mode. Every one that may
    // send ends in an outcome.
    void OnAntennaRestart();
    void OnSetupMode();
    void OnTargetSelected(int position);  // only shows the choice; works without a link
    void OnTargetChange(int position);
    void OnGetAntennaInformation();
    void OnFactorySetting();
    // The selectors' positions (-1: nothing selected) go out with command 10 as read.
    void updateDefaultData(int continentSelection, int regionSelection);
    // The LCD texts of the state into the ACU ("Write") and back ("Read").
    void OnLcdWrite();
    void OnLcdRead();

    // The Satellite_Information page's buttons: nothing the link could not carry as typed is
    // sent. sendDiseqcMode is true when it sent.
    void sendEditedSatellite(const SatelliteForm& form);
    void sendLocalFrequency(std::u16string_view singleBandText);
    bool sendDiseqcMode(std::uint8_t mode);

    // The diagnosis and move page, and "Set Parameters", with the numbers as typed: a number
    // that would not fit its field on the line is refused by name, nothing sent.
    void OnDiagnosisStartStop();
    void OnGoToPosition(double az, double el);
    void OnAzStepCcw(double step);
    void OnAzStepCw(double step);
    void OnElStepUp(double step);
    void OnElStepDown(double step);
    void OnSkewStepMinus(double step);
    void OnSkewStepPlus(double step);
    void OnSetParameters(const AntennaParameters& parameters);

    // What the windows change in the state without sending anything.
    // A satellite information file's bytes, named fileName in the service report.
    std::optional<SifRefusal> loadDefaultData(std::span<const std::uint8_t> bytes,
                                              const std::string& fileName);
    // The current region, and the Administrator page's selectors that choose it.
    bool selectRegion(std::uint32_t continent, std::uint32_t region);
    std::optional<SelectorContents> chooseContinent(int position);
    bool chooseRegion(int position);
    // The Satellite_Information page: its radio choices, and the edit copy's satellite k shown
    // (its choices become the page's); nothing when k names no satellite of the region.
    enum class EditChoice { Verification, Polarization, Tone, LnbType };
    void setEditChoice(EditChoice choice, std::uint8_t value);
    const SatelliteRecord* takeEditSatellite(int k);
    // The "Change SAT :" choice back on the target, with nothing to change to.
    void resetTargetChoice();
    // The LCD texts as the editor holds them.
    void setLcdData(const LcdDataBlock& block);
    // The GPS page's calculation; the inputs are kept with their angles signed.
    LookAngleTexts calculateLookAngles(const LookAngleInputs& inputs);

    // Shows every frame sent and received, and every byte dropped, to observer (nullptr:
    // nobody). The observer must outlive the controller or be detached first.
    void setTrafficObserver(TrafficObserver* observer) { m_Tap.attach(observer); }
    // Keeps the signal, position and state of every status and setup reply, and the link
    // openings, in samples (nullptr: nowhere). The samples must outlive the controller.
    void setPointingSamples(PointingSamples* samples) { m_Pointing = samples; }

    // What this session changed on the ACU and what went wrong, for the service report.
    SessionLog& sessionLog() { return m_Log; }

private:
    // LinkContext, for the exchanges.
    LinkState& linkState() override { return m_State; }
    void sendAndStart(const Command& command, std::chrono::milliseconds period) override;
    void setBusy(bool busy) override;
    void startTimer(int id, std::chrono::milliseconds period) override;
    void stopTimer(int id) override;
    ControllerView& view() override { return m_View; }
    OutcomeTracker& outcomes() override { return m_Outcomes; }

    // The gates of an operation: the open link, setup mode (with the refusal message). A
    // refusal is the operation's outcome.
    bool linkGate(Operation operation);
    bool setupGate(Operation operation);
    void refuse(Operation operation, RefusedBy by, const std::string& reason);
    // A refused argument: its message shown, and the refusal the operation's outcome.
    void refuseArguments(Operation operation, const std::string& message);
    // Sends the operation's first command and waits for its end.
    void begin(Operation operation, const Command& command, std::chrono::milliseconds period);
    // The user's answer, true only when it was yes and the link it was asked on is still the
    // open one: a hang-up while the question was open voids it, whatever the line does since.
    // Otherwise the operation ends cancelled or hung up.
    bool askQuestion(Operation operation, const std::string& text, ConfirmButtons buttons);
    // The period a command timer runs with on this line: the local one, or on a network line
    // at least as long as an answer takes there.
    std::chrono::milliseconds linePeriod(std::chrono::milliseconds local) const;
    // A reply with code came: its round trip measured when its command went out only once.
    void measureAnswer(std::uint8_t code);
    // Timer 14: the next status poll, unless the last one's answer can still be on its way.
    void pollTick();
    void stopPoll();
    // Timer id of a command that is sent again until its reply: again, or given up.
    void resendOrGiveUp(int id);
    // The command last sent under code again, byte for byte.
    void sendAgain(std::uint8_t code);
    void giveUpCommand(std::uint8_t code);
    void unanswered(Operation operation, std::uint8_t code);
    void notify(std::uint32_t what) { m_View.stateChanged(what); }
    void dispatchLinkReply(std::span<const std::uint8_t> payload);
    void onLinkCheck(std::span<const std::uint8_t> payload);
    void onProductInfo(std::span<const std::uint8_t> payload);
    void onCurrentRegion(std::span<const std::uint8_t> payload);
    void onRegionSatellite(std::span<const std::uint8_t> payload);
    void onChainTimeout(int id);
    void onStatus(std::span<const std::uint8_t> payload);
    void onSetupMode(std::span<const std::uint8_t> payload);
    void onFactoryProgress(std::span<const std::uint8_t> payload);
    // Replies 31 and 32 stopped coming: Load_Progress must not stay over a disabled window.
    void onFactoryStall();
    // Target = the last reported position + direction * step, sent with code.
    void stepMove(std::uint8_t code, int direction, double step);
    // The antenna parameters of the current region, for the antenna model reported.
    void loadRegionParameters();

    BytePort& m_Port;
    CommQueue& m_Queue;
    ControllerView& m_View;
    TimerBank& m_Timers;
    PortScan* m_Scan;

    LinkState m_State;
    OutcomeTracker m_Outcomes;
    std::array<Command, cmd::Last + 1> m_LastSent{};
    std::array<std::uint8_t, kFrameBufferSize> m_TxFrame{};
    std::array<std::uint8_t, kFrameBufferSize> m_RxFrame{};
    FrameAssembler m_RxAssembler;
    TrafficTap m_Tap;
    SessionLog m_Log;
    PointingSamples* m_Pointing = nullptr;
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
    // Per command: the period its timer runs with on this line, how long it has been waited
    // for and how often it went out since, how long it may be sent again (0: the usual), and
    // when it last went out while its answer is awaited (on the timers' clock).
    struct ResendWait {
        std::chrono::milliseconds period{0};
        std::chrono::milliseconds waited{0};
        std::uint32_t sends = 0;
        std::chrono::milliseconds limit{0};
        std::optional<std::chrono::milliseconds> sentAt;
    };
    std::array<ResendWait, cmd::Last + 1> m_ResendWaits{};
    // How long answers take on a network line; unused on a local one.
    RoundTripEstimate m_RoundTrip;
    // A status poll's tick came while the last poll's answer was still on its way: the next
    // poll goes out with that answer.
    bool m_PollHeld = false;

    UploadExchange m_Upload{*this};
    LcdExchange m_Lcd{*this};
    DiagnosisExchange m_Diagnosis{*this};
};
