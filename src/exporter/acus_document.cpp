#include "exporter/acus_document.h"

#include "exporter/metrics_page.h"

namespace {

const char* phaseName(LinkPhase phase) {
    switch (phase) {
        case LinkPhase::Opening:
            return "opening";
        case LinkPhase::Identifying:
            return "identifying";
        case LinkPhase::Polling:
            return "polling";
        case LinkPhase::Waiting:
            return "waiting";
    }
    return "";
}

nlohmann::json identityJson(const AcuIdentity& id) {
    return {{"antenna_model", id.product},     {"acu_sw_version", id.firmware},
            {"serial_number", id.serial},      {"region", id.region},
            {"target", {{"name", id.target}}}, {"time", rfc3339(id.at)}};
}

nlohmann::json statusJson(const AcuStatus& s) {
    return {
        {"time", rfc3339(s.at)},
        {"state", s.antennaMode},
        {"state_name", antennaStateLabel(s.antennaMode)},
        {"target", {{"position", s.targetPosition + 1}, {"name", s.target}}},
        {"signal_level", s.signalLevel},
        {"azimuth", s.azimuth},
        {"elevation", s.elevation},
        {"skew", s.skew},
        {"gps", {{"link", s.gpsLink == 1}, {"latitude", s.latitude}, {"longitude", s.longitude}}},
        {"receiver_volts", s.receiverVolts}};
}

nlohmann::json countersJson(const AcuSnapshot& acu) {
    nlohmann::json unanswered = nlohmann::json::object();
    for (std::size_t i = 0; i < kWatchedCommands.size(); ++i) {
        unanswered[std::to_string(kWatchedCommands[i])] = acu.unanswered[i];
    }
    return {{"commands_unanswered", unanswered},
            {"hangups", acu.hangups},
            {"frames_rejected", acu.framesRejected},
            {"round_trips",
             {{"count", acu.roundTrips.total}, {"sum_seconds", acu.roundTrips.sumSeconds}}}};
}

}  // namespace

nlohmann::json acusDocument(std::span<const AcuSnapshot> acus, WallClock::time_point now) {
    nlohmann::json list = nlohmann::json::array();
    for (const AcuSnapshot& acu : acus) {
        list.push_back({{"name", acu.name},
                        {"port", acu.port},
                        {"up", acu.up(now)},
                        {"link", phaseName(acu.phase)},
                        {"problem", acu.lastProblem.empty() ? nlohmann::json(nullptr)
                                                            : nlohmann::json(acu.lastProblem)},
                        {"retry_at", acu.retryAt ? nlohmann::json(rfc3339(*acu.retryAt))
                                                 : nlohmann::json(nullptr)},
                        {"identity", acu.identity ? identityJson(*acu.identity) : nullptr},
                        {"status", acu.status ? statusJson(*acu.status) : nullptr},
                        {"counters", countersJson(acu)}});
    }
    return {{"time", rfc3339(now)}, {"acus", list}};
}
