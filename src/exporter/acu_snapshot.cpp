#include "exporter/acu_snapshot.h"

#include <algorithm>

void RoundTripHistogram::observe(double seconds) {
    const auto bound = std::lower_bound(kBounds.begin(), kBounds.end(), seconds);
    counts[static_cast<std::size_t>(bound - kBounds.begin())] += 1;
    sumSeconds += seconds;
    total += 1;
}

bool AcuSnapshot::up(WallClock::time_point now) const {
    return phase == LinkPhase::Polling && identity && status && now - status->at <= kUpWindow;
}

std::optional<std::size_t> watchedIndex(std::uint8_t code) {
    const auto found = std::find(kWatchedCommands.begin(), kWatchedCommands.end(), code);
    if (found == kWatchedCommands.end()) return std::nullopt;
    return static_cast<std::size_t>(found - kWatchedCommands.begin());
}
