// The command line of skyrelay-acu-sim.

#include "sim_harness.h"
#include "sim_options.h"

namespace {

SimOptions parsed(const std::vector<std::string>& args) {
    SimOptions options;
    std::string error;
    EXPECT_TRUE(parseSimOptions(args, options, error)) << error;
    return options;
}

std::string refusal(const std::vector<std::string>& args) {
    SimOptions options;
    std::string error;
    EXPECT_FALSE(parseSimOptions(args, options, error));
    return error;
}

TEST(SimOptions, EveryOptionReachesTheUnitOrTheRunner) {
    const SimFaults faults =
        parsed({"--silent", "--ignore", "14:3", "--ignore=2", "--corrupt", "1", "--garbage",
                "--split", "3,1", "--split-gap=20", "--delay", "250", "--pace", "--hangup-after",
                "5000", "--hangup-after-frames=7", "--misstore", "satellite:3",
                "--misstore=lcd:271"})
            .faults;
    const SimOptions options =
        parsed({"--model", "1", "--type=1", "--skewless", "--fail-item", "4", "--diag-step", "800",
                "--factory-step", "50", "--announce-after", "1500", "--link", "/tmp/acu", "--log",
                "frames.log", "-h"});
    EXPECT_TRUE(faults.silent);
    EXPECT_EQ(faults.ignore,
              (std::map<std::uint8_t, std::uint32_t>{{2, SimFaults::kEvery}, {14, 3}}));
    EXPECT_EQ(faults.corrupt, (std::map<std::uint8_t, std::uint32_t>{{1, SimFaults::kEvery}}));
    EXPECT_TRUE(faults.garbage);
    EXPECT_EQ(faults.splitAt, (std::vector<std::size_t>{3, 1}));
    EXPECT_EQ(faults.splitGap, 20ms);
    EXPECT_EQ(faults.replyDelay, 250ms);
    EXPECT_TRUE(faults.pace);
    EXPECT_EQ(faults.hangupAfter, std::optional<std::chrono::microseconds>{5s});
    EXPECT_EQ(faults.hangupAfterFrames, std::optional<std::uint32_t>{7});
    EXPECT_EQ(faults.misstoreSatellite, std::optional<std::uint32_t>{3});
    EXPECT_EQ(faults.misstoreLcdByte, std::optional<std::size_t>{271});
    EXPECT_EQ(options.announceAfter, std::optional<std::chrono::milliseconds>{1500ms});
    EXPECT_EQ(options.linkPath, "/tmp/acu");
    EXPECT_EQ(options.logPath, "frames.log");
    const SimOptions replay =
        parsed({"--replay", "visit.txt", "--replay-rest=silent", "--replay-fast"});
    EXPECT_EQ(replay.replayPath, "visit.txt");
    EXPECT_EQ(replay.replay.rest, Replay::Rest::Silent);
    EXPECT_TRUE(replay.replay.fast);
    EXPECT_EQ(parsed({"--replay-rest", "model"}).replay.rest, Replay::Rest::Model);
    EXPECT_TRUE(options.help);

    AcuSimulator acu;
    applySimOptions(options, acu);
    EXPECT_EQ(acu.state().product.antennaModel, 1);
    EXPECT_EQ(acu.state().product.antennaType, 1);
    EXPECT_EQ(acu.state().product.skewless, 1);
    EXPECT_EQ(acu.factoryState().product.antennaModel, 1);
    EXPECT_EQ(acu.settings().diagnosis.failingItem, 4);
    EXPECT_EQ(acu.settings().diagnosis.step, 800ms);
    EXPECT_EQ(acu.settings().factory.step, 50ms);
    EXPECT_TRUE(parsed({"--corrupt", "all"}).faults.corruptAll);
    EXPECT_TRUE(parsed({"--help"}).help);
    EXPECT_TRUE(parsed({"--version"}).version);
    EXPECT_FALSE(parsed({"--help"}).version);
}

TEST(SimOptions, RefusesWhatItCannotUse) {
    EXPECT_EQ(refusal({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(refusal({"--delay"}), "--delay needs milliseconds");
    EXPECT_EQ(refusal({"--delay", "soon"}), "--delay needs milliseconds, not 'soon'");
    EXPECT_EQ(refusal({"--pace=yes"}), "--pace takes no value");
    EXPECT_FALSE(refusal({"--ignore", "99"}).empty());
    EXPECT_EQ(refusal({"--misstore", "lcd:272"}),
              "--misstore needs satellite:K (1..200) or lcd:N (0..271), not 'lcd:272'");
    EXPECT_FALSE(refusal({"--split", "3,,4"}).empty());
    EXPECT_FALSE(refusal({"--fail-item", "11"}).empty());
    EXPECT_EQ(refusal({"--replay-rest", "maybe"}),
              "--replay-rest needs model or silent, not 'maybe'");
}

}  // namespace
