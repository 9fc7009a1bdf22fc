#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "exporter/acus_document.h"
#include "exporter/metrics_page.h"

namespace {

using std::chrono::seconds;

// 2026-01-02T03:04:05Z
const WallClock::time_point kNow = WallClock::from_time_t(1767323045);

AcuSnapshot tracking() {
    AcuSnapshot acu;
    acu.name = "vessel-a";
    acu.port = "/dev/ttyUSB0";
    acu.phase = LinkPhase::Polling;
    acu.identity = AcuIdentity{"OCEANSAT SR-60", "2.07",    "SR60-2419087",
                               "NW-EUROPE",      "HOTBIRD", kNow - seconds{60}};
    AcuStatus status;
    status.antennaMode = 4;
    status.targetPosition = 1;
    status.target = "ASTRA \"2\"";
    status.signalLevel = 820;
    status.azimuth = 169.22;
    status.elevation = 30.08;
    status.skew = -6.5;
    status.gpsLink = 1;
    status.latitude = -33.9;
    status.longitude = -25.67;
    status.receiverVolts = 18.3;
    status.at = kNow - seconds{2};
    acu.status = status;
    acu.unanswered = {1, 0, 0, 0, 7};
    acu.hangups = 2;
    acu.roundTrips.observe(0.004);
    acu.roundTrips.observe(0.3);
    acu.roundTrips.observe(12.0);
    return acu;
}

bool holds(const std::string& page, const std::string& line) {
    return page.find(line + "\n") != std::string::npos;
}

TEST(MetricsPage, AnAcuThatIsUp) {
    const std::vector<AcuSnapshot> acus{tracking()};
    const std::string page = renderMetrics(acus, kNow);
    for (const char* line : {
             "# TYPE skyrelay_up gauge",
             "skyrelay_up{acu=\"vessel-a\"} 1",
             "skyrelay_acu_info{acu=\"vessel-a\",product=\"OCEANSAT SR-60\",firmware=\"2.07\","
             "serial=\"SR60-2419087\",region=\"NW-EUROPE\",target=\"ASTRA \\\"2\\\"\"} 1",
             "skyrelay_antenna_state{acu=\"vessel-a\",state=\"satellite_search\"} 0",
             "skyrelay_antenna_state{acu=\"vessel-a\",state=\"satellite_tracking\"} 1",
             "skyrelay_signal_level{acu=\"vessel-a\"} 820",
             "skyrelay_skew_degrees{acu=\"vessel-a\"} -6.5",
             "skyrelay_gps_latitude_degrees{acu=\"vessel-a\"} -33.9",
             "skyrelay_gps_longitude_degrees{acu=\"vessel-a\"} -25.67",
             "skyrelay_receiver_volts{acu=\"vessel-a\"} 18.3",
             "# TYPE skyrelay_commands_unanswered_total counter",
             "skyrelay_commands_unanswered_total{acu=\"vessel-a\",command=\"1\"} 1",
             "skyrelay_commands_unanswered_total{acu=\"vessel-a\",command=\"14\"} 7",
             "skyrelay_hangups_total{acu=\"vessel-a\"} 2",
             "skyrelay_last_status_timestamp_seconds{acu=\"vessel-a\"} 1767323043",
             "# TYPE skyrelay_round_trip_seconds histogram",
             "skyrelay_round_trip_seconds_bucket{acu=\"vessel-a\",le=\"0.01\"} 1",
             "skyrelay_round_trip_seconds_bucket{acu=\"vessel-a\",le=\"0.25\"} 1",
             "skyrelay_round_trip_seconds_bucket{acu=\"vessel-a\",le=\"0.5\"} 2",
             "skyrelay_round_trip_seconds_bucket{acu=\"vessel-a\",le=\"10\"} 2",
             "skyrelay_round_trip_seconds_bucket{acu=\"vessel-a\",le=\"+Inf\"} 3",
             "skyrelay_round_trip_seconds_count{acu=\"vessel-a\"} 3",
         }) {
        EXPECT_TRUE(holds(page, line)) << line << "\n" << page;
    }
}

TEST(MetricsPage, AQuietOrUnidentifiedAcuIsDownAndShowsNoStaleValues) {
    AcuSnapshot quiet = tracking();
    quiet.status->at = kNow - seconds{6};
    AcuSnapshot waiting;
    waiting.name = "b\\n\nx";
    waiting.phase = LinkPhase::Waiting;
    const std::vector<AcuSnapshot> acus{quiet, waiting};
    const std::string page = renderMetrics(acus, kNow);
    EXPECT_TRUE(holds(page, "skyrelay_up{acu=\"vessel-a\"} 0"));
    EXPECT_TRUE(holds(page, "skyrelay_up{acu=\"b\\\\n\\nx\"} 0"));
    EXPECT_FALSE(holds(page, "skyrelay_signal_level{acu=\"vessel-a\"} 820"));
    // The last status's time stays: it tells since when nothing came.
    EXPECT_TRUE(holds(page, "skyrelay_last_status_timestamp_seconds{acu=\"vessel-a\"} 1767323039"));
    EXPECT_EQ(page.find("skyrelay_acu_info{acu=\"b"), std::string::npos);
}

TEST(AcusDocument, SignedPositionsAndTimesWithTheirOffset) {
    setenv("TZ", "UTC", 1);
    tzset();
    const std::vector<AcuSnapshot> acus{tracking()};
    const nlohmann::json document = acusDocument(acus, kNow);
    EXPECT_EQ(document["time"], "2026-01-02T03:04:05.000+00:00");
    const nlohmann::json& acu = document["acus"][0];
    EXPECT_EQ(acu["name"], "vessel-a");
    EXPECT_EQ(acu["up"], true);
    EXPECT_EQ(acu["status"]["time"], "2026-01-02T03:04:03.000+00:00");
    EXPECT_EQ(acu["status"]["gps"]["latitude"], -33.9);
    EXPECT_EQ(acu["status"]["gps"]["longitude"], -25.67);
    EXPECT_EQ(acu["status"]["target"]["position"], 2);
    EXPECT_EQ(acu["identity"]["serial_number"], "SR60-2419087");
    EXPECT_EQ(acu["counters"]["commands_unanswered"]["14"], 7);
    setenv("TZ", "EST5EDT", 1);  // UTC-5 in January
    tzset();
    EXPECT_EQ(rfc3339(kNow), "2026-01-01T22:04:05.000-05:00");
}

}  // namespace
