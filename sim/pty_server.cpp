#include "pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// A slave input queue that reads empty twice this far apart has really been taken: bytes
// written to the master reach it through the kernel's flip buffer a moment later.
constexpr auto kDrainCheck = std::chrono::milliseconds{5};

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::PtyServer(AcuSimulator& acu) : m_Acu(acu), m_Wire(acu.faults()) {
    m_Acu.setOutput([this](std::span<const std::uint8_t> bytes) {
        // Called with m_AcuMutex held, on whichever thread made the unit speak.
        m_Wire.enqueue(bytes, m_Acu.now());
    });
}

PtyServer::~PtyServer() {
    stop();
    m_Acu.setOutput(nullptr);
}

bool PtyServer::open(std::string& error) {
    if (m_Master >= 0) return true;
    m_Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_Master < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    std::array<char, 128> name{};
    if (grantpt(m_Master) != 0 || unlockpt(m_Master) != 0 ||
        ptsname_r(m_Master, name.data(), name.size()) != 0) {
        error = systemError("pseudo-terminal set-up");
        closeTerminal();
        return false;
    }
    m_SlavePath = name.data();
    m_Slave = ::open(m_SlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_Slave < 0) {
        error = systemError(m_SlavePath.c_str());
        closeTerminal();
        return false;
    }
    // Raw on both ends, so nothing is echoed or translated either way; the speed is only for
    // programs that look, the pair moves bytes at once.
    for (int fd : {m_Master, m_Slave}) {
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B57600);
        settings.c_cflag |= CLOCAL | CREAD;
        if (tcsetattr(fd, TCSANOW, &settings) != 0) {
            error = systemError("tcsetattr");
            closeTerminal();
            return false;
        }
    }
    m_Wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_Wake < 0) {
        error = systemError("eventfd");
        closeTerminal();
        return false;
    }
    return true;
}

bool PtyServer::start() {
    if (m_Master < 0 || m_Thread.joinable()) return false;
    m_Started = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(m_AcuMutex);
        m_ClockBase = m_Acu.now();
    }
    m_Thread = std::thread([this] { serve(); });
    return true;
}

void PtyServer::stop() {
    m_StopRequested = true;
    wake();
    if (m_Thread.joinable()) m_Thread.join();
    closeTerminal();
    // Only now, with the thread gone, can nobody be waking it any more.
    if (m_Wake >= 0) ::close(m_Wake);
    m_Wake = -1;
}

void PtyServer::hangUp() {
    m_HangupRequested = true;
    wake();
}

void PtyServer::wake() {
    if (m_Wake < 0) return;
    const std::uint64_t one = 1;
    // A full counter already means "wake up", so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(m_Wake, &one, sizeof one);
}

std::chrono::microseconds PtyServer::realNow() const {
    return m_ClockBase + std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - m_Started);
}

void PtyServer::serve() {
    for (;;) {
        if (m_HangupRequested) break;
        if (m_StopRequested) {
            drainToReader();
            break;
        }
        if (!serviceOnce()) break;
    }
    // Both descriptors go: the program's reads then end in a hang-up.
    if (m_HangupRequested) m_HungUp = true;
    closeTerminal();
    m_Finished = true;
}

int PtyServer::pollTimeoutMs() {
    const std::chrono::microseconds now = realNow();
    std::chrono::microseconds next = now + kIdleWait;
    {
        std::lock_guard<std::mutex> lock(m_AcuMutex);
        const auto consider = [&next](std::optional<std::chrono::microseconds> due) {
            if (due && *due < next) next = *due;
        };
        if (!m_WriteBlocked) consider(m_Wire.nextDue());
        consider(m_Acu.nextScheduled());
        consider(m_Acu.faults().hangupAfter);
    }
    if (next <= now) return 0;
    // Rounded up, so a paced byte is never polled for a moment too early again and again.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count());
}

bool PtyServer::serviceOnce() {
    std::array<pollfd, 2> fds{};
    fds[0].fd = m_Master;
    fds[0].events = static_cast<short>(POLLIN | (m_WriteBlocked ? POLLOUT : 0));
    fds[1].fd = m_Wake;
    fds[1].events = POLLIN;
    if (poll(fds.data(), fds.size(), pollTimeoutMs()) < 0 && errno != EINTR) return false;

    if (fds[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t taken = read(m_Wake, &count, sizeof count);
    }
    if (fds[0].revents & POLLOUT) m_WriteBlocked = false;

    std::vector<std::uint8_t> received;
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
        std::array<std::uint8_t, kReadChunk> chunk{};
        for (;;) {
            const ssize_t n = read(m_Master, chunk.data(), chunk.size());
            if (n > 0) {
                received.insert(received.end(), chunk.begin(), chunk.begin() + n);
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
            // With our own slave descriptor open this does not happen; if it does, the
            // terminal is gone and polling it again would only spin.
            if (received.empty()) return false;
            break;
        }
    }

    std::lock_guard<std::mutex> lock(m_AcuMutex);
    const std::chrono::microseconds now = realNow();
    if (now > m_Acu.now()) m_Acu.advance(now - m_Acu.now());
    if (!received.empty()) m_Acu.receive(received);
    if (m_Acu.faults().hangupDue(m_Acu.framesReceived(), m_Acu.now())) {
        m_HangupRequested = true;
        return true;
    }
    return writeDue(m_Acu.now());
}

bool PtyServer::writeDue(std::chrono::microseconds now) {
    bool broken = false;
    m_Wire.release(now, [this, &broken](std::span<const std::uint8_t> piece) {
        const ssize_t n = write(m_Master, piece.data(), piece.size());
        if (n >= 0) {
            if (static_cast<std::size_t>(n) < piece.size()) m_WriteBlocked = true;
            return static_cast<std::size_t>(n);
        }
        if (errno == EAGAIN || errno == EINTR) {
            m_WriteBlocked = true;
        } else {
            broken = true;
        }
        return std::size_t{0};
    });
    return !broken;
}

void PtyServer::drainToReader() {
    const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    // First what is still on its way out (paced or split), at its own pace; the unit itself
    // is not run any more, so it starts nothing new...
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_AcuMutex);
            if (!writeDue(realNow())) return;
            if (m_Wire.empty()) break;
        }
        if (std::chrono::steady_clock::now() >= deadline) return;
        pollfd fd{m_Master, static_cast<short>(m_WriteBlocked ? POLLOUT : 0), 0};
        if (poll(&fd, 1, 1) > 0 && (fd.revents & POLLOUT)) m_WriteBlocked = false;
    }
    // ...then until the reader has taken it from the slave's input queue.
    int emptyChecks = 0;
    while (emptyChecks < 2 && std::chrono::steady_clock::now() < deadline) {
        int waiting = 0;
        if (ioctl(m_Slave, FIONREAD, &waiting) != 0) return;
        emptyChecks = waiting == 0 ? emptyChecks + 1 : 0;
        std::this_thread::sleep_for(kDrainCheck);
    }
}

void PtyServer::closeTerminal() {
    // The master first: that is what the program sees as the line going away.
    for (int* fd : {&m_Master, &m_Slave}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}
