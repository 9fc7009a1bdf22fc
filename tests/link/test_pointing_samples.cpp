#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "link/pointing_csv.h"
#include "link/pointing_samples.h"
#include "link/reply_decode.h"

namespace {

PointingSample at(std::int64_t ms, std::uint8_t state = 4, float signal = 500.0F) {
    PointingSample sample;
    sample.atMs = ms;
    sample.signal = signal;
    sample.state = state;
    return sample;
}

}  // namespace

TEST(PointingSamples, KeepsTheNewestInOrderAndFindsThemByTime) {
    PointingSamples samples(5);
    for (std::int64_t s = 0; s < 8; ++s) samples.push(at(s * 1000));
    // A clock set back does not put a sample before its elders.
    samples.push(at(2500));
    ASSERT_EQ(samples.size(), 5U);
    EXPECT_EQ(samples.pushed(), 9U);
    const std::int64_t kept[] = {4000, 5000, 6000, 7000, 7000};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(samples[i].atMs, kept[i]) << i;
    EXPECT_EQ(samples.lowerBound(4500), 1U);
    EXPECT_EQ(samples.lowerBound(9000), 5U);
    EXPECT_EQ(samples.nearest(5400)->atMs, 5000);
    EXPECT_EQ(samples.nearest(5600)->atMs, 6000);
    EXPECT_EQ(samples.nearest(0)->atMs, 4000);
    samples.clear();
    EXPECT_EQ(samples.nearest(0), nullptr);
}

TEST(PointingSamples, ReductionKeepsEachBucketsExtremesAndLeavesOutWhatWasNotReported) {
    PointingSamples samples;
    for (std::int64_t s = 0; s < 1000; ++s) {
        float signal = 500.0F;
        if (s == 437) signal = 900.0F;  // one second of a mast in the beam, and a spike
        if (s == 600) signal = 100.0F;
        samples.push(at(s * 1000, 4, s == 700 ? kNotReported : signal));
    }
    PointingView view;
    reduceView(samples, 0, 999000, 10, view);
    const auto& signal = view.series[0];
    EXPECT_LE(signal.size(), 20U);
    EXPECT_NE(std::find(signal.begin(), signal.end(), ChartPoint{437000, 900.0F}), signal.end());
    EXPECT_NE(std::find(signal.begin(), signal.end(), ChartPoint{600000, 100.0F}), signal.end());
    for (std::size_t i = 1; i < signal.size(); ++i) EXPECT_LT(signal[i - 1].atMs, signal[i].atMs);

    // Few enough samples come whole; the one without a signal only on the other channels.
    reduceView(samples, 698000, 702000, 10, view);
    EXPECT_EQ(view.series[0].size(), 4U);
    EXPECT_EQ(view.series[1].size(), 5U);
}

TEST(PointingSamples, StatesBecomeBandsThatStopAtAGapAndLinkOpeningsAreMarked) {
    PointingSamples samples;
    samples.linkOpened(-500);
    const std::pair<std::int64_t, std::uint8_t> replies[] = {
        {0, 3}, {1000, 3}, {2000, 4}, {3000, 4}, {63000, 4}};
    for (const auto& [ms, state] : replies) samples.push(at(ms, state));
    samples.linkOpened(62000);
    PointingView view;
    reduceView(samples, -1000, 70000, 100, view);
    const std::vector<StateBand> bands = {{0, 2000, 3}, {2000, 4000, 4}, {63000, 63000, 4}};
    EXPECT_EQ(view.bands, bands);
    // The first opening came before the oldest sample: gone with it when the ring is full,
    // here still kept.
    EXPECT_EQ(view.reconnects, (std::vector<std::int64_t>{-500, 63000}));
}

TEST(PointingCsv, WritesLocalTimeTheStateLabelAndEmptyFieldsForWhatWasNotReported) {
    setenv("TZ", "UTC", 1);
    tzset();
    StatusReply status;
    status.antennaMode = 4;
    status.signalLevel = 820;
    status.az = 197.7;
    status.el = 45.0;
    status.skew = -14.0;
    status.gpsLongitude = 74.0;
    status.gpsEastWest = 'W';
    status.gpsLatitude = 33.9;
    status.gpsNorthSouth = 'S';
    // One day, one hour, two minutes, 3.25 seconds after 1970 began.
    const std::int64_t when = 86400000 + 3723250;
    EXPECT_EQ(pointingCsvHeader(), "time,state,signal,azimuth,elevation,skew,longitude,latitude");
    EXPECT_EQ(pointingCsvLine(statusSample(status, when)),
              "1970-01-02 01:02:03.250,Satellite Tracking,820,197.70,45.00,-14.00,-74.00,-33.90");
    const SetupReply setup{6, 10.0, 20.5, 0.0};
    EXPECT_EQ(pointingCsvLine(setupSample(setup, when)),
              "1970-01-02 01:02:03.250,Antenna Stop / Setup,,10.00,20.50,0.00,,");
    status.antennaMode = 9;
    status.gpsEastWest = 0;  // never reported
    EXPECT_EQ(pointingCsvLine(statusSample(status, when)),
              "1970-01-02 01:02:03.250,9,820,197.70,45.00,-14.00,,-33.90");
}
