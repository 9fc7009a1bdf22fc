// The simulator on a real pseudo-terminal, played against as the program would: open the
// slave path, write commands, read replies. Real time, every wait bounded.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

#include "pty_server.h"
#include "sim_harness.h"

namespace {

// The program's end of the line. Each wait for bytes is bounded by two seconds.
class Terminal {
public:
    explicit Terminal(const std::string& path)
        : m_Fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Terminal() {
        if (m_Fd >= 0) ::close(m_Fd);
    }
    bool write(const Bytes& bytes) const {
        return ::write(m_Fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Count bytes, or fewer when they stop coming or the line ends.
    Bytes read(std::size_t count) {
        Bytes got(count);
        std::size_t n = 0;
        for (pollfd fd{m_Fd, POLLIN, 0}; n<count&& ::poll(&fd, 1, 2000)> 0;) {
            const ssize_t r = ::read(m_Fd, got.data() + n, count - n);
            if (r <= 0) {
                ended = true;  // the line is gone rather than "nothing yet"
                break;
            }
            n += static_cast<std::size_t>(r);
        }
        got.resize(n);
        return got;
    }

    bool ended = false;

private:
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

TEST_F(PtyServerTest, AHangUpIsSeenByTheProgramAsTheLineGoingAway) {
    server.withSimulator([](AcuSimulator& unit) { unit.faults().hangupAfterFrames = 1; });
    Terminal terminal(server.slavePath());
    ASSERT_TRUE(terminal.write(frameOf({0x01})));
    EXPECT_TRUE(terminal.read(1).empty()) << "never the answer to the frame it hung up on";
    EXPECT_TRUE(terminal.ended);
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!server.finished() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(server.finished());
    EXPECT_TRUE(server.hungUp());
}

TEST_F(PtyServerTest, OutlivesAProgramThatLeavesAndLosesNothingSentWhenItStops) {
    {
        Terminal first(server.slavePath());
        ASSERT_TRUE(first.write(frameOf({0x01})));
        EXPECT_EQ(first.read(6), (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));
    }
    server.withSimulator([](AcuSimulator& unit) { unit.faults().pace = true; });
    Terminal terminal(server.slavePath());
    ASSERT_TRUE(terminal.write(concat({frameOf({39}), frameOf({40}), frameOf({41})})));
    Bytes got = terminal.read(1);  // the replies are on their way
    ASSERT_EQ(got.size(), 1u);

    // stop() waits for this reader, so the reader must not be the one stopping.
    std::thread stopper([this] { server.stop(); });
    const Bytes rest = terminal.read(3 * 85 - 1);
    stopper.join();
    got.insert(got.end(), rest.begin(), rest.end());
    ASSERT_EQ(got.size(), 3u * 85u);
    EXPECT_EQ(got[85 + 2], 40);
    EXPECT_EQ(got[170 + 2], 41);
    EXPECT_TRUE(server.finished());
}

}  // namespace
