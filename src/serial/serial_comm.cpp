#include "serial/serial_comm.h"

#include "serial/port_order.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <system_error>

namespace {

struct BaudRate {
    std::uint32_t baud;
    speed_t speed;
};

// The rates a control unit or a USB adapter may be set to; the unit itself runs at 57600.
constexpr std::array<BaudRate, 9> kBaudRates{{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

std::optional<speed_t> speedForBaud(std::uint32_t baudRate) {
    for (const BaudRate& rate : kBaudRates) {
        if (rate.baud == baudRate) return rate.speed;
    }
    return std::nullopt;
}

// Epoll tags, so the watcher never has to read the descriptors back from the object while
// ClosePort may be changing them.
constexpr std::uint32_t kPortTag = 0;
constexpr std::uint32_t kCancelTag = 1;

bool watchForInput(int epollFd, int fd, std::uint32_t tag) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = tag;
    return epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) == 0;
}

// Raw 8N1, no flow control, reads that never wait: the watcher decides when to read.
void makeRawLine(termios& settings, speed_t speed) {
    cfmakeraw(&settings);
    // cfmakeraw leaves these alone; a previous user of the device may have set them, and
    // IXOFF alone would slip XON/XOFF bytes into what we send.
    settings.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY | INPCK | IUCLC | IMAXBEL);
    settings.c_cflag |= CLOCAL | CREAD;
    // A 3-wire cable to the unit has no RTS/CTS; with CRTSCTS left on by another program
    // every write would wait for a CTS that never comes.
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= CS8;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
}

// Gives up the device as OpenPort took it: exclusivity first, so a later open by us or by
// another tool is not refused because of a flag we left behind, then the lock.
void releaseDevice(int fd) {
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
    close(fd);
}

bool isTransient(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

// Not delegating: the queue member is constructed before m_QueueRead binds to it, whereas a
// delegating constructor would hand it over before any member exists.
CSerialComm::CSerialComm(CommConsumer& consumer)
    : m_QueueRead(m_OwnQueue), m_Consumer(consumer) {}

CSerialComm::CSerialComm(CommConsumer& consumer, CommQueue& queue)
    : m_QueueRead(queue), m_Consumer(consumer) {}

std::string CSerialComm::openFailure() const {
    return openFailureReason(m_nOpenError);
}

CSerialComm::~CSerialComm() {
    ClosePort();
}

int CSerialComm::OpenPort(const std::string& portName, std::uint32_t baudRate,
                          std::uint16_t portId) {
    // A watcher detached by a ClosePort from its own callback may still be on its way out.
    if (m_hComm >= 0 || m_hThread.joinable() || m_bWatcherRunning.load()) return 0;

    m_nOpenError = 0;
    m_wPortId = portId;
    m_sPortName = portName;
    m_bLineLost = false;
    m_bStalled = false;
    m_nReadsWithData = 0;
    forgetOverflows();
    m_QueueRead.clear();

    const int cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
        m_nOpenError = errno;
        return 0;
    }

    const int fd = open(portName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_nOpenError = errno;
        close(cancelFd);
        return 0;
    }
    // Root ignores TIOCEXCL, so the lock is what makes a second open of the line fail. The
    // flag is set only once the lock is ours: setting it on a line another program holds
    // would lock that program out of its own device.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another program holds the lock: the port is busy, whatever flock said.
        m_nOpenError = EBUSY;
        close(fd);
        close(cancelFd);
        return 0;
    }
    ioctl(fd, TIOCEXCL);

    const auto fail = [this, fd, cancelFd] {
        m_nOpenError = errno != 0 ? errno : EINVAL;
        releaseDevice(fd);
        close(cancelFd);
        return 0;
    };
    // Whatever sat in the buffers belongs to whoever had the line before.
    tcflush(fd, TCIOFLUSH);
    if (tcgetattr(fd, &m_savedTermios) != 0) return fail();

    const std::optional<speed_t> speed = speedForBaud(baudRate);
    if (!speed) {
        errno = EINVAL;
        return fail();
    }
    termios settings = m_savedTermios;
    makeRawLine(settings, *speed);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) return fail();

    {
        std::lock_guard lock(m_WriteMutex);
        m_hComm = fd;
        m_hCancel = cancelFd;
    }
    m_bConnected = 1;
    m_bWatcherRunning = true;
    try {
        // The watcher waits for this lock before its first step, so a ClosePort from one of
        // its callbacks finds m_hThread already holding it.
        std::lock_guard start(m_StartMutex);
        m_hThread = std::thread(&CSerialComm::watchDevice, this);
    } catch (const std::system_error&) {
        m_bWatcherRunning = false;
        ClosePort();
        m_nOpenError = EAGAIN;
        return 0;
    }
    return 1;
}

void CSerialComm::ClosePort() {
    m_bConnected = 0;
    if (m_hCancel >= 0) {
        // The counter is never read, so the eventfd stays readable: the watcher and any
        // WriteByte waiting for room both wake, now or whenever they wait next.
        const std::uint64_t one = 1;
        if (write(m_hCancel, &one, sizeof one) < 0) {
            // Only a counter at its maximum refuses, and then it is readable already.
        }
    }
    if (m_hThread.joinable()) {
        // From one of the watcher's own callbacks a join would wait for itself.
        if (m_hThread.get_id() == std::this_thread::get_id()) {
            m_hThread.detach();
        } else {
            m_hThread.join();
        }
    }

    std::lock_guard lock(m_WriteMutex);
    if (m_hComm >= 0) {
        tcflush(m_hComm, TCIOFLUSH);
        releaseDevice(m_hComm);
        m_hComm = -1;
    }
    if (m_hCancel >= 0) {
        close(m_hCancel);
        m_hCancel = -1;
    }
}

