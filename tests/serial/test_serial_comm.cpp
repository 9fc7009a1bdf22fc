#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "serial/pty_pair.h"
#include "serial/serial_comm.h"
#include "support/bytes.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kBaud = 57600;
constexpr std::uint16_t kPortId = 7;

// Polls for up to two seconds, so a broken watcher fails a test instead of hanging it.
template <class Condition>
bool eventually(Condition condition) {
    // Generous: only a failure waits it out, and a loaded machine can be slow.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Takes bytes from the receive queue as the GUI thread would, until count have come.
Bytes collect(CommQueue& queue, std::size_t count) {
    Bytes bytes;
    std::uint8_t byte = 0;
    eventually([&] {
        while (bytes.size() < count && queue.get(byte)) bytes.push_back(byte);
        return bytes.size() == count;
    });
    return bytes;
}

// The port on a pseudo-terminal; the fixture is its consumer and records what it is told.
class SerialComm : public ::testing::Test, public CommConsumer {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.ok()) << "no pseudo-terminal available"; }
    // The watcher calls back into this fixture: it must be gone before the fixture goes.
    void TearDown() override { m_port.ClosePort(); }

    void onCommRead(std::uint16_t) override { ++reads; }
    void onCommHangup(std::uint16_t) override {
        if (onHangup) onHangup();  // on the watcher thread
        ++hangups;
    }
    void onCommMessage(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(text);
    }
    std::vector<std::string> messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

    int openPort() { return m_port.OpenPort(m_pty.slavePath(), kBaud, kPortId); }
    static void expectClosed(CSerialComm& port) {
        EXPECT_EQ(port.commHandle(), -1);
        EXPECT_FALSE(port.watcherJoinable());
        EXPECT_FALSE(port.watcherRunning());
        EXPECT_EQ(port.WriteByte(0x02), 0);
    }

    std::atomic<int> reads{0};
    std::atomic<int> hangups{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    std::function<void()> onHangup;
    PtyPair m_pty;
    CSerialComm m_port{*this};  // last, so it is closed before the terminal goes
};

TEST_F(SerialComm, FailedOpensLeaveNothingOpenAndASecondOpenIsRefusedUntilClose) {
    EXPECT_EQ(m_port.OpenPort("/dev/skyrelay-no-such-line", kBaud, kPortId), 0);
    EXPECT_EQ(m_port.openError(), ENOENT);
    expectClosed(m_port);
    EXPECT_EQ(m_port.OpenPort("/dev/null", kBaud, kPortId), 0);  // not a terminal
    expectClosed(m_port);
    EXPECT_EQ(m_port.OpenPort(m_pty.slavePath(), 12345, kPortId), 0);  // unsupported rate
    expectClosed(m_port);

    // Nothing of the failed opens is left to refuse a good one.
    ASSERT_EQ(openPort(), 1);
    EXPECT_EQ(m_port.openError(), 0);

    // A second open changes nothing: the same working line.
    const int handle = m_port.commHandle();
    EXPECT_EQ(m_port.OpenPort("/dev/skyrelay-other-line", kBaud, 9), 0);
    EXPECT_EQ(m_port.commHandle(), handle);
    EXPECT_EQ(m_port.portName(), m_pty.slavePath());
    ASSERT_TRUE(m_pty.writeAll({0x02, 0x03}));
    EXPECT_EQ(collect(m_port.m_QueueRead, 2), (Bytes{0x02, 0x03}));
    ASSERT_TRUE(eventually([&] { return reads >= 1; }));

    // Another program is locked out until this one closes the line.
    CSerialComm other(*this);
    EXPECT_EQ(other.OpenPort(m_pty.slavePath(), kBaud, 2), 0);
    EXPECT_EQ(other.openError(), EBUSY);
    expectClosed(other);
    m_port.ClosePort();
    EXPECT_EQ(other.OpenPort(m_pty.slavePath(), kBaud, 2), 1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(hangups, 0);
}

TEST_F(SerialComm, LineIsRaw57600EightNoneOneAndEveryByteValueCrossesBothWays) {
    ASSERT_TRUE(m_pty.messUpSettings());
    ASSERT_EQ(openPort(), 1);
    const termios line = m_pty.slaveSettings();
    EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B57600));
    // No RTS/CTS: on a 3-wire cable it would block every write.
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CLOCAL | CREAD | CRTSCTS),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | ISTRIP | IUCLC), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);  // reads return at once with what is there
    EXPECT_EQ(line.c_cc[VTIME], 0);

    // Unit to program: CR, LF, XON, XOFF, ^C and 0xFF among them, in a burst longer than
    // one read (2048 bytes), with no more notifications than reads.
    ASSERT_TRUE(m_pty.writeAll(counting(3000)));
    EXPECT_EQ(collect(m_port.m_QueueRead, 3000), counting(3000));
    ASSERT_TRUE(eventually([&] { return reads >= 1; }));
    const int notifications = reads;  // first: reads only grow meanwhile
    EXPECT_LE(static_cast<std::uint32_t>(notifications), m_port.readsWithData());
    EXPECT_GE(m_port.readsWithData(), 2u);
    // Program to unit, in the other order, so an echo can't pass for it.
    Bytes descending = counting(256);
    std::reverse(descending.begin(), descending.end());
    for (std::uint8_t byte : descending) ASSERT_EQ(m_port.WriteByte(byte), 1);
    EXPECT_EQ(m_pty.readExactly(256), descending);
    EXPECT_EQ(m_pty.pendingOnMaster(), 0);
}

