// The scripted sequences on the manual clock: restart and target change, setup mode, the
// self test and the factory default, in the right order and at the right moments.

#include <cmath>

#include "look_angles.h"
#include "sim_harness.h"

namespace {

class Sequences : public SimHarness {
protected:
    int modeNow() { return d(replyTo({0x0E}), 2); }
    // Runs the clock in steps, noting the mode that each status reply reports.
    std::vector<int> pollModes(std::chrono::milliseconds span, std::chrono::milliseconds step) {
        std::vector<int> modes;
        for (auto t = std::chrono::milliseconds{0}; t < span; t += step) {
            acu.advance(step);
            modes.push_back(modeNow());
        }
        return modes;
    }
    // Each reply since the last check, with the moment it came.
    struct Timed {
        std::chrono::milliseconds at;
        Bytes payload;
    };
    std::vector<Timed> runAndCollect(std::chrono::milliseconds span,
                                     std::chrono::milliseconds step) {
        std::vector<Timed> got;
        writes.clear();
        for (auto t = std::chrono::milliseconds{0}; t < span; t += step) {
            acu.advance(step);
            for (const Bytes& payload : payloads()) {
                got.push_back(
                    {std::chrono::duration_cast<std::chrono::milliseconds>(acu.now()), payload});
            }
            writes.clear();
        }
        return got;
    }
    void enterSetup() {
        command({0x10});
        writes.clear();
    }
};

TEST(LookAngles, MatchTheTextbookFigures) {
    const auto check = [](GpsFix site, double satellite, char eastWest, double az, double el,
                          double skew) {
        SatelliteRecord sat;
        sat.longitude = satellite;
        sat.eastWest = eastWest;
        const AntennaAngles angles = lookAngles(site, sat);
        EXPECT_NEAR(angles.az, az, 0.05);
        EXPECT_NEAR(angles.el, el, 0.05);
        EXPECT_NEAR(angles.skew, skew, 0.05);
    };
    check({1, 0.0, 'E', 51.5, 'N'}, 19.2, 'E', 156.0, 28.4, 14.7);
    check({1, 127.0, 'E', 37.5, 'N'}, 116.0, 'E', 197.7, 45.0, -14.0);
    check({1, 74.0, 'W', 40.7, 'N'}, 101.0, 'W', 218.0, 35.4, -27.8);
    check({1, 151.2, 'E', 33.9, 'S'}, 156.0, 'E', 8.6, 50.3, -7.1);
}

TEST_F(Sequences, OutOfTheBoxTheDishTracksItsTargetAtFullSignal) {
    const Bytes status = replyTo({0x0E});
    EXPECT_EQ(d(status, 2), 4);
    EXPECT_EQ(be16(status, 3), 820);
    // HOTBIRD 13.0 E seen from 4.48 E 51.90 N.
    EXPECT_NEAR(signed100(status, 16), 169.2, 0.1);
    EXPECT_NEAR(signed100(status, 19), 30.0, 0.1);
}

TEST_F(Sequences, RestartInitialisesSearchesThenTracks) {
    AcuState& state = acu.state();
    const AntennaAngles on = state.position;
    state.position = {on.az - 60.0, on.el - 15.0, on.skew - 20.0};
    EXPECT_EQ(replyTo({0x0F}), (Bytes{0x0F}));

    // Initialising: two seconds, axes still, nothing but noise.
    Bytes status = replyTo({0x0E});
    EXPECT_EQ(d(status, 2), 2);
    EXPECT_EQ(be16(status, 3), 180);
    acu.advance(1990ms);
    EXPECT_EQ(modeNow(), 2);
    EXPECT_NEAR(state.position.az, on.az - 60.0, 1e-9);

    // Searching: 30 degrees a second in azimuth, so 60 degrees take two seconds.
    acu.advance(10ms);
    EXPECT_EQ(modeNow(), 3);
    acu.advance(1s);
    EXPECT_NEAR(state.position.az, on.az - 30.0, 0.01);
    EXPECT_NEAR(state.position.el, on.el, 0.01);  // 15 degrees a second
    EXPECT_EQ(be16(replyTo({0x0E}), 3), 180);     // far off the satellite
    acu.advance(900ms);
    EXPECT_EQ(modeNow(), 3);

    // On the satellite: tracking, full signal.
    acu.advance(200ms);
    status = replyTo({0x0E});
    EXPECT_EQ(d(status, 2), 4);
    EXPECT_EQ(be16(status, 3), 820);
    EXPECT_NEAR(signed100(status, 16), on.az, 0.011);
    EXPECT_NEAR(signed100(status, 19), on.el, 0.011);
    EXPECT_NEAR(signed100(status, 22), on.skew, 0.011);
}

TEST_F(Sequences, SignalRisesAsTheDishClosesInOnTheSatellite) {
    const AntennaAngles on = acu.state().position;
    acu.state().position.az = on.az - 10.0;
    command({0x0F});
    int last = 0;
    bool rose = false;
    for (int step = 0; step < 40; ++step) {
        acu.advance(100ms);
        const int level = be16(replyTo({0x0E}), 3);
        EXPECT_GE(level, last == 0 ? 0 : last) << "at step " << step;
        rose = rose || level > last;
        last = level;
    }
    EXPECT_TRUE(rose);
    EXPECT_EQ(last, 820);
}

TEST_F(Sequences, TargetChangeSwingsTheDishToTheNewSatellite) {
    EXPECT_EQ(replyTo({0x11, 0x00}), (Bytes{0x11}));  // ASTRA 1, 19.2 E
    const std::vector<int> modes = pollModes(12s, 500ms);
    EXPECT_EQ(modes.front(), 2);
    EXPECT_EQ(modes.back(), 4);
    EXPECT_TRUE(std::is_sorted(modes.begin(), modes.end())) << "the states went backwards";
    EXPECT_NE(std::find(modes.begin(), modes.end(), 3), modes.end());

    const Bytes status = replyTo({0x0E});
    EXPECT_EQ(d(status, 1), 0);
    EXPECT_NEAR(signed100(status, 16), 161.5, 0.1);  // 19.2 E from 4.48 E 51.90 N
    EXPECT_NEAR(signed100(status, 19), 29.0, 0.1);
}

TEST_F(Sequences, SetupModeHoldsStopUntilARestart) {
    EXPECT_EQ(d(replyTo({0x10}), 1), 6);
    for (int second = 0; second < 30; ++second) {
        acu.advance(1s);
        ASSERT_EQ(modeNow(), 6) << "after " << second + 1 << " s";
    }
    EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x01}));

    command({0x0F});
    EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x02}));
    EXPECT_EQ(modeNow(), 2);
}

