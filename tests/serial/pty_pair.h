#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal standing in for the cable: CSerialComm opens the slave by its path, the
// test plays the control unit on the master. The slave descriptor from openpty stays open for
// the pair's life, so the terminal doesn't come and go between two opens by the code under
// test. Every wait here is bounded, so a broken watcher fails a test instead of hanging it.
class PtyPair {
public:
    static constexpr auto kWait = std::chrono::milliseconds{2000};

    PtyPair() {
        if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) return;
        fcntl(m_master, F_SETFD, FD_CLOEXEC);
        fcntl(m_slave, F_SETFD, FD_CLOEXEC);
        // Non-blocking, so writeAll and readExactly can give up after kWait.
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        // No tcsetattr on the master: Linux applies it to the slave's settings, which would
        // make the line raw before the code under test does. The master's own side is raw
        // from the start; the slave starts cooked, as a terminal device does.
        std::array<char, 128> name{};
        if (ttyname_r(m_slave, name.data(), name.size()) == 0) m_slavePath = name.data();
    }

    ~PtyPair() {
        closeMaster();
        if (m_slave >= 0) close(m_slave);
    }

    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& slavePath() const { return m_slavePath; }

    // Leaves the line as a careless earlier program might have: cooked, echoing, with
    // software flow control, upper-case mapping both ways, parity, two stop bits and RTS/CTS.
    bool messUpSettings() const {
        termios settings{};
        if (tcgetattr(m_slave, &settings) != 0) return false;
        settings.c_iflag |= ICRNL | INLCR | IXON | IXOFF | IXANY | IUCLC | ISTRIP;
        settings.c_oflag |= OPOST | ONLCR | OLCUC;
        settings.c_lflag |= ICANON | ECHO | ECHOE | ECHOCTL | ISIG | IEXTEN;
        settings.c_cflag |= PARENB | PARODD | CSTOPB | CRTSCTS;
        settings.c_cflag = (settings.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7;
        return tcsetattr(m_slave, TCSANOW, &settings) == 0;
    }

    // The line's settings as the terminal holds them now.
    termios slaveSettings() const {
        termios settings{};
        tcgetattr(m_slave, &settings);
        return settings;
    }

    // The control unit's end goes away, as when the cable is pulled.
    void closeMaster() {
        if (m_master >= 0) close(m_master);
        m_master = -1;
    }

    bool writeAll(const std::vector<std::uint8_t>& bytes) const {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (!waitFor(POLLOUT, deadline)) {
                return false;
            }
        }
        return true;
    }

    // What the program sent, exactly count bytes; fewer if they don't come within kWait.
    std::vector<std::uint8_t> readExactly(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        std::vector<std::uint8_t> bytes(count);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = read(m_master, bytes.data() + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (!waitFor(POLLIN, deadline)) {
                break;
            }
        }
        bytes.resize(done);
        return bytes;
    }

    // Bytes the master could read right now, without waiting.
    int pendingOnMaster() const {
        int held = 0;
        return ioctl(m_master, FIONREAD, &held) == 0 ? held : -1;
    }

private:
    bool waitFor(short events, std::chrono::steady_clock::time_point deadline) const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{m_master, events, 0};
        return poll(&fd, 1, static_cast<int>(left.count())) >= 0 || errno == EINTR;
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
