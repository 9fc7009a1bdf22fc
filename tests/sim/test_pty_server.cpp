// The simulator on a real pseudo-terminal, played against by the test as the program would:
// open the slave path, write commands, read replies. Real time, every wait bounded.

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "pty_server.h"
#include "sim_harness.h"

namespace {

constexpr auto kWait = std::chrono::milliseconds{2000};

// The program's end of the line.
class Terminal {
public:
    explicit Terminal(const std::string& path)
        : m_Fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~Terminal() { close(); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool ok() const { return m_Fd >= 0; }
    void close() {
        if (m_Fd >= 0) ::close(m_Fd);
        m_Fd = -1;
    }

    bool write(const Bytes& bytes) const {
        return ::write(m_Fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Exactly count bytes, or fewer when they don't come within kWait.
    Bytes read(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        Bytes got;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            if (!waitFor(POLLIN, deadline)) break;
            std::uint8_t chunk[512];
            const ssize_t n = ::read(m_Fd, chunk, std::min(sizeof chunk, count - got.size()));
            if (n <= 0 && errno != EAGAIN) break;
            if (n > 0) got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

    // A read that says the line is gone rather than "nothing yet".
    bool readEnds() const {
        std::uint8_t byte = 0;
        const ssize_t n = ::read(m_Fd, &byte, 1);
        return n == 0 || (n < 0 && errno == EIO);
    }

    // The revents of one poll for input, waiting at most kWait.
    short pollInput() const {
        pollfd fd{m_Fd, POLLIN, 0};
        return poll(&fd, 1, static_cast<int>(kWait.count())) > 0 ? fd.revents : 0;
    }

private:
    bool waitFor(short events, std::chrono::steady_clock::time_point deadline) const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{m_Fd, events, 0};
        return left.count() > 0 && poll(&fd, 1, static_cast<int>(left.count())) > 0;
    }

    int m_Fd;
};

class PtyServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server.open(error)) << error;
        ASSERT_TRUE(server.start());
    }

    AcuSimulator acu;
    PtyServer server{acu};
};

TEST_F(PtyServerTest, ServesATerminalThatAnswersACommand) {
    struct stat info {};
    ASSERT_EQ(stat(server.slavePath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    Terminal terminal(server.slavePath());
    ASSERT_TRUE(terminal.ok());
    ASSERT_TRUE(terminal.write(frameOf({0x01})));
    EXPECT_EQ(terminal.read(6), (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));
}

TEST_F(PtyServerTest, TheProgramCanCloseAndReopenTheTerminal) {
    {
        Terminal first(server.slavePath());
        ASSERT_TRUE(first.write(frameOf({0x01})));
        EXPECT_EQ(first.read(6).size(), 6u);
    }
    Terminal again(server.slavePath());
    ASSERT_TRUE(again.ok());
    ASSERT_TRUE(again.write(frameOf({0x0F})));
    EXPECT_EQ(again.read(5), (Bytes{0x02, 0x01, 0x0F, 0x10, 0x03}));
    EXPECT_FALSE(server.finished());
}

TEST_F(PtyServerTest, UnaskedRepliesGoOutAtOnce) {
    Terminal terminal(server.slavePath());
    server.withSimulator([](AcuSimulator& unit) { unit.announceDefaultData(); });
    EXPECT_EQ(terminal.read(5), (Bytes{0x02, 0x01, 0x06, 0x07, 0x03}));
}

TEST_F(PtyServerTest, AHangUpIsSeenByTheProgramAsTheLineGoingAway) {
    server.withSimulator([](AcuSimulator& unit) { unit.faults().hangupAfterFrames = 1; });
    Terminal terminal(server.slavePath());
    ASSERT_TRUE(terminal.write(frameOf({0x01})));
    const short revents = terminal.pollInput();
    EXPECT_TRUE(revents & POLLHUP) << "revents " << revents;
    // Then reads end: end of file or EIO, and never the answer to the frame it hung up on.
    EXPECT_EQ(terminal.read(1).size(), 0u);
    EXPECT_TRUE(terminal.readEnds());
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!server.finished() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds{5});
    }
    EXPECT_TRUE(server.finished());
    EXPECT_TRUE(server.hungUp());
}

TEST_F(PtyServerTest, PacedRepliesTakeAtLeastTheirWireTime) {
    server.withSimulator([](AcuSimulator& unit) { unit.faults().pace = true; });
    Terminal terminal(server.slavePath());
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(terminal.write(frameOf({0x02})));
    EXPECT_EQ(terminal.read(54).size(), 54u);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, SimFaults::wireTime(54));
}

TEST_F(PtyServerTest, NothingAlreadySentIsLostWhenTheServerStops) {
    server.withSimulator([](AcuSimulator& unit) { unit.faults().pace = true; });
    Terminal terminal(server.slavePath());
    ASSERT_TRUE(terminal.write(concat({frameOf({39}), frameOf({40}), frameOf({41})})));
    Bytes got = terminal.read(1);  // the replies are on their way
    ASSERT_EQ(got.size(), 1u);

    // stop() waits for this reader, so the reader must not be the one stopping.
    const auto stopping = std::chrono::steady_clock::now();
    std::thread stopper([this] { server.stop(); });
    const Bytes rest = terminal.read(3 * 85 - 1);
    stopper.join();
    got.insert(got.end(), rest.begin(), rest.end());
    ASSERT_EQ(got.size(), 3u * 85u);
    EXPECT_EQ(got[85 + 2], 40);
    EXPECT_EQ(got[170 + 2], 41);
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, PtyServer::kDrainLimit);
    EXPECT_TRUE(server.finished());
}

}  // namespace