TEST_F(Sequences, TargetChangeAlsoLeavesSetupMode) {
    command({0x10});
    command({0x11, 0x02});
    EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x02}));
}

TEST_F(Sequences, DiagnosisReportsEachItemThenItsResultThenAllDone) {
    enterSetup();
    EXPECT_EQ(replyTo({0x15}), (Bytes{0x15}));
    EXPECT_EQ(modeNow(), 7);

    acu.advance(499ms);
    EXPECT_TRUE(payloads().size() == 1) << "nothing before the first step but the status";

    const std::vector<Timed> reports = runAndCollect(10501ms, 1ms);
    std::vector<Timed> expected;
    auto at = std::chrono::milliseconds{500};
    for (std::uint8_t item = 1; item <= 10; ++item) {
        expected.push_back({at, {0x16, item}});
        expected.push_back({at + 500ms, {0x17, item, 'P'}});
        at += 1000ms;
    }
    expected.push_back({at, {0x16, 0x0B}});
    ASSERT_EQ(reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reports[i].payload, expected[i].payload) << "report " << i;
        EXPECT_EQ(reports[i].at, expected[i].at) << "report " << i;
    }
    EXPECT_FALSE(acu.diagnosisRunning());

    // The program answers item 11 with command 24; the unit is stopped in setup mode again.
    EXPECT_EQ(replyTo({0x18}), (Bytes{0x18}));
    EXPECT_EQ(modeNow(), 6);
    EXPECT_EQ(replyTo({0x01}), (Bytes{0x01, 0x01}));
}

TEST_F(Sequences, DiagnosisReportsTheChosenFailingItem) {
    acu.settings().diagnosis.failingItem = 4;
    command({0x15});
    const std::vector<Timed> reports = runAndCollect(11s, 100ms);
    std::vector<Bytes> results;
    for (const Timed& report : reports) {
        if (report.payload[0] == 0x17) results.push_back(report.payload);
    }
    ASSERT_EQ(results.size(), 10u);
    EXPECT_EQ(results[2], (Bytes{0x17, 0x03, 'P'}));
    EXPECT_EQ(results[3], (Bytes{0x17, 0x04, 'F'}));
    EXPECT_EQ(results[4], (Bytes{0x17, 0x05, 'P'}));
}

