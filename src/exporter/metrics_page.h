#pragma once

#include <span>
#include <string>
#include <string_view>

#include "exporter/acu_snapshot.h"
#include "link/frame_text.h"

// The Prometheus text exposition format (version 0.0.4) of a fleet: every family with its
// HELP and TYPE lines, every series labelled with its ACU's name. The values of the last
// status are given only while the ACU is up, so a graph shows a gap where nothing was known
// rather than the last value drawn on.
std::string renderMetrics(std::span<const AcuSnapshot> acus, WallClock::time_point now);

inline constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

// A label value as the format wants it between its quotes: backslash, double quote and line
// feed escaped.
std::string escapeLabelValue(std::string_view value);
