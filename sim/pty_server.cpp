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

namespace {

// A slave input queue that reads empty twice this far apart has really been taken: bytes
// written to the master reach it through the kernel's flip buffer a moment later.
constexpr auto kDrainCheck = std::chrono::milliseconds{5};

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::PtyServer(AcuSimulator& acu) : PtyServer(std::vector<AcuSimulator*>{&acu}) {}

PtyServer::PtyServer(const std::vector<AcuSimulator*>& units) {
    for (AcuSimulator* acu : units) {
        m_Units.push_back(std::make_unique<Terminal>(*acu));
        Terminal& unit = *m_Units.back();
        acu->setOutput([&unit](std::span<const std::uint8_t> bytes) {
            // Called with m_AcuMutex held, on whichever thread made the unit speak.
            unit.wire.enqueue(bytes, unit.acu->now());
        });
    }
}

PtyServer::~PtyServer() {
    stop();
    for (auto& unit : m_Units) unit->acu->setOutput(nullptr);
}

void PtyServer::openOne(Terminal& unit, std::string& error) {
    unit.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (unit.master < 0) {
        error = systemError("posix_openpt");
        return;
    }
    std::array<char, 128> name{};
    if (grantpt(unit.master) != 0 || unlockpt(unit.master) != 0 ||
        ptsname_r(unit.master, name.data(), name.size()) != 0) {
        error = systemError("pseudo-terminal set-up");
        return;
    }
    unit.slavePath = name.data();
    unit.slave = ::open(unit.slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (unit.slave < 0) {
        error = systemError(unit.slavePath.c_str());
        return;
    }
    // Raw on both ends, so nothing is echoed or translated either way; the speed is only for
    // programs that look, the pair moves bytes at once.
    for (int fd : {unit.master, unit.slave}) {
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B57600);
        settings.c_cflag |= CLOCAL | CREAD;
        if (tcsetattr(fd, TCSANOW, &settings) != 0) {
            error = systemError("tcsetattr");
            return;
        }
    }
}

bool PtyServer::open(std::string& error) {
    if (m_Wake >= 0) return true;
    for (auto& unit : m_Units) {
        openOne(*unit, error);
        if (error.empty()) continue;
        for (auto& opened : m_Units) closeTerminal(*opened);
        return false;
    }
    m_Wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_Wake < 0) {
        error = systemError("eventfd");
        for (auto& unit : m_Units) closeTerminal(*unit);
        return false;
    }
    return true;
}

bool PtyServer::start() {
    if (m_Wake < 0 || m_Thread.joinable()) return false;
    m_Started = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(m_AcuMutex);
        for (auto& unit : m_Units) unit->clockBase = unit->acu->now();
    }
    m_Thread = std::thread([this] { serve(); });
    return true;
}

void PtyServer::stop() {
    m_StopRequested = true;
    wake();
    if (m_Thread.joinable()) m_Thread.join();
    for (auto& unit : m_Units) closeTerminal(*unit);
    // Only now, with the thread gone, can nobody be waking it any more.
    if (m_Wake >= 0) ::close(m_Wake);
    m_Wake = -1;
}

void PtyServer::hangUp(std::size_t unit) {
    m_Units[unit]->hangupRequested = true;
    wake();
}

void PtyServer::wake() {
    if (m_Wake < 0) return;
    const std::uint64_t one = 1;
    // A full counter already means "wake up", so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(m_Wake, &one, sizeof one);
}

std::chrono::microseconds PtyServer::realNow(const Terminal& unit) const {
    return unit.clockBase + std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - m_Started);
}

void PtyServer::serve() {
    while (!m_StopRequested && serviceOnce()) {
    }
    if (m_StopRequested) drainToReaders();
    // The descriptors go: the programs' reads then end in a hang-up.
    for (auto& unit : m_Units) closeTerminal(*unit);
    m_Finished = true;
}

int PtyServer::pollTimeoutMs() {
    std::chrono::microseconds wait = kIdleWait;
    std::lock_guard<std::mutex> lock(m_AcuMutex);
    for (const auto& unit : m_Units) {
        if (unit->master < 0) continue;
        const std::chrono::microseconds now = realNow(*unit);
        const auto consider = [&wait, now](std::optional<std::chrono::microseconds> due) {
            if (due) wait = std::min(wait, *due - now);
        };
        if (!unit->writeBlocked) consider(unit->wire.nextDue());
        consider(unit->acu->nextScheduled());
        consider(unit->acu->faults().hangupAfter);
    }
    if (wait.count() <= 0) return 0;
    // Rounded up, so a paced byte is never polled for a moment too early again and again.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
}

