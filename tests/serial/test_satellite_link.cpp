// Whole sessions through a real ser2net behind a long, jittery link: every exchange completes
// and the unit sees each command once, as on the local terminal. Real time: a few minutes.

#include <gtest/gtest.h>

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
bool runSession(Session& session, std::vector<Outcome>& outcomes) {
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
        Session local;
        std::vector<Outcome> outcomes;
        EXPECT_EQ(local.open(local.device()), 1);
        EXPECT_TRUE(runSession(local, outcomes));
        return local.log();
    }();
    return log;
}

TEST(SatelliteLink, EverySessionCompletesWithEachCommandSentOnce) {
    ASSERT_GT(localLog().size(), 50u);
    for (const auto roundTrip : {1200ms, 2500ms}) {
        Ser2netServer server(Ser2netServer::Mode::Raw);
        Session remote;
        ASSERT_TRUE(server.start(remote.device()));
        LineRelay relay(server.port(), roundTrip / 2, 0.1, 7);
        ASSERT_EQ(remote.open(relay.address("tcp")), 1) << remote.m_Line.openFailure();
        std::vector<Outcome> outcomes;
        EXPECT_TRUE(runSession(remote, outcomes)) << roundTrip.count() << " ms";
        // The same frames in the same order: nothing sent twice, nothing lost.
        EXPECT_EQ(remote.log(), localLog()) << roundTrip.count() << " ms";
    }
}

}  // namespace
