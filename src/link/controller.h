#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "data/upload_exchange.h"
#include "lcd/lcd_exchange.h"
#include "link/diagnosis_exchange.h"
#include "link/frame_assembler.h"
#include "link/link_context.h"
#include "link/protocol.h"

class BytePort;
class CommQueue;
class ControllerView;
class TimerBank;

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

    // The connect steps once a port is open: link check with command 1 and its timer.
    void StartConnection();
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

    const std::array<std::uint8_t, kFrameBufferSize>& txPayload() const { return m_TxPayload; }

private:
    // Setup mode, or the refusal message.
    bool setupGate();
    void dispatchLinkReply(std::span<const std::uint8_t> payload);
    void onLinkCheck(std::span<const std::uint8_t> payload);
    void onProductInfo(std::span<const std::uint8_t> payload);
    void onCurrentRegion(std::span<const std::uint8_t> payload);
    void onRegionSatellite(std::span<const std::uint8_t> payload);
    void onStatus(std::span<const std::uint8_t> payload);
    void onSetupMode(std::span<const std::uint8_t> payload);
    void onFactoryProgress(std::span<const std::uint8_t> payload);
    void showCurrentPosition();

    BytePort& m_Port;
    CommQueue& m_Queue;
    ControllerView& m_View;
    TimerBank& m_Timers;

    std::array<std::uint8_t, kFrameBufferSize> m_TxPayload{};
    std::array<std::uint8_t, kFrameBufferSize> m_TxFrame{};
    std::array<std::uint8_t, kFrameBufferSize> m_RxFrame{};
    FrameAssembler m_RxAssembler;
    // Reply 4 stores into the satellites of the region that reply 3 announced; before any
    // reply 3 there is no such region.
    bool m_RegionAnnounced = false;
    // Load_Progress is up between reply 30 and reply 32.
    bool m_FactoryResetShown = false;
    // The open link was opened by the automatic scan, which moves on from a silent port.
    bool m_ScanOpened = false;

    UploadExchange m_Upload{*this};
    LcdExchange m_Lcd{*this};
    DiagnosisExchange m_Diagnosis{*this};
};