bool PtyServer::readFrom(Terminal& unit, std::vector<std::uint8_t>& received) {
    std::array<std::uint8_t, kReadChunk> chunk{};
    for (;;) {
        const ssize_t n = read(unit.master, chunk.data(), chunk.size());
        if (n > 0) {
            received.insert(received.end(), chunk.begin(), chunk.begin() + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        // With our own slave descriptor open this does not happen; if it does, the terminal
        // is gone and polling it again would only spin.
        return !received.empty();
    }
}

bool PtyServer::serviceOnce() {
    std::vector<pollfd> fds{{m_Wake, POLLIN, 0}};
    std::vector<Terminal*> polled;
    for (auto& unit : m_Units) {
        if (unit->hangupRequested && unit->master >= 0) {
            closeTerminal(*unit);
            unit->hungUp = true;
        }
        if (unit->master < 0) continue;
        fds.push_back(
            {unit->master, static_cast<short>(POLLIN | (unit->writeBlocked ? POLLOUT : 0)), 0});
        polled.push_back(unit.get());
    }
    if (polled.empty()) return false;
    if (poll(fds.data(), fds.size(), pollTimeoutMs()) < 0 && errno != EINTR) return false;
    if (fds[0].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t taken = read(m_Wake, &count, sizeof count);
    }

    std::vector<std::vector<std::uint8_t>> received(polled.size());
    std::vector<bool> alive(polled.size(), true);
    for (std::size_t i = 0; i < polled.size(); ++i) {
        const short events = fds[i + 1].revents;
        if (events & POLLOUT) polled[i]->writeBlocked = false;
        if (events & (POLLIN | POLLHUP | POLLERR)) alive[i] = readFrom(*polled[i], received[i]);
    }
    std::lock_guard<std::mutex> lock(m_AcuMutex);
    for (std::size_t i = 0; i < polled.size(); ++i) {
        if (!alive[i] || !serviceUnit(*polled[i], received[i])) closeTerminal(*polled[i]);
    }
    return true;
}

bool PtyServer::serviceUnit(Terminal& unit, const std::vector<std::uint8_t>& received) {
    AcuSimulator& acu = *unit.acu;
    const std::chrono::microseconds now = realNow(unit);
    // A unit's clock moves only when something is due or bytes came: what happened meanwhile
    // is worked out then, so idle units of a fleet cost nothing between their commands.
    const auto scheduled = acu.nextScheduled();
    if (now > acu.now() && (!received.empty() || (scheduled && *scheduled <= now))) {
        acu.advance(now - acu.now());
    }
    if (!received.empty()) acu.receive(received);
    if (acu.faults().hangupDue(acu.framesReceived(), now)) {
        unit.hangupRequested = true;
        unit.hungUp = true;
        return false;
    }
    return writeDue(unit, now);
}

bool PtyServer::writeDue(Terminal& unit, std::chrono::microseconds now) {
    bool broken = false;
    unit.wire.release(now, [&unit, &broken](std::span<const std::uint8_t> piece) {
        const ssize_t n = write(unit.master, piece.data(), piece.size());
        if (n >= 0) {
            if (static_cast<std::size_t>(n) < piece.size()) unit.writeBlocked = true;
            return static_cast<std::size_t>(n);
        }
        if (errno == EAGAIN || errno == EINTR) {
            unit.writeBlocked = true;
        } else {
            broken = true;
        }
        return std::size_t{0};
    });
    return !broken;
}

void PtyServer::drainToReaders() {
    const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    // First what is still on its way out (paced or split), at its own pace; the units
    // themselves are not run any more, so they start nothing new...
    for (;;) {
        bool waiting = false;
        std::vector<pollfd> blocked;
        {
            std::lock_guard<std::mutex> lock(m_AcuMutex);
            for (auto& unit : m_Units) {
                if (unit->master < 0) continue;
                if (!writeDue(*unit, realNow(*unit))) closeTerminal(*unit);
                if (unit->master < 0 || unit->wire.empty()) continue;
                waiting = true;
                if (unit->writeBlocked) blocked.push_back({unit->master, POLLOUT, 0});
            }
        }
        if (!waiting || std::chrono::steady_clock::now() >= deadline) break;
        if (blocked.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds{1});
            continue;
        }
        poll(blocked.data(), blocked.size(), 1);
        for (const pollfd& fd : blocked) {
            if (!(fd.revents & POLLOUT)) continue;
            for (auto& unit : m_Units) {
                if (unit->master == fd.fd) unit->writeBlocked = false;
            }
        }
    }
    // ...then until the readers have taken it from the slaves' input queues.
    int emptyChecks = 0;
    while (emptyChecks < 2 && std::chrono::steady_clock::now() < deadline) {
        int waiting = 0;
        for (auto& unit : m_Units) {
            int held = 0;
            if (unit->slave >= 0 && ioctl(unit->slave, FIONREAD, &held) == 0) waiting += held;
        }
        emptyChecks = waiting == 0 ? emptyChecks + 1 : 0;
        std::this_thread::sleep_for(kDrainCheck);
    }
}

void PtyServer::closeTerminal(Terminal& unit) {
    // The master first: that is what the program sees as the line going away.
    for (int* fd : {&unit.master, &unit.slave}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}