TEST_F(Sequences, DiagnosisSkipsTheSkewItemWhenThereIsNoSkewAxis) {
    for (const auto& [model, skewless] : {std::pair{1, 0}, std::pair{2, 1}}) {
        acu.state().product.antennaModel = static_cast<std::uint8_t>(model);
        acu.state().product.skewless = static_cast<std::uint8_t>(skewless);
        command({0x15});
        std::vector<int> items;
        for (const Timed& report : runAndCollect(11s, 100ms)) items.push_back(report.payload[1]);
        EXPECT_EQ(items,
                  (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 8, 8, 9, 9, 10, 10, 11}))
            << "model " << model << ", skewless " << skewless;
        command({0x18});
    }
}

TEST_F(Sequences, DiagnosisStopEndsTheRunAtAnyPoint) {
    command({0x15});
    acu.advance(2500ms);  // item 3 under test
    EXPECT_EQ(payloads().back(), (Bytes{0x16, 0x03}));
    EXPECT_EQ(replyTo({0x18}), (Bytes{0x18}));
    EXPECT_TRUE(runAndCollect(20s, 1s).empty());
}

TEST_F(Sequences, DiagnosisPaceIsASetting) {
    acu.settings().diagnosis.step = 100ms;
    command({0x15});
    const std::vector<Timed> reports = runAndCollect(2100ms, 10ms);
    ASSERT_EQ(reports.size(), 21u);
    EXPECT_EQ(reports.front().at, 100ms);
    EXPECT_EQ(reports.back().at, 2100ms);
    EXPECT_EQ(reports.back().payload, (Bytes{0x16, 0x0B}));
}

TEST_F(Sequences, FactoryDefaultAnnouncesItsTotalReportsProgressAndRestoresTheDefaults) {
    enterSetup();
    command({0x11, 0x04});
    command({0x13, 0x00, 0x27, 0x10});
    command({0x21, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
             'K',  'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'});
    writes.clear();

    command({0x1E});
    EXPECT_EQ(output(), (Bytes{0x02, 0x03, 0x1E, 0x00, 0x64, 0x85, 0x03}));  // total 100
    acu.advance(199ms);
    EXPECT_EQ(payloads().size(), 1u);

    const std::vector<Timed> reports = runAndCollect(4001ms, 1ms);
    ASSERT_EQ(reports.size(), 21u);
    for (std::size_t i = 0; i < 20; ++i) {
        const auto position = static_cast<std::uint8_t>(5 * (i + 1));
        EXPECT_EQ(reports[i].payload, (Bytes{0x1F, 0x00, position})) << "report " << i;
        EXPECT_EQ(reports[i].at, std::chrono::milliseconds{200 * (i + 1)}) << "report " << i;
    }
    EXPECT_EQ(reports[20].payload, (Bytes{0x20}));
    EXPECT_EQ(reports[20].at, 4200ms);

    const Bytes region = replyTo({0x03});
    EXPECT_EQ(d(region, 17), 1);  // the default target again
    EXPECT_EQ(d(region, 24), 1);  // universal LNB again
    EXPECT_EQ(replyTo({0x26}), concat({{0x26}, ascii("  OCEANSAT  MARINE  ")}));
    EXPECT_EQ(modeNow(), 2);  // and the dish starts over
}

TEST_F(Sequences, RepeatedFactoryDefaultOnlyRepeatsTheTotal) {
    command({0x1E});
    acu.advance(1s);
    writes.clear();
    command({0x1E});
    EXPECT_EQ(payloads(), (std::vector<Bytes>{{0x1E, 0x00, 0x64}}));
    acu.advance(200ms);
    EXPECT_EQ(payloads().back(), (Bytes{0x1F, 0x00, 0x1E}));  // 30: it carried on
}

TEST_F(Sequences, FactoryDefaultTotalAndPaceAreSettings) {
    acu.settings().factory = {50ms, 3, 1};
    command({0x1E});
    const std::vector<Timed> reports = runAndCollect(200ms, 10ms);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].payload, (Bytes{0x1F, 0x00, 0x01}));
    EXPECT_EQ(reports[2].payload, (Bytes{0x1F, 0x00, 0x03}));
    EXPECT_EQ(reports[3].payload, (Bytes{0x20}));
    EXPECT_EQ(reports[3].at, 200ms);
}

}  // namespace
