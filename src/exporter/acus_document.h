#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "exporter/acu_snapshot.h"
#include "link/session_log.h"

// /api/v1/acus: each ACU's last values with the times they came, in the snake_case naming
// that skyrelay-cli's JSON uses for the same things. Longitudes and latitudes are signed
// numbers, east and north positive; times are RFC 3339 in local time with their offset.
nlohmann::json acusDocument(std::span<const AcuSnapshot> acus, WallClock::time_point now);
