#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "data/antenna_values.h"
#include "wire/display_text.h"  // latin1ToUtf8 and trimmed, which every command's output uses

// A longitude or latitude as a signed number, east and north positive; null where the
// hemisphere byte says it was never reported (0).
nlohmann::json signedDegrees(double degrees, char hemisphere, char negative);

// The seven tracking parameters, named as the service report names them.
nlohmann::json parametersJson(const AntennaParameters& parameters);

// One JSON document on stdout: indented, or on one line for a stream of them.
void printJson(const nlohmann::json& document, bool oneLine = false);