TEST_F(SerialComm, FullQueueDropsWholeChunksAndSaysSoOnceUntilShown) {
    ASSERT_EQ(openPort(), 1);
    // The test stands in for the watcher this once, while the line is still silent.
    ASSERT_TRUE(m_port.m_QueueRead.putChunk(counting(8000).data(), 8000));
    // One write of 200 bytes comes as one read: one byte too many.
    ASSERT_TRUE(m_pty.writeAll(Bytes(200, 0xC3)));
    ASSERT_TRUE(eventually([&] { return reads >= 1; }));
    EXPECT_EQ(messages(), std::vector<std::string>{"m_QueueRead FULL!"});
    EXPECT_EQ(m_port.m_QueueRead.used(), 8000u);
    // 191 bytes leave exactly the one slot that must stay free.
    ASSERT_TRUE(m_pty.writeAll(counting(191, 0x80)));
    ASSERT_TRUE(eventually([&] { return reads >= 2; }));

    // A flood into the full queue is counted byte by byte but said only once more after the
    // consumer has shown the first message, not once per chunk.
    ASSERT_TRUE(m_pty.writeAll(Bytes(60000, 0x55)));
    ASSERT_TRUE(eventually([&] { return m_port.droppedBytes() == 200u + 60000u; }));
    EXPECT_EQ(messages().size(), 1u);
    m_port.overflowShown();
    ASSERT_TRUE(m_pty.writeAll(Bytes(10, 0x55)));
    ASSERT_TRUE(eventually([&] { return m_port.droppedBytes() == 200u + 60010u; }));
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(collect(m_port.m_QueueRead, 8191), concat({counting(8000), counting(191, 0x80)}));
}

TEST_F(SerialComm, HangupIsReportedOnceAndTheWatcherEndsEvenIfTheCallbackCloses) {
    ASSERT_EQ(openPort(), 1);
    m_pty.closeMaster();
    ASSERT_TRUE(eventually([&] { return hangups >= 1; }));
    // A watcher that went on waiting on the dead line would spin: it must have returned.
    EXPECT_TRUE(eventually([&] { return !m_port.watcherRunning(); }));
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(m_port.WriteByte(0x02), 0);
    m_port.ClosePort();
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_EQ(hangups, 1);

    // Closing from inside the callback must neither wait for itself nor abort.
    PtyPair pty;
    CSerialComm port(*this);
    onHangup = [&port] { port.ClosePort(); };
    ASSERT_EQ(port.OpenPort(pty.slavePath(), kBaud, kPortId), 1);
    pty.closeMaster();
    ASSERT_TRUE(eventually([&] { return hangups >= 2; }));
    ASSERT_TRUE(eventually([&] { return !port.watcherRunning(); }));
    expectClosed(port);
    EXPECT_EQ(hangups, 2);
}

TEST_F(SerialComm, WriteGivesUpOnALineThatTakesNothing) {
    ASSERT_EQ(openPort(), 1);
    // The master never reads: once the terminal's buffers are full every write would wait.
    int accepted = 0;
    std::chrono::steady_clock::duration lastCall{};
    for (int result = 1; result == 1 && accepted < 1'000'000; accepted += result) {
        const auto start = std::chrono::steady_clock::now();
        result = m_port.WriteByte(0x55);
        lastCall = std::chrono::steady_clock::now() - start;
    }
    EXPECT_GT(accepted, 4096);
    EXPECT_LT(accepted, 1'000'000);
    // It waited for room first, then gave up instead of hanging. The upper bound only tells a
    // give-up from a hang: a loaded machine may leave the thread unscheduled for seconds.
    EXPECT_GE(lastCall, CSerialComm::kWriteStallLimit - 50ms);
    EXPECT_LT(lastCall, CSerialComm::kWriteStallLimit + 10s);
    EXPECT_EQ(hangups, 0);

    // The rest of a frame on the stalled line fails at once rather than a second a byte.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 80; ++i) EXPECT_EQ(m_port.WriteByte(0x55), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20 * CSerialComm::kWriteStallLimit);
}

TEST_F(SerialComm, WatcherThatCannotStartIsReportedWithThePortName) {
    // OpenPort takes two descriptors, so a limit just above the next two free ones leaves
    // none for the watcher's epoll. UBSan's first virtual call on a type needs a pipe: make
    // the watcher's call once beforehand.
    ASSERT_EQ(openPort(), 1);
    m_port.ClosePort();
    static_cast<CommConsumer&>(*this).onCommRead(kPortId);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int first = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int second = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GT(second, first);
    ::close(first);
    ::close(second);
    rlimit lowered = saved;
    lowered.rlim_cur = static_cast<rlim_t>(second) + 1;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    const int opened = openPort();
    const bool told = eventually([&] { return !messages().empty(); });
    setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_EQ(opened, 1);
    ASSERT_TRUE(told);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Error while creating watchDevice, " + m_pty.slavePath()});
    EXPECT_TRUE(eventually([&] { return !m_port.watcherRunning(); }));
    // As the program always did: the port stays open until the user closes it.
    EXPECT_GE(m_port.commHandle(), 0);
    EXPECT_EQ(hangups, 0);
    m_port.ClosePort();
    EXPECT_FALSE(m_port.watcherJoinable());
    EXPECT_EQ(m_port.commHandle(), -1);
}

}  // namespace
