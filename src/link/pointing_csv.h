#pragma once

#include <string>

#include "link/pointing_samples.h"

// The samples as comma-separated values for a spreadsheet: local time with milliseconds
// ("2026-12-07 14:05:09.250"), the state lamp's label, then the numbers with a point for the
// decimals. A value the reply did not carry is an empty field.
std::string pointingCsvHeader();
std::string pointingCsvLine(const PointingSample& sample);
