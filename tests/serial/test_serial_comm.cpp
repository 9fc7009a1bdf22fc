#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "serial/pty_pair.h"
#include "serial/serial_comm.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr auto kWait = std::chrono::milliseconds{2000};
constexpr std::uint32_t kBaud = 57600;
constexpr std::uint16_t kPortId = 7;

struct CommEvents {
    int reads = 0;
    int hangups = 0;
    std::vector<std::string> messages;
    std::vector<std::uint16_t> portIds;  // from reads and hang-ups, in order
};

// Records what the watcher tells, for the test thread to wait on with a time limit.
class RecordingConsumer : public CommConsumer {
public:
    void onCommRead(std::uint16_t portId) override {
        record([portId](CommEvents& events) {
            ++events.reads;
            events.portIds.push_back(portId);
        });
    }
    void onCommMessage(const std::string& text) override {
        record([&text](CommEvents& events) { events.messages.push_back(text); });
    }
    void onCommHangup(std::uint16_t portId) override {
        if (m_onHangup) m_onHangup();
        record([portId](CommEvents& events) {
            ++events.hangups;
            events.portIds.push_back(portId);
        });
    }

    // Runs on the watcher thread inside onCommHangup; set before the port is opened.
    void setHangupAction(std::function<void()> action) { m_onHangup = std::move(action); }

    bool waitUntil(const std::function<bool(const CommEvents&)>& done) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kWait, [&] { return done(m_events); });
    }

    CommEvents events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    void record(const std::function<void(CommEvents&)>& change) {
        {
            std::lock_guard lock(m_mutex);
            change(m_events);
        }
        m_changed.notify_all();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    CommEvents m_events;
    std::function<void()> m_onHangup;
};

// For states no callback announces, such as the watcher's flag dropping after its last call.
template <class Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Takes bytes from the receive queue as the GUI thread would, until count have come.
Bytes collect(CommQueue& queue, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    Bytes bytes;
    std::uint8_t byte = 0;
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (queue.get(byte)) {
            bytes.push_back(byte);
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    return bytes;
}

Bytes counting(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

std::chrono::nanoseconds processCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds{now.tv_sec} + std::chrono::nanoseconds{now.tv_nsec};
}

class SerialComm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.ok()) << "no pseudo-terminal available"; }

    int openPort() { return m_port.OpenPort(m_pty.slavePath(), kBaud, kPortId); }

    PtyPair m_pty;
    RecordingConsumer m_consumer;
    CSerialComm m_port{m_consumer};  // last, so it is closed before the terminal goes
};

}  // namespace

// --- Opening and closing ----------------------------------------------------------------------

TEST(SerialCommOpen, FailsOnAMissingDeviceAndLeavesNothingOpen) {
    RecordingConsumer consumer;
    CSerialComm port(consumer);
    EXPECT_EQ(port.OpenPort("/dev/skyrelay-no-such-line", kBaud, kPortId), 0);
    EXPECT_EQ(port.commHandle(), -1);
    EXPECT_FALSE(port.watcherJoinable());
    EXPECT_FALSE(port.watcherRunning());
    EXPECT_EQ(port.WriteByte(0x02), 0);
    port.ClosePort();
    port.ClosePort();
    EXPECT_TRUE(consumer.events().messages.empty());
}

TEST(SerialCommOpen, FailsOnAFileThatIsNotATerminal) {
    RecordingConsumer consumer;
    CSerialComm port(consumer);
    EXPECT_EQ(port.OpenPort("/dev/null", kBaud, kPortId), 0);
    EXPECT_EQ(port.commHandle(), -1);
    EXPECT_FALSE(port.watcherJoinable());
}

TEST_F(SerialComm, RefusesAnUnsupportedRateAndReleasesTheDevice) {
    EXPECT_EQ(m_port.OpenPort(m_pty.slavePath(), 12345, kPortId), 0);
    EXPECT_EQ(m_port.commHandle(), -1);
    EXPECT_FALSE(m_port.watcherJoinable());
    // The failed attempt left no lock behind.
    EXPECT_EQ(openPort(), 1);
}

