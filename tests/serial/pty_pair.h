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
#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal standing in for the cable: CSerialComm opens the slave by its path, the
// test plays the control unit on the master. The slave stays open for the pair's life, so the
// terminal doesn't vanish between two opens. Every wait is bounded.
class PtyPair {
public:
    PtyPair() {
        // No tcsetattr on the master: Linux would apply it to the slave, which starts cooked.
        if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) return;
        fcntl(m_master, F_SETFD, FD_CLOEXEC);
        fcntl(m_slave, F_SETFD, FD_CLOEXEC);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
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

    // Leaves the line as a careless earlier program might: cooked, echoing, with software
    // flow control, upper-case mapping, 7 bits, parity, two stop bits and RTS/CTS.
    bool messUpSettings() const {
        termios settings = slaveSettings();
        settings.c_iflag |= ICRNL | INLCR | IXON | IXOFF | IXANY | IUCLC | ISTRIP;
        settings.c_oflag |= OPOST | ONLCR | OLCUC;
        settings.c_lflag |= ICANON | ECHO | ECHOE | ECHOCTL | ISIG | IEXTEN;
        settings.c_cflag |= PARENB | PARODD | CSTOPB | CRTSCTS;
        settings.c_cflag = (settings.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7;
        return tcsetattr(m_slave, TCSANOW, &settings) == 0;
    }
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
        std::vector<std::uint8_t> copy = bytes;
        return transfer(POLLOUT, copy) == bytes.size();
    }
    // What the program sent: count bytes, fewer if they don't come within two seconds.
    std::vector<std::uint8_t> readExactly(std::size_t count) const {
        std::vector<std::uint8_t> bytes(count);
        bytes.resize(transfer(POLLIN, bytes));
        return bytes;
    }
    // Bytes the master could read right now.
    int pendingOnMaster() const {
        int held = 0;
        return ioctl(m_master, FIONREAD, &held) == 0 ? held : -1;
    }

private:
    std::size_t transfer(short events, std::vector<std::uint8_t>& bytes) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{2};
        std::size_t done = 0;
        while (done < bytes.size()) {
            const std::size_t left = bytes.size() - done;
            const ssize_t n = events == POLLIN ? read(m_master, bytes.data() + done, left)
                                               : write(m_master, bytes.data() + done, left);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{m_master, events, 0};
            if (wait.count() <= 0) break;
            if (poll(&fd, 1, static_cast<int>(wait.count())) < 0 && errno != EINTR) break;
        }
        return done;
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
