// The scripted sequences on the manual clock: restart and target change, setup mode, the
// self test and the factory default, in the right order and at the right moments.

#include <algorithm>

#include "sim_harness.h"

namespace {

class Sequences : public SimHarness {
protected:
    int modeNow() { return replyTo({0x0E}).at(2); }

    struct Timed {
        std::chrono::milliseconds at;
        Bytes payload;
        bool operator==(const Timed&) const = default;
        friend std::ostream& operator<<(std::ostream& os, const Timed& timed) {
            return os << timed.at.count() << " ms: " << ::testing::PrintToString(timed.payload);
        }
    };
    // Runs the clock in steps and notes each reply with the moment it came, counted from now.
    std::vector<Timed> runAndCollect(std::chrono::milliseconds span,
                                     std::chrono::milliseconds step) {
        std::vector<Timed> got;
        out.clear();
        for (auto t = step; t <= span; t += step) {
            acu.advance(step);
            for (const Bytes& payload : payloads()) got.push_back({t, payload});
            out.clear();
        }
        return got;
    }
};

TEST_F(Sequences, RestartAndTargetChangeInitialiseSearchThenTrack) {
    AcuState& state = acu.state();
    const AntennaAngles on = state.position;
    state.position = {on.az - 60.0, on.el - 15.0, on.skew - 20.0};
    EXPECT_EQ(replyTo({0x0F}), (Bytes{0x0F}));

    // Initialising: two seconds, axes still, nothing but noise.
    acu.advance(1990ms);
    Bytes status = replyTo({0x0E});
    EXPECT_EQ(status.at(2), 2);
    EXPECT_EQ(be16(status, 3), 180);
    EXPECT_NEAR(state.position.az, on.az - 60.0, 1e-9);

    // Searching: 30 degrees a second in azimuth, 15 in elevation.
    acu.advance(10ms);
    EXPECT_EQ(modeNow(), 3);
    acu.advance(1s);
    EXPECT_NEAR(state.position.az, on.az - 30.0, 0.01);
    acu.advance(900ms);
    EXPECT_EQ(modeNow(), 3);
    acu.advance(200ms);
    status = replyTo({0x0E});
    EXPECT_EQ(status.at(2), 4);
    EXPECT_EQ(be16(status, 3), 820);
    EXPECT_NEAR(signed100(status, 16), on.az, 0.011);
    EXPECT_NEAR(signed100(status, 19), on.el, 0.011);
    EXPECT_NEAR(signed100(status, 22), on.skew, 0.011);

    // A target change swings the dish over, the signal rising as it closes in.
    command({0x11, 0x00});  // ASTRA 1, 19.2 E
    std::vector<int> levels;
    for (int i = 0; i < 60; ++i) {
        acu.advance(200ms);
        levels.push_back(be16(replyTo({0x0E}), 3));
    }
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end())) << "the signal fell";
    EXPECT_EQ(levels.back(), 820);
    status = replyTo({0x0E});
    EXPECT_NEAR(signed100(status, 16), 161.5, 0.1);  // 19.2 E from 4.48 E 51.90 N
    EXPECT_NEAR(signed100(status, 19), 29.0, 0.1);
}

TEST_F(Sequences, SetupModeHoldsStopUntilARestartOrATargetChange) {
    for (const Bytes& leave : {Bytes{0x0F}, Bytes{0x11, 0x02}}) {
        EXPECT_EQ(replyTo({0x10}).at(1), 6);
        for (int second = 0; second < 30; ++second) {
            acu.advance(1s);
            ASSERT_EQ(modeNow(), 6) << "after " << second + 1 << " s";
        }
        EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x01}));
        command(leave);
        EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x02})) << "command " << int(leave[0]);
    }
}

TEST_F(Sequences, DiagnosisReportsEachItemThenItsResultAStepApartAndStopsOnCommand) {
    acu.settings().diagnosis.step = 100ms;
    acu.settings().diagnosis.failingItem = 4;
    acu.state().product.skewless = 1;  // no skew axis, so no item 7
    command({0x10});
    command({0x15});
    std::vector<Timed> expected;
    for (std::uint8_t item : {1, 2, 3, 4, 5, 6, 8, 9, 10}) {
        expected.push_back({expected.size() * 100ms + 100ms, {0x16, item}});
        expected.push_back({expected.size() * 100ms + 100ms,
                            {0x17, item, static_cast<std::uint8_t>(item == 4 ? 'F' : 'P')}});
    }
    expected.push_back({1900ms, {0x16, 0x0B}});  // all done
    EXPECT_EQ(runAndCollect(2s, 1ms), expected);
    EXPECT_FALSE(acu.diagnosisRunning());

    // A stop ends a run at any point.
    command({0x15});
    acu.advance(350ms);  // item 2 under test
    EXPECT_EQ(payloads().back(), (Bytes{0x16, 0x02}));
    EXPECT_EQ(replyTo({0x18}), (Bytes{0x18}));
    EXPECT_TRUE(runAndCollect(5s, 100ms).empty());
}

TEST_F(Sequences, FactoryDefaultAnnouncesItsTotalReportsProgressAndRestoresTheDefaults) {
    command({0x10});
    command({0x11, 0x04});
    command({0x13, 0x00, 0x27, 0x10});
    command(concat({{0x21}, ascii("ABCDEFGHIJKLMNOPQRST")}));
    out.clear();

    // Total, step and stride are settings; the last step stops at the total.
    acu.settings().factory = {50ms, 10, 4};
    command({0x1E});
    EXPECT_EQ(out, (Bytes{0x02, 0x03, 0x1E, 0x00, 0x0A, 0x2B, 0x03}));
    std::vector<Timed> got = runAndCollect(60ms, 1ms);
    // A repeated command (its reply was lost) only repeats the total, and the reset carries on.
    command({0x1E});
    EXPECT_EQ(payloads(), (std::vector<Bytes>{{0x1E, 0x00, 0x0A}}));
    for (Timed& later : runAndCollect(140ms, 1ms)) got.push_back({later.at + 60ms, later.payload});
    EXPECT_EQ(got, (std::vector<Timed>{{50ms, {0x1F, 0x00, 0x04}},
                                       {100ms, {0x1F, 0x00, 0x08}},
                                       {150ms, {0x1F, 0x00, 0x0A}},
                                       {200ms, {0x20}}}));

    const Bytes region = replyTo({0x03});
    EXPECT_EQ(region.at(17), 1);  // the default target again
    EXPECT_EQ(region.at(24), 1);  // universal LNB again
    EXPECT_EQ(replyTo({0x26}), concat({{0x26}, ascii("  OCEANSAT  MARINE  ")}));
    EXPECT_EQ(modeNow(), 2);  // and the dish starts over
}

}  // namespace