TEST_F(SerialComm, OpensTheLineAndKeepsTheNameAsGiven) {
    ASSERT_EQ(openPort(), 1);
    EXPECT_GE(m_port.commHandle(), 0);
    EXPECT_TRUE(m_port.watcherJoinable());
    EXPECT_TRUE(m_port.watcherRunning());
    EXPECT_EQ(m_port.portName(), m_pty.slavePath());
}

TEST_F(SerialComm, SecondOpenWhileOpenChangesNothing) {
    ASSERT_EQ(openPort(), 1);
    const int handle = m_port.commHandle();
    EXPECT_EQ(m_port.OpenPort("/dev/skyrelay-other-line", kBaud, 9), 0);
    EXPECT_EQ(m_port.commHandle(), handle);
    EXPECT_EQ(m_port.portName(), m_pty.slavePath());

    // Still the same working line, still reporting as port 7.
    ASSERT_TRUE(m_pty.writeAll({0x02, 0x03}));
    EXPECT_EQ(collect(m_port.m_QueueRead, 2), (Bytes{0x02, 0x03}));
    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.reads >= 1; }));
    EXPECT_EQ(m_consumer.events().portIds.front(), kPortId);
}

TEST_F(SerialComm, SecondProgramIsLockedOutUntilTheFirstCloses) {
    ASSERT_EQ(openPort(), 1);

    RecordingConsumer otherConsumer;
    CSerialComm other(otherConsumer);
    EXPECT_EQ(other.OpenPort(m_pty.slavePath(), kBaud, 2), 0);
    EXPECT_EQ(other.commHandle(), -1);
    EXPECT_FALSE(other.watcherJoinable());

    m_port.ClosePort();
    EXPECT_EQ(other.OpenPort(m_pty.slavePath(), kBaud, 2), 1);
    other.ClosePort();
}

TEST_F(SerialComm, CloseStopsTheWatcherAndLaterWritesFailAtOnce) {
    ASSERT_EQ(openPort(), 1);
    EXPECT_EQ(m_port.WriteByte(0x41), 1);

    m_port.ClosePort();
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_FALSE(m_port.watcherRunning());
    EXPECT_EQ(m_port.commHandle(), -1);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_port.WriteByte(0x42), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    m_port.ClosePort();
    EXPECT_EQ(m_consumer.events().hangups, 0);
    // The port can be opened again after a close.
    EXPECT_EQ(openPort(), 1);
}

// --- Receiving --------------------------------------------------------------------------------

TEST_F(SerialComm, BurstArrivesIntactWithAtMostOneNotificationPerRead) {
    ASSERT_EQ(openPort(), 1);
    Bytes burst(3000);
    for (std::size_t i = 0; i < burst.size(); ++i) {
        burst[i] = static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF);
    }
    ASSERT_TRUE(m_pty.writeAll(burst));

    const Bytes received = collect(m_port.m_QueueRead, burst.size());
    ASSERT_EQ(received.size(), 3000u);
    EXPECT_EQ(received, burst);
    EXPECT_EQ(m_port.m_QueueRead.used(), 0u);

    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.reads >= 1; }));
    // Read the notifications first: the counter of reads only grows in between.
    const int notifications = m_consumer.events().reads;
    const std::uint32_t reads = m_port.readsWithData();
    EXPECT_LE(static_cast<std::uint32_t>(notifications), reads);
    // 3000 bytes need at least two reads of at most 2048.
    EXPECT_GE(reads, 2u);
    for (std::uint16_t id : m_consumer.events().portIds) EXPECT_EQ(id, kPortId);
}

