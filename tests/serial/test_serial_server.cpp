#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>

#include "acu_simulator.h"
#include "frame_log.h"
#include "pty_server.h"

#include "data/sif_reader.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "link/protocol.h"
#include "serial/port_line.h"
#include "support/link_fixture.h"
#include "support/ser2net_server.h"

using namespace std::chrono_literals;
using Mode = Ser2netServer::Mode;

namespace {

// The watcher's calls, taken up by the test's own loop as a window takes them on its thread.
struct FlagConsumer : CommConsumer {
    void onCommRead(std::uint16_t) override { read = true; }
    void onCommMessage(const std::string&) override {}
    void onCommHangup(std::uint16_t) override { ++hangups; }
    std::atomic<bool> read{false};
    std::atomic<int> hangups{0};
};

// The controller with its real line, on the simulated unit served on a pseudo-terminal; the
// unit's frames are logged as skyrelay-acu-sim --log writes them, without the times and the
// status polls, whose number depends on how long a run takes.
class Session {
public:
    explicit Session(TlsOptions tls = {}, std::chrono::milliseconds replyDelay = 0ms)
        : m_Line(m_Consumer, std::move(tls)) {
        ResetProcessState();
        m_Acu.faults().replyDelay = replyDelay;
        m_Acu.setFrameObserver(
            [this](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                if (frame.size() > 2 && frame[2] == cmd::StatusPoll) return;
                std::lock_guard lock(m_LogMutex);
                m_Log.push_back(frameLogLine(m_Acu.now(), direction, frame).substr(14));
            });
        std::string error;
        EXPECT_TRUE(m_Server.open(error) && m_Server.start()) << error;
    }
    ~Session() {
        m_Line.ClosePort();
        m_Server.stop();
        ResetProcessState();
    }

    std::string device() const { return m_Server.slavePath(); }
    int open(const std::string& name) { return m_Line.OpenPort(name, 57600, 0); }

