// Two ACUs in one process: two controllers, each on its own serial line to its own simulated
// unit. One uploads while the other polls, then one line goes away; each ends with its own
// state, and nothing of one reaches the other.

#include <gtest/gtest.h>

#include "support/line_session.h"
#include "wire/fixed_text.h"

using namespace std::chrono_literals;

namespace {

int statusReplies(const LineSession& session) {
    return static_cast<int>(session.m_View.callsStartingWith("GpsLamps").size());
}

}  // namespace

TEST(TwoLinks, AnUploadOnOneWhileTheOtherPollsThenAHangUpOnOne) {
    LineSession north;
    LineSession pacific;
    ASSERT_TRUE(north.ok() && pacific.ok());
    // The second unit works in another region: Oceania's region 5, "PACIFIC".
    pacific.unit([](AcuSimulator& acu) {
        acu.state().current.continent = 2;
        acu.state().current.region = 5;
        storeFixedText(acu.state().current.record.name, u"PACIFIC");
    });
    ASSERT_EQ(north.open(north.device()), 1);
    ASSERT_EQ(pacific.open(pacific.device()), 1);
    north.m_Controller.StartConnection();
    pacific.m_Controller.StartConnection();
    const LinkState& n = north.m_Controller.state();
    const LinkState& p = pacific.m_Controller.state();
    ASSERT_TRUE(LineSession::runUntil({&north, &pacific}, [&] {
        return north.m_Timers.running(cmd::StatusPoll) && pacific.m_Timers.running(cmd::StatusPoll);
    }));
    EXPECT_EQ(fixedTextToString(currentRegion(n.data).name), u"NW-EUROPE   ");
    EXPECT_EQ(fixedTextToString(currentRegion(p.data).name), u"PACIFIC     ");
    EXPECT_EQ(p.data.CurContinent, 2);
    EXPECT_EQ(p.data.CurRegion, 5);

    // The upload on one; the other goes on polling meanwhile, and its tables stay its own.
    std::vector<Outcome> northEnded;
    north.m_Controller.setOutcomeListener([&](const Outcome& o) { northEnded.push_back(o); });
    const auto pacificTables = std::make_unique<SatelliteTables>(p.data);
    ASSERT_TRUE(north.startUpload());
    const int polled = statusReplies(pacific);
    ASSERT_TRUE(LineSession::runUntil({&north, &pacific}, [&] {
        return !northEnded.empty() && northEnded.back().operation == Operation::Upload;
    }));
    EXPECT_EQ(northEnded.back().ending, Ending::Done);
    // Six regions and three empty continents' region 0, then ten satellites acknowledged.
    EXPECT_EQ(northEnded.back().value, 19u);
    EXPECT_EQ(n.data.RegionMode, 12);  // all continents, as the file has them
    EXPECT_EQ(n.data.DefaultDataLoaded, 1);
    // An upload on a terminal can end within one poll period: the poll's next answer is
    // waited for rather than expected to have come already.
    EXPECT_TRUE(LineSession::runUntil({&north, &pacific},
                                  [&] { return statusReplies(pacific) > polled; }, 5s));
    EXPECT_EQ(p.data.DefaultDataLoaded, 0);
    EXPECT_EQ(p.SetupMode, 0);
    EXPECT_EQ(static_cast<const SatelliteTables&>(p.data), *pacificTables);
    EXPECT_TRUE(pacific.m_View.callsStartingWith("OpenProgress").empty());

    // One line goes away: that link alone closes and says so; the other goes on polling.
    north.hangUp();
    ASSERT_TRUE(LineSession::runUntil(
        {&north, &pacific}, [&] { return n.Connected == 0; }, 10s));
    const int beforeHangUp = statusReplies(pacific);
    ASSERT_TRUE(LineSession::runUntil({&north, &pacific},
                                  [&] { return statusReplies(pacific) > beforeHangUp + 1; }));
    EXPECT_EQ(p.Connected, 1);
    EXPECT_EQ(north.m_View.callsStartingWith("MessageBox").size(), 1u);
    EXPECT_TRUE(pacific.m_View.callsStartingWith("MessageBox").empty());
}