TEST_F(SerialComm, FullQueueDropsTheWholeChunkAndSaysSo) {
    ASSERT_EQ(openPort(), 1);
    // Nobody drains the queue here; the test stands in for the watcher just this once, while
    // the line is still silent.
    const Bytes earlier = counting(8000);
    ASSERT_TRUE(m_port.m_QueueRead.putChunk(earlier.data(), 8000));

    // One write of 200 bytes: the terminal hands it over as one read, one byte too many.
    ASSERT_TRUE(m_pty.writeAll(Bytes(200, 0xC3)));
    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.reads >= 1; }));
    EXPECT_EQ(m_consumer.events().messages, std::vector<std::string>{"m_QueueRead FULL!"});
    EXPECT_EQ(m_port.m_QueueRead.used(), 8000u);

    // 191 bytes leave exactly the one slot that must stay free.
    const Bytes fits = counting(191, 0x80);
    ASSERT_TRUE(m_pty.writeAll(fits));
    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.reads >= 2; }));
    EXPECT_EQ(m_consumer.events().messages.size(), 1u);
    EXPECT_EQ(m_port.m_QueueRead.used(), 8191u);

    const Bytes all = collect(m_port.m_QueueRead, 8191);
    ASSERT_EQ(all.size(), 8191u);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 8000), earlier);
    EXPECT_EQ(Bytes(all.begin() + 8000, all.end()), fits);
}

// --- Raw line ---------------------------------------------------------------------------------

TEST_F(SerialComm, EveryByteValueCrossesBothWaysUnchanged) {
    // Whatever the line was left with, OpenPort makes it raw 8N1.
    ASSERT_TRUE(m_pty.messUpSettings());
    ASSERT_EQ(openPort(), 1);

    // Unit to program: CR, LF, XON (0x11), XOFF (0x13), ^C and 0xFF among them.
    const Bytes ascending = counting(256);
    ASSERT_TRUE(m_pty.writeAll(ascending));
    EXPECT_EQ(collect(m_port.m_QueueRead, 256), ascending);

    // Program to unit, in the other order, so an echo of what came in can't pass for it.
    Bytes descending(256);
    for (int i = 0; i < 256; ++i) descending[i] = static_cast<std::uint8_t>(255 - i);
    for (std::uint8_t byte : descending) ASSERT_EQ(m_port.WriteByte(byte), 1);
    EXPECT_EQ(m_pty.readExactly(256), descending);
    EXPECT_EQ(m_pty.pendingOnMaster(), 0);
}

TEST_F(SerialComm, LineIsSetTo57600EightBitsNoParityOneStopWithoutFlowControl) {
    ASSERT_TRUE(m_pty.messUpSettings());
    ASSERT_EQ(openPort(), 1);

    const termios line = m_pty.slaveSettings();
    EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B57600));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);
    // A 3-wire cable: hardware flow control left on would block every write.
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | ISTRIP | IUCLC), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    // Reads return at once with what is there: the watcher decides when to read.
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
}

// --- Lost line --------------------------------------------------------------------------------

TEST_F(SerialComm, HangupIsReportedOnceAndTheWatcherEndsWithoutSpinning) {
    ASSERT_EQ(openPort(), 1);
    m_pty.closeMaster();

    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.hangups >= 1; }));
    EXPECT_TRUE(eventually([&] { return !m_port.watcherRunning(); }));

    const auto cpuBefore = processCpuTime();
    std::this_thread::sleep_for(200ms);
    const auto cpuSpent = processCpuTime() - cpuBefore;
    EXPECT_LT(cpuSpent, 50ms);

    const CommEvents events = m_consumer.events();
    EXPECT_EQ(events.hangups, 1);
    EXPECT_EQ(events.reads, 0);
    EXPECT_EQ(events.portIds, std::vector<std::uint16_t>{kPortId});
    EXPECT_EQ(m_port.WriteByte(0x02), 0);

    m_port.ClosePort();
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_EQ(m_consumer.events().hangups, 1);
}

TEST_F(SerialComm, ClosingFromTheHangupCallbackNeitherDeadlocksNorAborts) {
    // A consumer may close the port straight from the watcher's own call.
    m_consumer.setHangupAction([this] { m_port.ClosePort(); });
    ASSERT_EQ(openPort(), 1);
    m_pty.closeMaster();

    ASSERT_TRUE(m_consumer.waitUntil([](const CommEvents& e) { return e.hangups >= 1; }));
    ASSERT_TRUE(eventually([&] { return !m_port.watcherRunning(); }));
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_EQ(m_port.commHandle(), -1);
    EXPECT_EQ(m_port.WriteByte(0x02), 0);
    EXPECT_EQ(m_consumer.events().hangups, 1);
}

