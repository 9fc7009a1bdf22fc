#pragma once

#include "exporter/acu_snapshot.h"

struct LinkState;

// What one ACU's controller has taken in, as the exporter keeps it: the only place that reads
// the link's state.
AcuIdentity identityFromLink(const LinkState& link, WallClock::time_point at);
AcuStatus statusFromLink(const LinkState& link, WallClock::time_point at);
