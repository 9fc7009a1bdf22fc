#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "serial/comm_line.h"
#include "serial/comm_queue.h"
#include "serial/network_address.h"

// The right line for a name: a serial server's address (tcp://, rfc2217://, and their +tls
// forms) is reached through gensio, anything else is a terminal device. Bytes land in queue
// and the consumer hears of them, whichever it is.
std::unique_ptr<CommLine> makeLine(const std::string& name, CommConsumer& consumer,
                                   CommQueue& queue, const TlsOptions& tls);

class GensioComm;

// The line a program holds for its whole run: one receive queue and one object for the
// controller to write to, while each OpenPort takes whatever kind of line the name calls for.
class PortLine : public CommLine {
public:
    explicit PortLine(CommConsumer& consumer, TlsOptions tls = {});
    ~PortLine() override;

    PortLine(const PortLine&) = delete;
    PortLine& operator=(const PortLine&) = delete;

    // Blocks until the line is open or failed: for a serial server's address that can be
    // several seconds per step. A window opens with beginOpen instead.
    int OpenPort(const std::string& portName, std::uint32_t baudRate,
                 std::uint16_t portId) override;
    // What beginOpen returns while a serial server's address is still being opened.
    static constexpr int kOpening = -1;
    // OpenPort that never holds up its caller: a terminal device opens at once (1 or 0 as
    // OpenPort), a serial server's address opens on a thread of its own and kOpening comes
    // back; finishOpen gives the result once it is there. Meanwhile isOpen is true.
    int beginOpen(const std::string& portName, std::uint32_t baudRate, std::uint16_t portId);
    // The result of the open beginOpen left running (1 or 0), or nothing while it still runs.
    std::optional<int> finishOpen();
    bool opening() const { return m_Opening != nullptr; }
    // Also calls off an open still running, and waits only for it to let go.
    void ClosePort() override;
    int WriteByte(std::uint8_t byte) override;
    // Whether the line last opened (or being opened) crosses a network.
    bool networkLine() const override;

    bool isOpen() const override;
    const std::string& portName() const override;
    std::string openFailure() const override;
    std::string hangupReason() const override;
    std::uint64_t droppedBytes() const override;
    void overflowShown() override;

    CommQueue m_QueueRead;

private:
    CommConsumer& m_Consumer;
    TlsOptions m_Tls;
    std::unique_ptr<CommLine> m_Line;  // the last one opened or tried
    // The address being opened by m_Opener; touched by nobody else until m_bOpenDone.
    std::unique_ptr<GensioComm> m_Opening;
    std::string m_sOpeningName;
    std::thread m_Opener;
    std::atomic<bool> m_bOpenDone{false};
    int m_nOpenResult = 0;
};
