#pragma once

#include <memory>
#include <string>

#include "serial/comm_line.h"
#include "serial/comm_queue.h"
#include "serial/network_address.h"

// The right line for a name: a serial server's address (tcp://, rfc2217://, and their +tls
// forms) is reached through gensio, anything else is a terminal device. Bytes land in queue
// and the consumer hears of them, whichever it is.
std::unique_ptr<CommLine> makeLine(const std::string& name, CommConsumer& consumer,
                                   CommQueue& queue, const TlsOptions& tls);

// The line a program holds for its whole run: one receive queue and one object for the
// controller to write to, while each OpenPort takes whatever kind of line the name calls for.
class PortLine : public CommLine {
public:
    explicit PortLine(CommConsumer& consumer, TlsOptions tls = {});
    ~PortLine() override;

    PortLine(const PortLine&) = delete;
    PortLine& operator=(const PortLine&) = delete;

    int OpenPort(const std::string& portName, std::uint32_t baudRate,
                 std::uint16_t portId) override;
    void ClosePort() override;
    int WriteByte(std::uint8_t byte) override;

    bool isOpen() const override;
    const std::string& portName() const override;
    std::string openFailure() const override;
    std::uint64_t droppedBytes() const override;
    void overflowShown() override;

    CommQueue m_QueueRead;

private:
    CommConsumer& m_Consumer;
    TlsOptions m_Tls;
    std::unique_ptr<CommLine> m_Line;  // the last one opened or tried
};