    // Runs the controller on real time until done() or limit; false on the limit.
    bool runUntil(const std::function<bool()>& done, std::chrono::seconds limit = 60s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        auto last = std::chrono::steady_clock::now();
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now > end) return false;
            if (m_Consumer.read.exchange(false)) m_Controller.OnCommRead();
            if (m_Consumer.hangups.load() > m_HangupsSeen) {
                ++m_HangupsSeen;
                m_Controller.OnPortHangup(m_Line.portName());
            }
            const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(now - last);
            last += step;
            m_Timers.advance(step, [this](int id) { m_Controller.OnTimer(id); });
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    bool identify() {
        m_Controller.StartConnection();
        return runUntil([this] { return m_Timers.running(cmd::StatusPoll); });
    }
    // The sample file with every continent, from load to the last acknowledgement.
    bool upload() {
        std::ifstream file(SKYRELAY_DATA_DIR "/all_continents.sif", std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
        if (loadSatelliteInformation(bytes)) return false;
        g_SetupMode = 1;
        m_View.continentSelection = 0;
        m_View.regionSelection = 0;
        m_Controller.updateDefaultData();
        return runUntil([this] { return !m_View.callsStartingWith("CloseProgress").empty(); });
    }
    std::vector<std::string> log() {
        std::lock_guard lock(m_LogMutex);
        return m_Log;
    }

    FlagConsumer m_Consumer;
    PortLine m_Line;
    RecorderView m_View;
    ManualTimers m_Timers;
    AcuController m_Controller{m_Line, m_Line.m_QueueRead, m_View, m_Timers};
    int m_HangupsSeen = 0;

private:
    AcuSimulator m_Acu;
    PtyServer m_Server{m_Acu};
    std::mutex m_LogMutex;
    std::vector<std::string> m_Log;
};

// The identification chain and an upload over the local terminal: what every remote run must
// match frame for frame, and the progress it showed.
struct Run {
    std::vector<std::string> frames;
    std::vector<std::string> steps;
};
const Run& localRun() {
    static const Run run = [] {
        Session local;
        EXPECT_EQ(local.open(local.device()), 1);
        EXPECT_TRUE(local.identify());
        EXPECT_TRUE(local.upload());
        return Run{local.log(), local.m_View.callsStartingWith("StepProgress")};
    }();
    return run;
}

class SerialServer : public ::testing::TestWithParam<Mode> {};

TEST_P(SerialServer, ChainAndUploadMatchTheLocalRunFrameForFrame) {
    const std::vector<std::string>& local = localRun().frames;
    ASSERT_GT(local.size(), 40u);

    Ser2netServer server(GetParam());
    Session remote(TlsOptions{server.certificate(), false});
    ASSERT_TRUE(server.start(remote.device()));
    ASSERT_EQ(remote.open(server.address()), 1) << remote.m_Line.openFailure();
    ASSERT_TRUE(remote.identify());
    ASSERT_TRUE(remote.upload());
    EXPECT_EQ(remote.log(), local);
    EXPECT_EQ(remote.m_Consumer.hangups.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, SerialServer,
                         ::testing::Values(Mode::Raw, Mode::Telnet, Mode::Tls));

TEST(SerialServerLink, ASatelliteRoundTripOf800MsStillCompletesEveryExchange) {
    // The unit holds every reply back 800 ms: a round trip of 400 ms each way.
    Ser2netServer server(Mode::Telnet);
    Session remote({}, 800ms);
    ASSERT_TRUE(server.start(remote.device()));
    ASSERT_EQ(remote.open(server.address()), 1) << remote.m_Line.openFailure();
    ASSERT_TRUE(remote.identify());
    ASSERT_TRUE(remote.runUntil(
        [&] { return !remote.m_View.callsStartingWith("showCurrentPosition").empty(); }));
    ASSERT_TRUE(remote.upload());
    EXPECT_EQ(remote.m_View.callsStartingWith("StepProgress"), localRun().steps);
    EXPECT_EQ(remote.log(), localRun().frames);
}

TEST(SerialServerLink, EachRefusalSaysWhy) {
    Ser2netServer server(Mode::Tls);
    Session sim;
    ASSERT_TRUE(server.start(sim.device()));
    const std::string port = std::to_string(server.port());
    const Ser2netServer nobody(Mode::Raw);  // its port was free, and nothing listens there
    const std::string rejected =
        "Certificate rejected: the server's certificate failed the check (--tls-ca names the "
        "authority to trust).";
    struct Case {
        std::string address;
        TlsOptions tls;
        std::string reason;  // "" for a line that opens
    };
    const Case cases[] = {
        {"tcp://127.0.0.1:" + std::to_string(nobody.port()), {},
         "Connection refused: nothing listens on that port, or the serial server refused us."},
        {"tcp://acu.invalid:4001", {}, "Name not found: the server's name does not resolve."},
        {"tcp://127.0.0.1", {},
         "Not a serial server address: use tcp://HOST:PORT, rfc2217://HOST:PORT, "
         "tcp+tls://HOST:PORT or rfc2217+tls://HOST:PORT."},
        {"rfc2217+tls://127.0.0.1:" + port, {}, rejected},  // a certificate nobody vouches for
        {"rfc2217+tls://localhost:" + port, {server.certificate(), false},
         "Certificate rejected: it is not made out to localhost."},
        {"rfc2217+tls://127.0.0.1:" + port, {"", true}, ""},
        {"rfc2217+tls://127.0.0.1:" + port, {server.certificate(), false}, ""},
    };
    for (const Case& c : cases) {
        PortLine line(sim.m_Consumer, c.tls);
        EXPECT_EQ(line.OpenPort(c.address, 57600, 0), c.reason.empty() ? 1 : 0) << c.address;
        EXPECT_EQ(line.openFailure(), c.reason) << c.address;
        line.ClosePort();
        // ser2net lets go of the terminal a moment after the connection ends.
        std::this_thread::sleep_for(300ms);
    }
}

TEST(SerialServerLink, AStoppedServerIsOneHangUpAndTheAddressOpensAgainOnceItIsBack) {
    Ser2netServer server(Mode::Raw);
    Session remote;
    ASSERT_TRUE(server.start(remote.device()));
    ASSERT_EQ(remote.open(server.address()), 1);
    ASSERT_TRUE(remote.identify());

    server.stop();
    ASSERT_TRUE(remote.runUntil([&] { return g_Connected == 0; }, 10s));
    remote.runUntil([] { return false; }, 1s);  // time for a second report, which must not come
    EXPECT_EQ(remote.m_Consumer.hangups.load(), 1);
    EXPECT_FALSE(remote.m_Line.isOpen());
    EXPECT_EQ(remote.open(server.address()), 0);

    ASSERT_TRUE(server.start());
    ASSERT_EQ(remote.open(server.address()), 1) << remote.m_Line.openFailure();
    EXPECT_TRUE(remote.identify());
}

}  // namespace