TEST_F(SerialComm, WriteGivesUpOnALineThatTakesNothing) {
    ASSERT_EQ(openPort(), 1);
    // The master never reads: once the terminal's buffers are full every write would wait.
    constexpr int kMaxBytes = 1'000'000;
    int accepted = 0;
    std::chrono::steady_clock::duration lastCall{};
    while (accepted < kMaxBytes) {
        const auto start = std::chrono::steady_clock::now();
        const int result = m_port.WriteByte(0x55);
        lastCall = std::chrono::steady_clock::now() - start;
        if (result == 0) break;
        ++accepted;
    }
    EXPECT_LT(accepted, kMaxBytes);
    EXPECT_GT(accepted, 4096);
    // It waited for room first, then gave up instead of hanging.
    EXPECT_GE(lastCall, CSerialComm::kWriteStallLimit - 50ms);
    EXPECT_LT(lastCall, CSerialComm::kWriteStallLimit + 1000ms);
    EXPECT_EQ(m_consumer.events().hangups, 0);
}

// --- Watcher that can't start -----------------------------------------------------------------

namespace {

// Takes every free descriptor but `spare`, so the next ones opened beyond those fail with
// EMFILE; undone on destruction even when an assertion returns early.
class DescriptorFamine {
public:
    explicit DescriptorFamine(int spare) {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        m_null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (m_null < 0) return;
        // A low limit keeps the filling short.
        rlimit lowered = m_saved;
        lowered.rlim_cur = std::min<rlim_t>(m_saved.rlim_cur, static_cast<rlim_t>(m_null) + 32);
        if (setrlimit(RLIMIT_NOFILE, &lowered) != 0) return;
        m_limited = true;
        for (;;) {
            const int fd = fcntl(m_null, F_DUPFD_CLOEXEC, 0);
            if (fd < 0) {
                m_exhausted = errno == EMFILE;
                break;
            }
            m_fillers.push_back(fd);
        }
        int freed = 0;
        for (; freed < spare && !m_fillers.empty(); ++freed) {
            close(m_fillers.back());
            m_fillers.pop_back();
        }
        m_exhausted = m_exhausted && freed == spare;
    }

    ~DescriptorFamine() { end(); }

    bool ready() const { return m_limited && m_exhausted; }

    void end() {
        for (int fd : m_fillers) close(fd);
        m_fillers.clear();
        if (m_limited) setrlimit(RLIMIT_NOFILE, &m_saved);
        m_limited = false;
        if (m_null >= 0) close(m_null);
        m_null = -1;
    }

private:
    rlimit m_saved{};
    int m_null = -1;
    bool m_limited = false;
    bool m_exhausted = false;
    std::vector<int> m_fillers;
};

}  // namespace

TEST_F(SerialComm, WatcherThatCannotStartIsReportedWithThePortName) {
    // OpenPort itself needs two descriptors (its cancel event and the device); the watcher's
    // epoll instance would be the third.
    DescriptorFamine famine(2);
    ASSERT_TRUE(famine.ready());

    const int opened = openPort();
    const bool told = m_consumer.waitUntil([](const CommEvents& e) { return !e.messages.empty(); });
    famine.end();

    EXPECT_EQ(opened, 1);
    ASSERT_TRUE(told);
    EXPECT_EQ(
        m_consumer.events().messages,
        std::vector<std::string>{"Error while creating ThreadWatchComm, " + m_pty.slavePath()});
    EXPECT_TRUE(eventually([&] { return !m_port.watcherRunning(); }));
    // As the program always did: the port stays open until the user closes it.
    EXPECT_GE(m_port.commHandle(), 0);
    EXPECT_EQ(m_consumer.events().hangups, 0);

    m_port.ClosePort();
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_EQ(m_port.commHandle(), -1);
}
