// Whole sessions through a real ser2net behind a long, jittery link: every exchange completes
// and the unit sees each command once, as on the local terminal. Real time: a few minutes.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include "line_relay.h"
#include "support/line_session.h"
#include "support/ser2net_server.h"

using namespace std::chrono_literals;

namespace {

// North America cut to its first two regions: an upload of 2 region and 5 satellite records.
Bytes twoRegionFile() {
    std::ifstream file(SKYRELAY_DATA_DIR "/north_america.sif", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), {}};
    const std::size_t cut = text.find("# REGION BLOCK 3");
    text.erase(cut, text.find("# SATELLITES") - cut);
    text.replace(text.find("\n9 4"), 4, "\n9 2");
    return Bytes(text.begin(), text.end());
}

// Identification, the upload of the two regions, an LCD write and its read back; false at the
// first step that does not end done.
bool runSession(LineSession& session, std::vector<Outcome>& outcomes) {
    session.m_Controller.setOutcomeListener([&](const Outcome& o) { outcomes.push_back(o); });
    const auto ended = [&](Operation operation) {
        return session.runUntil([&] {
            return !outcomes.empty() && outcomes.back().operation == operation;
        }) && outcomes.back().ending == Ending::Done;
    };
    AcuController& acu = session.m_Controller;
    if (!session.identify()) return false;
    if (acu.loadDefaultData(twoRegionFile(), "two_regions.sif")) return false;
    acu.OnSetupMode();
    if (!ended(Operation::SetupMode)) return false;
    acu.updateDefaultData(0, 0);
    if (!ended(Operation::Upload) || outcomes.back().value != 7) return false;
    LcdDataBlock block;
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>('A' + i % 26);
    acu.setLcdData(block);
    acu.OnLcdWrite();
    if (!ended(Operation::LcdWrite)) return false;
    acu.OnLcdRead();
    return ended(Operation::LcdRead) && acu.state().LcdData == block;
}

const std::vector<std::string>& localLog() {
    static const std::vector<std::string> log = [] {
        LineSession local;
        std::vector<Outcome> outcomes;
        EXPECT_EQ(local.open(local.device()), 1);
        EXPECT_TRUE(runSession(local, outcomes));
        return local.log();
    }();
    return log;
}

// One round trip per test, so that ctest runs them side by side.
class SatelliteLinkAt : public testing::TestWithParam<std::chrono::milliseconds> {};

TEST_P(SatelliteLinkAt, EverySessionCompletesWithEachCommandSentOnce) {
    ASSERT_GT(localLog().size(), 50u);
    Ser2netServer server(Ser2netServer::Mode::Raw);
    LineSession remote;
    ASSERT_TRUE(server.start(remote.device()));
    LineRelay relay(server.port(), GetParam() / 2, 0.1, 7);
    ASSERT_EQ(remote.open(relay.address("tcp")), 1) << remote.m_Line.openFailure();
    std::vector<Outcome> outcomes;
    EXPECT_TRUE(runSession(remote, outcomes));
    // The same frames in the same order: nothing sent twice, nothing lost.
    EXPECT_EQ(remote.log(), localLog());
}

INSTANTIATE_TEST_SUITE_P(RoundTrips, SatelliteLinkAt, testing::Values(1200ms, 2500ms),
                         [](const auto& info) { return std::to_string(info.param.count()) + "ms"; });

// skyrelay-cli status --watch through a link that dies without closing: one hang-up, said
// once, and the exit status of a lost line, within half a minute.
TEST(SatelliteLink, TheCommandLineReportsASilentlyDeadLinkOnce) {
    Ser2netServer server(Ser2netServer::Mode::Raw);
    LineSession unit;
    ASSERT_TRUE(server.start(unit.device()));
    LineRelay relay(server.port(), 300ms, 0.1, 5);
    char folder[] = "/tmp/skyrelay-cli-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string out = std::string(folder) + "/status";
    const std::string address = relay.address("tcp");
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, (out + ".out").c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&files, 2, (out + ".err").c_str(), O_WRONLY | O_CREAT, 0600);
    const char* argv[] = {SKYRELAY_CLI,    "status",    "--watch", "--port",
                          address.c_str(), "--timeout", "60",      nullptr};
    pid_t cli = -1;
    ASSERT_EQ(
        posix_spawn(&cli, SKYRELAY_CLI, &files, nullptr, const_cast<char* const*>(argv), environ),
        0);
    posix_spawn_file_actions_destroy(&files);
    const auto slurp = [](const std::string& path) {
        std::ifstream file(path);
        return std::string{std::istreambuf_iterator<char>(file), {}};
    };
    const auto lines = [&] {
        const std::string text = slurp(out + ".out");
        return std::count(text.begin(), text.end(), '\n');
    };
    for (int tries = 0; tries < 600 && lines() < 2; ++tries) std::this_thread::sleep_for(100ms);
    ASSERT_GE(lines(), 2) << slurp(out + ".err");

    relay.stopForwarding();
    const auto dropped = std::chrono::steady_clock::now();
    int status = 0;
    while (waitpid(cli, &status, WNOHANG) == 0 &&
           std::chrono::steady_clock::now() - dropped < 60s) {
        std::this_thread::sleep_for(100ms);
    }
    const auto took = std::chrono::steady_clock::now() - dropped;
    if (took >= 60s) {
        kill(cli, SIGKILL);
        waitpid(cli, &status, 0);
    }
    const std::string err = slurp(out + ".err");
    EXPECT_LT(took, 30s) << err;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << err;
    std::size_t said = 0;
    for (std::size_t at = err.find("the line went away"); at != std::string::npos;
         at = err.find("the line went away", at + 1)) {
        ++said;
    }
    EXPECT_EQ(said, 1u) << err;
    std::filesystem::remove_all(folder);
}

}  // namespace
