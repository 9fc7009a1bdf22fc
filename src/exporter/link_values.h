#pragma once

#include "exporter/acu_snapshot.h"

// What the controller has taken in from the ACU, as the exporter keeps it. This is the one
// place that reads the link's values: today the process-wide state the controller keeps
// (one ACU a process), later the state of the watcher's own controller.
AcuIdentity identityFromLink(WallClock::time_point at);
AcuStatus statusFromLink(WallClock::time_point at);
