// How long a network line's answers may take, worked out by hand from TCP's smoothing.

#include <gtest/gtest.h>

#include <vector>

#include "link/round_trip.h"

using namespace std::chrono_literals;

namespace {

TEST(RoundTripEstimate, FollowsTheSmoothedRoundTripAndItsVariation) {
    // Each event: a round trip in ms, or -1 for an answer that did not come in time.
    struct Row {
        std::vector<int> events;
        std::chrono::milliseconds timeout;
        std::chrono::milliseconds periodOf1000;
    };
    const Row rows[] = {
        {{}, 4000ms, 4000ms},                    // nothing known yet
        {{2500}, 7500ms, 7500ms},                // 2500 + 4 * 1250
        {{2500, 2500}, 6250ms, 6250ms},          // variation 937.5
        {{1200, 1320, 1080}, 2774ms, 2774ms},    // 1198.125 + 4 * 393.75, rounded up
        {{40}, 1040ms, 1040ms},                  // the least margin, a second
        {{400, 400}, 1400ms, 1400ms},            // variation 150: still the margin
        {{6000}, 10000ms, 10000ms},              // capped
        {{1000, -1}, 6000ms, 6000ms},            // doubled
        {{1000, -1, -1, -1}, 10000ms, 10000ms},  // doubled to the cap
        {{1000, -1, 1000}, 2500ms, 2500ms},      // a sample ends the doubling: 1000 + 4 * 375
        {{-1}, 8000ms, 8000ms},
    };
    for (const Row& row : rows) {
        RoundTripEstimate estimate;
        for (const int event : row.events) {
            if (event < 0) {
                estimate.backOff();
            } else {
                estimate.sample(std::chrono::milliseconds{event});
            }
        }
        EXPECT_EQ(estimate.timeout(), row.timeout) << ::testing::PrintToString(row.events);
        EXPECT_EQ(estimate.periodFor(1000ms), row.periodOf1000)
            << ::testing::PrintToString(row.events);
        EXPECT_EQ(estimate.periodFor(30000ms), 30000ms);  // a longer local period stands
    }
}

}  // namespace
