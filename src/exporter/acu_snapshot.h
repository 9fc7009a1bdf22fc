#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// What the exporter knows of one ACU: the seam between the watcher that talks to it and the
// pages that show it. The watcher alone writes a snapshot, from the loop's thread; /metrics
// and /api/v1/acus are pure functions of the snapshots and the time, so they are tested
// without a line.

using WallClock = std::chrono::system_clock;

// The commands the exporter ever sends: the identification chain and the status poll.
inline constexpr std::array<std::uint8_t, 5> kWatchedCommands = {1, 2, 3, 4, 14};

// What the identification chain (replies 2, 3 and 4) told, as the window shows it.
struct AcuIdentity {
    std::string product;   // the model name
    std::string firmware;  // the ACU software version, "%1.2f"
    std::string serial;
    std::string region;
    std::string target;  // the target satellite when the chain ended; the status has the latest
    WallClock::time_point at{};
};

// The last status reply (14), in numbers.
struct AcuStatus {
    std::uint8_t antennaMode = 0;     // 2..7 as the state lamps
    std::uint8_t targetPosition = 0;  // the target satellite's place in the region's list, from 0
    std::string target;               // its name, as the window shows it
    std::uint32_t signalLevel = 0;
    double azimuth = 0.0;
    double elevation = 0.0;
    double skew = 0.0;
    std::uint8_t gpsLink = 0;  // 1 link, 2 no link
    double latitude = 0.0;     // north positive
    double longitude = 0.0;    // east positive
    double receiverVolts = 0.0;
    WallClock::time_point at{};
};

// Command round trips, in the buckets /metrics gives them.
struct RoundTripHistogram {
    static constexpr std::array<double, 10> kBounds = {0.01, 0.025, 0.05, 0.1, 0.25,
                                                       0.5,  1.0,   2.0,  5.0, 10.0};
    std::array<std::uint64_t, kBounds.size() + 1> counts{};  // the last: above every bound
    double sumSeconds = 0.0;
    std::uint64_t total = 0;

    void observe(double seconds);
};

// Where the watcher is with its ACU.
enum class LinkPhase {
    Opening,      // the line is being opened
    Identifying,  // the chain runs
    Polling,      // the status poll runs
    Waiting,      // hung up, given up or not opened: the next try is at retryAt
};

struct AcuSnapshot {
    std::string name;  // the label value
    std::string port;
    LinkPhase phase = LinkPhase::Opening;
    std::optional<AcuIdentity> identity;
    std::optional<AcuStatus> status;
    // Why the last try ended, as the window would say it; empty while all is well.
    std::string lastProblem;
    std::optional<WallClock::time_point> retryAt;

    // Sends of each watched command that got no reply before the next send or the give-up.
    std::array<std::uint64_t, kWatchedCommands.size()> unanswered{};
    std::uint64_t hangups = 0;
    std::uint64_t framesRejected = 0;
    RoundTripHistogram roundTrips;

    // Identified, polling, and the last status reply no older than kUpWindow.
    bool up(WallClock::time_point now) const;
};

// How recent the last status reply must be for an ACU to count as up.
inline constexpr auto kUpWindow = std::chrono::seconds{5};

// The place of a watched command in AcuSnapshot::unanswered; nothing for any other code.
std::optional<std::size_t> watchedIndex(std::uint8_t code);
