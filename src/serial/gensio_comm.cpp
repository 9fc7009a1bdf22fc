#include "serial/gensio_comm.h"

#include <gensio/gensio.h>
#include <gensio/gensio_os_funcs.h>
#include <gensio/sergensio.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <csignal>
#include <system_error>
#include <utility>
#include <vector>

namespace {

gensio_time timeOf(std::chrono::nanoseconds span) {
    return {static_cast<std::int64_t>(span.count() / 1'000'000'000),
            static_cast<std::int32_t>(span.count() % 1'000'000'000)};
}

// A connection the server drops under a write would otherwise end the program with SIGPIPE;
// a lost connection is a hang-up the service thread reports, nothing more. Left alone when
// someone else has chosen what SIGPIPE does.
void ignoreBrokenPipes() {
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(SIGPIPE, SIG_IGN);
    }
}

void tuneKeepalive(int fd) {
    int protocol = 0;
    socklen_t length = sizeof protocol;
    if (getsockopt(fd, SOL_SOCKET, SO_PROTOCOL, &protocol, &length) != 0 ||
        protocol != IPPROTO_TCP) {
        return;
    }
    using std::chrono::seconds;
    const auto set = [fd](int option, int value) {
        // Best effort: a system that refuses keeps its own periods.
        setsockopt(fd, IPPROTO_TCP, option, &value, sizeof value);
    };
    set(TCP_KEEPIDLE, static_cast<int>(seconds{GensioComm::kKeepaliveIdle}.count()));
    set(TCP_KEEPINTVL, static_cast<int>(seconds{GensioComm::kKeepaliveInterval}.count()));
    // Enough probes to reach the silence limit; the user timeout below ends it there.
    set(TCP_KEEPCNT, static_cast<int>((GensioComm::kSilenceLimit - GensioComm::kKeepaliveIdle) /
                                      GensioComm::kKeepaliveInterval) +
                         1);
    set(TCP_USER_TIMEOUT,
        static_cast<int>(std::chrono::milliseconds{GensioComm::kSilenceLimit}.count()));
}

// gensio's event loop for the whole process, made on first use and kept: gensio ties the
// classes it loads to the loop they were first used with, so a loop freed and made again
// would leave them pointing at the old one. Each line's own thread runs it (in short slices,
// as no wake-up signal is set), and so does OpenPort while it waits.
//
// gensio turns TCP keepalive on but has no control for its periods, nor one that hands out
// the socket; its socket set-up is wrapped instead, so every connection gets ours before it
// connects.
struct EventLoop {
    gensio_os_funcs* os = nullptr;
    int (*socketSetup)(gensio_iod*, unsigned int, gensio_addr*) = nullptr;
};

const EventLoop& processEventLoop(int& error);

int socketSetupWithKeepalive(gensio_iod* iod, unsigned int flags, gensio_addr* bindAddress) {
    int unused = 0;
    const EventLoop& loop = processEventLoop(unused);
    const int result = loop.socketSetup(iod, flags, bindAddress);
    const unsigned int keepalive = GENSIO_SET_OPENSOCK_KEEPALIVE | GENSIO_OPENSOCK_KEEPALIVE;
    if (result == 0 && (flags & keepalive) == keepalive) tuneKeepalive(loop.os->iod_get_fd(iod));
    return result;
}

const EventLoop& processEventLoop(int& error) {
    static const EventLoop loop = [&error] {
        EventLoop made;
        error = gensio_default_os_hnd(0, &made.os);
        if (error != 0) return EventLoop{};
        made.socketSetup = made.os->socket_set_setup;
        made.os->socket_set_setup = socketSetupWithKeepalive;
        return made;
    }();
    if (loop.os == nullptr && error == 0) error = GE_NOTREADY;
    return loop;
}

}  // namespace

// What the open, close and line-setting callbacks report back to OpenPort's wait. Owned by
// the line, not a local: a callback that comes after a wait gave up still finds it there.
struct GensioComm::Wait {
    gensio_os_funcs* os = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    std::atomic<unsigned int> calls{0};
    int error = 0;
    unsigned int baud = 0;

    static void opened(gensio*, int err, void* data) {
        auto* wait = static_cast<Wait*>(data);
        wait->error = err;
        ++wait->calls;
    }
    static void closed(gensio*, void* data) { ++static_cast<Wait*>(data)->calls; }
    static void lineSet(sergensio*, int err, unsigned int, void* data) {
        auto* wait = static_cast<Wait*>(data);
        if (err != 0) wait->error = err;
        ++wait->calls;
    }
    static void baudSet(sergensio* sio, int err, unsigned int value, void* data) {
        static_cast<Wait*>(data)->baud = err == 0 ? value : 0;
        lineSet(sio, err, value, data);
    }
    void reset() {
        calls = 0;
        error = 0;
        baud = 0;
    }
    // Runs the event loop until count callbacks came; false when limit passed first. The
    // callback may run on another line's thread, which is why the count is only looked at.
    // A called-off open gives up too, unless the wait is for gensio to let go of the
    // connection: that one must end before the connection is freed.
    bool until(unsigned int count, std::chrono::nanoseconds limit, bool cancellable = true) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (calls.load() < count) {
            if (std::chrono::steady_clock::now() >= end) return false;
            if (cancellable && cancel->load()) return false;
            gensio_time slice = timeOf(kServiceSlice);
            gensio_os_funcs_service(os, &slice);
        }
        return true;
    }
};

GensioComm::GensioComm(CommConsumer& consumer, CommQueue& queue, TlsOptions tls)
    : m_Consumer(consumer), m_QueueRead(queue), m_Tls(std::move(tls)) {}

GensioComm::~GensioComm() {
    ClosePort();
    // A service thread that was let go from its own callback finishes its close first.
    while (m_bWatcherRunning.load()) std::this_thread::sleep_for(kServiceSlice);
}

int GensioComm::fail(int error, std::string reason) {
    m_nOpenError = error;
    m_sOpenFailure = reason.empty() ? networkFailureReason(error) : std::move(reason);
    return 0;
}

bool GensioComm::isOpen() const {
    return m_bWatcherRunning.load() || m_hThread.joinable();
}

int GensioComm::OpenPort(const std::string& portName, std::uint32_t baudRate,
                         std::uint16_t portId) {
    if (isOpen()) return 0;
    m_nOpenError = 0;
    m_sOpenFailure.clear();
    m_wPortId = portId;
    m_sPortName = portName;
    m_bLineLost = false;
    m_bReadPending = false;
    m_bHeardServer = false;
    m_Pending.clear();
    forgetOverflows();
    m_QueueRead.clear();

    const std::optional<NetworkAddress> address = parseNetworkAddress(portName);
    if (!address) return fail(GE_INVAL);
    const std::string stack = gensioStackFor(*address, m_Tls);
    if (stack.empty()) {
        return fail(GE_INVAL,
                    "A certificate or key path cannot hold a comma, a quote or a parenthesis.");
    }
    m_bTls = address->tls;
    if (m_bTls) {
        if (std::string problem = tlsFilesProblem(m_Tls); !problem.empty()) {
            return fail(GE_CERTNOTFOUND, std::move(problem));
        }
    }
    if (m_pOs == nullptr) {
        int error = 0;
        m_pOs = processEventLoop(error).os;
        if (m_pOs == nullptr) return fail(error);
        m_pWait = std::make_unique<Wait>();
        m_pWait->os = m_pOs;
        m_pWait->cancel = &m_bCancelOpen;
    }
    ignoreBrokenPipes();

    const auto openStart = std::chrono::steady_clock::now();
    if (!openConnection(stack)) {
        // Telnet's opening waits for the server's first answer, which a server that refused
        // our certificate never gives.
        if (m_bTls && m_nOpenError == GE_REMCLOSE) fail(GE_REMCLOSE, tlsRefusalReason(m_Tls));
        return 0;
    }
    // Reading from here on: telnet answers the line settings only while its input is read.
    // What the unit sends meanwhile waits in the queue for the first notification.
    gensio_set_read_callback_enable(m_pIo, true);
    // The server is proven first: nothing more goes to one whose certificate names another.
    if ((m_bTls && !m_Tls.insecure && !checkCertificate(address->host)) ||
        (m_bTls && !address->rfc2217 &&
         !awaitTlsVerdict(std::chrono::steady_clock::now() - openStart)) ||
        (address->rfc2217 && !setFarLine(baudRate))) {
        closeConnection();
        return 0;
    }
    m_OpenedAt = std::chrono::steady_clock::now();

    m_bConnected = 1;
    m_bWatcherRunning = true;
    try {
        std::lock_guard start(m_StartMutex);
        m_hThread = std::thread(&GensioComm::serviceLoop, this);
        m_hWriter = std::thread(&GensioComm::writerLoop, this);
    } catch (const std::system_error&) {
        // The service thread, if it started, ends at once and closes the connection.
        m_bConnected = 0;
        if (m_hThread.joinable()) {
            m_hThread.join();
        } else {
            m_bWatcherRunning = false;
            closeConnection();
        }
        return fail(GE_NOMEM);
    }
    return 1;
}

bool GensioComm::openConnection(const std::string& stack) {
    gensio* io = nullptr;
    if (const int err = str_to_gensio(stack.c_str(), m_pOs, &GensioComm::onEvent, this, &io)) {
        fail(err);
        return false;
    }
    m_pWait->reset();
    if (const int err = gensio_open(io, &Wait::opened, m_pWait.get())) {
        gensio_free(io);
        fail(err);
        return false;
    }
    if (!m_pWait->until(1, kOpenLimit)) {
        // Called off; the connection is freed only once gensio has let go of it.
        if (gensio_close(io, &Wait::closed, m_pWait.get()) == 0) {
            m_pWait->until(m_pWait->calls.load() + 1, kOpenLimit, false);
        }
        gensio_free(io);
        fail(GE_TIMEDOUT);
        return false;
    }
    if (m_pWait->error != 0) {
        gensio_free(io);
        fail(m_pWait->error);
        return false;
    }
    m_pIo = io;
    return true;
}

bool GensioComm::awaitTlsVerdict(std::chrono::steady_clock::duration openTook) {
    const auto end =
        std::chrono::steady_clock::now() +
        std::clamp<std::chrono::steady_clock::duration>(openTook, kTlsVerdictFloor, kOpenLimit);
    while (!m_bLineLost.load() && !m_bCancelOpen.load() && std::chrono::steady_clock::now() < end) {
        gensio_time slice = timeOf(kServiceSlice);
        gensio_os_funcs_service(m_pOs, &slice);
    }
    if (m_bCancelOpen.load()) {
        fail(GE_TIMEDOUT);
        return false;
    }
    if (!m_bLineLost.load()) return true;
    // A server whose line is in use says so before it closes.
    fail(GE_REMCLOSE, m_bHeardServer.load() ? "" : tlsRefusalReason(m_Tls));
    return false;
}

std::string GensioComm::hangupReason() const {
    const bool justOpened = std::chrono::steady_clock::now() - m_OpenedAt < kOpenLimit;
    if (m_bTls && m_bLineLost.load() && !m_bHeardServer.load() && justOpened) {
        return tlsRefusalReason(m_Tls);
    }
    return {};
}

bool GensioComm::setFarLine(std::uint32_t baudRate) {
    sergensio* serial = gensio_to_sergensio(m_pIo);
    if (serial == nullptr) {
        fail(GE_NOTSUP, "The server does not offer the COM port option (RFC 2217).");
        return false;
    }
    Wait& wait = *m_pWait;
    wait.reset();
    // All four asked at once: over a satellite link each answer costs a round trip.
    unsigned int asked = 0;
    asked += sergensio_baud(serial, baudRate, &Wait::baudSet, &wait) == 0 ? 1 : 0;
    asked += sergensio_datasize(serial, 8, &Wait::lineSet, &wait) == 0 ? 1 : 0;
    asked += sergensio_parity(serial, SERGENSIO_PARITY_NONE, &Wait::lineSet, &wait) == 0 ? 1 : 0;
    asked += sergensio_stopbits(serial, 1, &Wait::lineSet, &wait) == 0 ? 1 : 0;
    const bool answered = asked == 4 && wait.until(asked, kOpenLimit);
    if (m_bLineLost.load()) {
        fail(GE_REMCLOSE);  // a server whose line is in use says so and closes
        return false;
    }
    if (!answered || wait.error != 0 || wait.baud != baudRate) {
        fail(GE_NOTSUP, "The server did not set its line to " + std::to_string(baudRate) +
                            " 8N1 (RFC 2217): check that its port is a telnet port with "
                            "rfc2217.");
        return false;
    }
    return true;
}

bool GensioComm::checkCertificate(const std::string& host) {
    std::vector<char> text(65536);
    gensiods length = text.size();
    if (gensio_control(m_pIo, GENSIO_CONTROL_DEPTH_FIRST, true, GENSIO_CONTROL_CERT, text.data(),
                       &length) != 0) {
        fail(GE_NOCERT);
        return false;
    }
    if (!certificateNamesHost(
            std::string_view(text.data(), std::min<gensiods>(length, text.size())), host)) {
        fail(GE_CERTINVALID, "Certificate rejected: it is not made out to " + host + ".");
        return false;
    }
    return true;
}

void GensioComm::closeConnection() {
    gensio* io = std::exchange(m_pIo, nullptr);
    if (io == nullptr) return;
    gensio_close_s(io);
    gensio_free(io);
}

void GensioComm::ClosePort() {
    m_bConnected = 0;
    if (m_hThread.joinable()) {
        // From one of the service thread's own callbacks a join would wait for itself; the
        // thread closes the connection on its way out.
        if (m_hThread.get_id() == std::this_thread::get_id()) {
            m_hThread.detach();
            return;
        }
        m_hThread.join();
    }
    if (!m_bWatcherRunning.load()) closeConnection();
}

int GensioComm::WriteByte(std::uint8_t byte) {
    if (m_bConnected.load() == 0 || m_bLineLost.load()) return 0;
    {
        std::lock_guard lock(m_WriteMutex);
        if (m_Pending.size() >= kPendingLimit) return 0;
        m_Pending.push_back(byte);
    }
    m_WriteReady.notify_one();
    return 1;
}

void GensioComm::writerLoop() {
    std::vector<std::uint8_t> sending;
    for (;;) {
        {
            std::unique_lock lock(m_WriteMutex);
            m_WriteReady.wait(lock, [this] {
                return !m_Pending.empty() || m_bConnected.load() != 1 || m_bLineLost.load();
            });
            if (m_bConnected.load() != 1 || m_bLineLost.load()) return;
        }
        // The rest of the frame is on its way from the caller's loop.
        std::this_thread::sleep_for(kWriteGather);
        {
            std::lock_guard lock(m_WriteMutex);
            sending.swap(m_Pending);
        }
        if (!sendAll(sending)) {
            // The service thread reports it as a hang-up.
            m_bLineLost = true;
            return;
        }
        sending.clear();
    }
}

bool GensioComm::sendAll(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        gensiods count = 0;
        m_bWritable = false;
        if (gensio_write(m_pIo, &count, bytes.data() + sent, bytes.size() - sent, nullptr) != 0) {
            return false;
        }
        sent += count;
        if (sent == bytes.size()) break;
        // gensio's buffers are full. Polled, not waited on a condition: the write-ready
        // callback runs inside gensio and must not take a lock of ours.
        gensio_set_write_callback_enable(m_pIo, true);
        const auto deadline = std::chrono::steady_clock::now() + kWriteStallLimit;
        while (!m_bWritable.load()) {
            if (std::chrono::steady_clock::now() >= deadline || m_bConnected.load() != 1 ||
                m_bLineLost.load()) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds{2});
        }
    }
    return true;
}

