#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/comm_line.h"
#include "serial/comm_queue.h"
#include "serial/network_address.h"

struct gensio;
struct gensio_os_funcs;

// The control unit's line through a serial server (ser2net or alike) over TCP, optionally with
// telnet's COM port option and TLS, by way of gensio. gensio runs its own event loop; a
// service thread of ours runs it and plays the terminal watcher's part: it moves what arrives
// into the queue and tells the consumer, once per batch, and a dropped connection is a
// hang-up, reported once like a pulled adapter. Writes are gathered and sent by a writer
// thread, so a frame crosses the network in one piece.
class GensioComm : public CommLine {
public:
    // Long enough for a TLS and telnet opening over a satellite link of 800 ms round trips;
    // the wait holds up the caller, so no longer than that.
    static constexpr auto kOpenLimit = std::chrono::seconds{10};
    // The service thread looks at its stop flag at least this often.
    static constexpr auto kServiceSlice = std::chrono::milliseconds{20};
    // A connection that takes nothing for this long is stalled, and taken for lost.
    static constexpr auto kWriteStallLimit = std::chrono::seconds{10};
    // Bytes are held this long before they go out together: a frame is written one byte at a
    // time, and one byte a packet (or a TLS record) would multiply what crosses a paid link.
    static constexpr auto kWriteGather = std::chrono::milliseconds{1};
    // Bytes waiting to go out beyond which writes fail: the connection is not moving them.
    static constexpr std::size_t kPendingLimit = 65536;
    // A link that drops without closing the connection (a satellite link losing the carrier)
    // leaves both ends waiting on each other; the system's keepalive would notice after two
    // hours. On our connections TCP probes an idle line after kKeepaliveIdle, every
    // kKeepaliveInterval, and gives up once nothing was heard, or something we sent was left
    // unacknowledged, for kSilenceLimit: then the connection fails and the line hangs up. On
    // a busy line (the status poll each second) the unacknowledged poll decides.
    static constexpr auto kKeepaliveIdle = std::chrono::seconds{5};
    static constexpr auto kKeepaliveInterval = std::chrono::seconds{2};
    static constexpr auto kSilenceLimit = std::chrono::seconds{15};
    // A server that checks client certificates says no by closing the connection once TLS is
    // set up, a round trip after our side of it ends; an open waits as long as it took, at
    // least this, to hear it.
    static constexpr auto kTlsVerdictFloor = std::chrono::milliseconds{500};
    static constexpr std::uint32_t kBaudRate = 57600;

    GensioComm(CommConsumer& consumer, CommQueue& queue, TlsOptions tls);
    ~GensioComm() override;

    GensioComm(const GensioComm&) = delete;
    GensioComm& operator=(const GensioComm&) = delete;

    // Connects to the address in portName (see NetworkAddress); with rfc2217 it also asks the
    // server for baudRate 8N1 on its line. Blocks until connected or failed, at most
    // kOpenLimit per step, or until cancelOpen.
    int OpenPort(const std::string& portName, std::uint32_t baudRate,
                 std::uint16_t portId) override;
    // Makes an OpenPort running on another thread give up at its next look (within
    // kServiceSlice) and fail as timed out. For good: this line opens no more.
    void cancelOpen() { m_bCancelOpen = true; }
    void ClosePort() override;
    int WriteByte(std::uint8_t byte) override;
    bool networkLine() const override { return true; }

    bool isOpen() const override;
    const std::string& portName() const override { return m_sPortName; }
    std::string openFailure() const override { return m_sOpenFailure; }
    std::string hangupReason() const override;

    // The gensio error of the last failed OpenPort (0 after a success).
    int openError() const { return m_nOpenError; }

private:
public:
    struct Wait;

private:
    static int onEvent(gensio* io, void* self, int event, int err, unsigned char* buf,
                       unsigned long* buflen, const char* const* auxdata);
    int fail(int error, std::string reason = {});
    bool openConnection(const std::string& stack);
    bool awaitTlsVerdict(std::chrono::steady_clock::duration openTook);
    bool setFarLine(std::uint32_t baudRate);
    bool checkCertificate(const std::string& host);
    void closeConnection();
    void serviceLoop();
    void writerLoop();
    // Hands bytes to gensio, waiting while its buffers are full; false on a lost or stalled
    // connection.
    bool sendAll(const std::vector<std::uint8_t>& bytes);

    CommConsumer& m_Consumer;
    CommQueue& m_QueueRead;
    TlsOptions m_Tls;

    gensio_os_funcs* m_pOs = nullptr;
    std::unique_ptr<Wait> m_pWait;
    gensio* m_pIo = nullptr;  // the writer thread is gone before it changes
    std::string m_sPortName;
    std::string m_sOpenFailure;
    int m_nOpenError = 0;
    std::uint16_t m_wPortId = 0;
    std::atomic<int> m_bConnected{0};
    std::atomic<bool> m_bWatcherRunning{false};
    std::atomic<bool> m_bLineLost{false};
    std::atomic<bool> m_bCancelOpen{false};
    std::atomic<bool> m_bReadPending{false};
    std::atomic<bool> m_bHeardServer{false};  // anything received since the open
    bool m_bTls = false;
    std::chrono::steady_clock::time_point m_OpenedAt;
    std::atomic<bool> m_bWritable{false};
    std::thread m_hThread;
    // The caller's writes gather here; the writer thread sends them.
    std::thread m_hWriter;
    std::mutex m_WriteMutex;
    std::condition_variable m_WriteReady;
    std::vector<std::uint8_t> m_Pending;
    std::mutex m_StartMutex;
};