int CSerialComm::WriteByte(std::uint8_t byte) {
    if (m_bConnected.load() == 0) return 0;

    std::lock_guard lock(m_WriteMutex);
    if (m_bConnected.load() == 0 || m_hComm < 0 || m_bLineLost.load()) return 0;

    // Once the line has stalled, later bytes do not each wait the full limit again: they go
    // out only if the line takes them now, so a frame costs at most one limit, not one per byte.
    const auto deadline =
        std::chrono::steady_clock::now() +
        (m_bStalled ? std::chrono::milliseconds{0} : std::chrono::milliseconds{kWriteStallLimit});
    for (;;) {
        const ssize_t written = write(m_hComm, &byte, 1);
        if (written == 1) {
            m_bStalled = false;
            return 1;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitWritable(deadline)) continue;
            m_bStalled = true;
        }
        // EIO after a hang-up, a stalled line, or a close.
        return 0;
    }
}

bool CSerialComm::waitWritable(std::chrono::steady_clock::time_point deadline) const {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;

        std::array<pollfd, 2> fds{{{m_hComm, POLLOUT, 0}, {m_hCancel, POLLIN, 0}}};
        const int ready = poll(fds.data(), fds.size(), static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        if (fds[1].revents != 0) return false;
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return false;
        if ((fds[0].revents & POLLOUT) != 0) return true;
    }
}

std::uint32_t CSerialComm::ReadChunk(std::uint8_t* buffer) {
    if (m_hComm < 0) return 0;

    int held = 0;
    if (ioctl(m_hComm, FIONREAD, &held) != 0) {
        // A hung-up terminal answers every ioctl with EIO.
        m_bLineLost = true;
        return 0;
    }
    if (held <= 0) return 0;

    const auto wanted = std::min(static_cast<std::uint32_t>(held), kReadChunkSize);
    const ssize_t got = read(m_hComm, buffer, wanted);
    if (got > 0) {
        ++m_nReadsWithData;
        return static_cast<std::uint32_t>(got);
    }
    if (got < 0 && isTransient(errno)) return 0;
    // EIO, or end of file although bytes were announced: the line is gone.
    m_bLineLost = true;
    return 0;
}

bool CSerialComm::drainPort(std::uint8_t* chunk) {
    std::uint32_t n = ReadChunk(chunk);
    if (n == 0 && !m_bLineLost.load()) {
        // Readable yet nothing held. Level-triggered epoll would say so again at once, so
        // leaving it there would spin; a direct read tells a dead line (end of file, an
        // error) from a race that emptied the buffer (EAGAIN).
        const ssize_t got = read(m_hComm, chunk, kReadChunkSize);
        if (got > 0) {
            ++m_nReadsWithData;
            n = static_cast<std::uint32_t>(got);
        } else if (got == 0 || !isTransient(errno)) {
            m_bLineLost = true;
        }
    }

    bool delivered = false;
    while (n != 0) {
        queueChunk(m_QueueRead, m_Consumer, m_wPortId, chunk, n);
        delivered = true;
        // The consumer may have closed the port from onCommMessage.
        if (m_bConnected.load() != 1) break;
        n = ReadChunk(chunk);
    }
    return delivered;
}

void CSerialComm::watchDevice() {
    { const std::lock_guard started(m_StartMutex); }

    const int epollFd = epoll_create1(EPOLL_CLOEXEC);
    if (epollFd < 0 || !watchForInput(epollFd, m_hComm, kPortTag) ||
        !watchForInput(epollFd, m_hCancel, kCancelTag)) {
        // The port stays open and connected: the user sees the message and closes it.
        m_Consumer.onCommMessage("Error while creating watchDevice, " + m_sPortName);
        if (epollFd >= 0) close(epollFd);
        m_bWatcherRunning = false;
        return;
    }

    std::array<std::uint8_t, kReadChunkSize> chunk{};
    bool lost = false;
    while (!lost && m_bConnected.load() == 1) {
        std::array<epoll_event, 2> events{};
        const int count = epoll_wait(epollFd, events.data(), static_cast<int>(events.size()), -1);
        if (count < 0) {
            if (errno == EINTR) continue;
            // Without its wait the watcher can no longer see the line at all.
            lost = true;
            break;
        }

        bool cancelled = false;
        std::uint32_t portEvents = 0;
        for (int i = 0; i < count; ++i) {
            if (events[i].data.u32 == kCancelTag) {
                cancelled = true;
            } else {
                portEvents |= events[i].events;
            }
        }
        if (cancelled) continue;

        // Bytes that came in before a hang-up are still handed over first.
        if ((portEvents & EPOLLIN) != 0 && drainPort(chunk.data())) {
            // One notification per wake-up: the consumer drains the whole queue each time.
            m_Consumer.onCommRead(m_wPortId);
        }
        if ((portEvents & (EPOLLHUP | EPOLLERR)) != 0 || m_bLineLost.load()) lost = true;
    }

    // A line that drops while the user is closing it needs no report.
    if (lost && m_bConnected.load() == 1) {
        m_bLineLost = true;
        m_Consumer.onCommHangup(m_wPortId);
    }
    close(epollFd);
    m_bWatcherRunning = false;
}