int GensioComm::onEvent(gensio* io, void* self, int event, int err, unsigned char* buf,
                        unsigned long* buflen, const char* const*) {
    auto& line = *static_cast<GensioComm*>(self);
    switch (event) {
        case GENSIO_EVENT_READ:
            if (err != 0) {
                // The server closed, the link broke, or TLS failed: the line is gone.
                line.m_bLineLost = true;
                line.m_WriteReady.notify_one();
                gensio_set_read_callback_enable(io, false);
                return 0;
            }
            if (buflen != nullptr && *buflen > 0) {
                line.m_bHeardServer = true;
                line.queueChunk(line.m_QueueRead, line.m_Consumer, line.m_wPortId, buf,
                                static_cast<std::uint32_t>(*buflen));
                line.m_bReadPending = true;
            }
            return 0;
        case GENSIO_EVENT_WRITE_READY:
            gensio_set_write_callback_enable(io, false);
            line.m_bWritable = true;
            return 0;
        default:
            return GE_NOTSUP;
    }
}

void GensioComm::serviceLoop() {
    { const std::lock_guard started(m_StartMutex); }
    while (m_bConnected.load() == 1 && !m_bLineLost.load()) {
        gensio_time slice = timeOf(kServiceSlice);
        gensio_os_funcs_service(m_pOs, &slice);
        // One notification per pass: the consumer drains the whole queue each time.
        if (m_bReadPending.exchange(false) && m_bConnected.load() == 1) {
            m_Consumer.onCommRead(m_wPortId);
        }
    }
    m_WriteReady.notify_one();
    if (m_hWriter.joinable()) m_hWriter.join();
    closeConnection();
    // A connection that drops while the user is closing it needs no report.
    if (m_bLineLost.load() && m_bConnected.load() == 1) m_Consumer.onCommHangup(m_wPortId);
    m_bWatcherRunning = false;
}
