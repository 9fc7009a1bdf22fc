#include "serial/port_line.h"

#include "serial/gensio_comm.h"
#include "serial/serial_comm.h"

#include <system_error>

std::unique_ptr<CommLine> makeLine(const std::string& name, CommConsumer& consumer,
                                   CommQueue& queue, const TlsOptions& tls) {
    if (isNetworkAddress(name)) return std::make_unique<GensioComm>(consumer, queue, tls);
    return std::make_unique<CSerialComm>(consumer, queue);
}

PortLine::PortLine(CommConsumer& consumer, TlsOptions tls)
    : m_Consumer(consumer), m_Tls(std::move(tls)) {}

PortLine::~PortLine() {
    ClosePort();
}

int PortLine::beginOpen(const std::string& portName, std::uint32_t baudRate,
                        std::uint16_t portId) {
    if (!isNetworkAddress(portName)) return OpenPort(portName, baudRate, portId);
    if (isOpen()) return 0;
    m_Opening = std::make_unique<GensioComm>(m_Consumer, m_QueueRead, m_Tls);
    m_sOpeningName = portName;
    m_bOpenDone = false;
    try {
        m_Opener = std::thread([this, portName, baudRate, portId] {
            m_nOpenResult = m_Opening->OpenPort(portName, baudRate, portId);
            m_bOpenDone = true;
        });
    } catch (const std::system_error&) {
        // No thread to spare: the caller waits, as OpenPort would have it.
        m_nOpenResult = m_Opening->OpenPort(portName, baudRate, portId);
        m_bOpenDone = true;
    }
    return kOpening;
}

std::optional<int> PortLine::finishOpen() {
    if (!m_Opening) return 0;
    if (!m_bOpenDone.load()) return std::nullopt;
    if (m_Opener.joinable()) m_Opener.join();
    m_Line = std::move(m_Opening);
    return m_nOpenResult;
}

int PortLine::OpenPort(const std::string& portName, std::uint32_t baudRate, std::uint16_t portId) {
    if (isOpen()) return 0;
    // The line before is closed and its watcher gone (isOpen said so), so it can go.
    m_Line = makeLine(portName, m_Consumer, m_QueueRead, m_Tls);
    return m_Line->OpenPort(portName, baudRate, portId);
}

void PortLine::ClosePort() {
    if (m_Opening) {
        m_Opening->cancelOpen();
        if (m_Opener.joinable()) m_Opener.join();
        finishOpen();
    }
    if (m_Line) m_Line->ClosePort();
}

int PortLine::WriteByte(std::uint8_t byte) {
    return m_Line ? m_Line->WriteByte(byte) : 0;
}

bool PortLine::networkLine() const {
    if (opening()) return true;
    return m_Line && m_Line->networkLine();
}

bool PortLine::isOpen() const {
    return opening() || (m_Line && m_Line->isOpen());
}

const std::string& PortLine::portName() const {
    static const std::string kNone;
    if (opening()) return m_sOpeningName;
    return m_Line ? m_Line->portName() : kNone;
}

std::string PortLine::openFailure() const {
    return m_Line ? m_Line->openFailure() : "";
}

std::string PortLine::hangupReason() const {
    return m_Line ? m_Line->hangupReason() : "";
}

std::uint64_t PortLine::droppedBytes() const {
    return m_Line ? m_Line->droppedBytes() : 0;
}

void PortLine::overflowShown() {
    if (m_Line) m_Line->overflowShown();
}
