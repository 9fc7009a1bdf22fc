#include "exporter/metrics_page.h"

#include <charconv>
#include <functional>
#include <utility>
#include <vector>

namespace {

using Labels = std::vector<std::pair<const char*, std::string>>;

std::string number(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string number(std::uint64_t value) {
    return std::to_string(value);
}

std::string escapeHelp(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

double unixSeconds(WallClock::time_point at) {
    return std::chrono::duration<double>(at.time_since_epoch()).count();
}

class Page {
public:
    Page(std::span<const AcuSnapshot> acus, WallClock::time_point now) : m_Acus(acus), m_Now(now) {
        // Each ACU's label is escaped once, not once a series: a fleet's page has thousands.
        for (const AcuSnapshot& acu : acus) {
            m_AcuLabels.push_back("{acu=\"" + escapeLabelValue(acu.name) + "\"");
        }
        m_Out.reserve(acus.size() * kBytesPerAcu);
    }

    // One family: its HELP and TYPE, then what series gives for each ACU.
    void family(const char* name, const char* type, const char* help,
                const std::function<void(const AcuSnapshot&)>& series) {
        m_Out += std::string("# HELP ") + name + " " + escapeHelp(help) + "\n";
        m_Out += std::string("# TYPE ") + name + " " + type + "\n";
        for (const AcuSnapshot& acu : m_Acus) series(acu);
    }

    // A family of one value an ACU from its last status, given only while the ACU is up.
    void statusGauge(const char* name, const char* help,
                     const std::function<double(const AcuStatus&)>& value) {
        family(name, "gauge", help, [&](const AcuSnapshot& acu) {
            if (acu.up(m_Now)) sample(name, acu, {}, number(value(*acu.status)));
        });
    }

    void sample(std::string_view name, const AcuSnapshot& acu, const Labels& labels,
                const std::string& value) {
        m_Out.append(name);
        m_Out += m_AcuLabels[static_cast<std::size_t>(&acu - m_Acus.data())];
        for (const auto& [label, text] : labels) {
            m_Out += ',';
            m_Out += label;
            m_Out += "=\"";
            m_Out += escapeLabelValue(text);
            m_Out += '"';
        }
        m_Out += "} ";
        m_Out += value;
        m_Out += '\n';
    }

    WallClock::time_point now() const { return m_Now; }
    std::string take() { return std::move(m_Out); }

private:
    // About what one ACU takes on the page, so that it is allocated once.
    static constexpr std::size_t kBytesPerAcu = 2400;

    std::span<const AcuSnapshot> m_Acus;
    WallClock::time_point m_Now;
    std::vector<std::string> m_AcuLabels;
    std::string m_Out;
};

void renderHistogram(Page& page) {
    const char* name = "skyrelay_round_trip_seconds";
    page.family(name, "histogram", "Time from a command to its reply.",
                [&](const AcuSnapshot& acu) {
                    const RoundTripHistogram& h = acu.roundTrips;
                    std::uint64_t cumulative = 0;
                    for (std::size_t i = 0; i < h.kBounds.size(); ++i) {
                        cumulative += h.counts[i];
                        page.sample("skyrelay_round_trip_seconds_bucket", acu,
                                    {{"le", number(h.kBounds[i])}}, number(cumulative));
                    }
                    page.sample("skyrelay_round_trip_seconds_bucket", acu, {{"le", "+Inf"}},
                                number(h.total));
                    page.sample("skyrelay_round_trip_seconds_sum", acu, {}, number(h.sumSeconds));
                    page.sample("skyrelay_round_trip_seconds_count", acu, {}, number(h.total));
                });
}

}  // namespace

std::string escapeLabelValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string renderMetrics(std::span<const AcuSnapshot> acus, WallClock::time_point now) {
    Page page(acus, now);
    page.family("skyrelay_up", "gauge",
                "1 when the ACU is identified and answered the status poll within the last 5 s.",
                [&](const AcuSnapshot& acu) {
                    page.sample("skyrelay_up", acu, {}, acu.up(now) ? "1" : "0");
                });
    page.family("skyrelay_acu_info", "gauge",
                "The ACU's product, firmware, serial number, region and target satellite.",
                [&](const AcuSnapshot& acu) {
                    if (!acu.identity) return;
                    const AcuIdentity& id = *acu.identity;
                    page.sample("skyrelay_acu_info", acu,
                                {{"product", id.product},
                                 {"firmware", id.firmware},
                                 {"serial", id.serial},
                                 {"region", id.region},
                                 {"target", acu.status ? acu.status->target : id.target}},
                                "1");
                });
    page.family(
        "skyrelay_antenna_state", "gauge", "1 for the antenna's current state, 0 for the others.",
        [&](const AcuSnapshot& acu) {
            if (!acu.up(now)) return;
            for (int mode = 2; mode <= 7; ++mode) {
                page.sample("skyrelay_antenna_state", acu, {{"state", antennaStateLabel(mode)}},
                            acu.status->antennaMode == mode ? "1" : "0");
            }
        });
    page.statusGauge("skyrelay_signal_level", "The signal level of the status reply.",
                     [](const AcuStatus& s) { return static_cast<double>(s.signalLevel); });
    page.statusGauge("skyrelay_azimuth_degrees", "The dish's current azimuth.",
                     [](const AcuStatus& s) { return s.azimuth; });
    page.statusGauge("skyrelay_elevation_degrees", "The dish's current elevation.",
                     [](const AcuStatus& s) { return s.elevation; });
    page.statusGauge("skyrelay_skew_degrees", "The dish's current skew.",
                     [](const AcuStatus& s) { return s.skew; });
    page.statusGauge("skyrelay_gps_link", "The GPS link state: 1 link, 2 no link.",
                     [](const AcuStatus& s) { return static_cast<double>(s.gpsLink); });
    page.statusGauge("skyrelay_gps_latitude_degrees", "The antenna's latitude, south negative.",
                     [](const AcuStatus& s) { return s.latitude; });
    page.statusGauge("skyrelay_gps_longitude_degrees", "The antenna's longitude, west negative.",
                     [](const AcuStatus& s) { return s.longitude; });
    page.statusGauge("skyrelay_receiver_volts", "The LNB supply the receiver puts on the cable.",
                     [](const AcuStatus& s) { return s.receiverVolts; });
    page.family("skyrelay_commands_unanswered_total", "counter",
                "Commands sent that got no reply before they were sent again or given up.",
                [&](const AcuSnapshot& acu) {
                    for (std::size_t i = 0; i < kWatchedCommands.size(); ++i) {
                        page.sample("skyrelay_commands_unanswered_total", acu,
                                    {{"command", std::to_string(kWatchedCommands[i])}},
                                    number(acu.unanswered[i]));
                    }
                });
    page.family("skyrelay_hangups_total", "counter", "Times the line went away under the exporter.",
                [&](const AcuSnapshot& acu) {
                    page.sample("skyrelay_hangups_total", acu, {}, number(acu.hangups));
                });
    page.family("skyrelay_frames_rejected_total", "counter",
                "Frames from the ACU rejected for their checksum or end byte.",
                [&](const AcuSnapshot& acu) {
                    page.sample("skyrelay_frames_rejected_total", acu, {},
                                number(acu.framesRejected));
                });
    page.family("skyrelay_last_status_timestamp_seconds", "gauge",
                "Unix time of the last status reply.", [&](const AcuSnapshot& acu) {
                    if (!acu.status) return;
                    page.sample("skyrelay_last_status_timestamp_seconds", acu, {},
                                number(unixSeconds(acu.status->at)));
                });
    renderHistogram(page);
    return page.take();
}
