#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "data/antenna_values.h"

// The 8-bit texts of records (one byte a character, shown as the character of that code) as
// UTF-8 for a terminal or a JSON document.
std::string latin1ToUtf8(std::u16string_view text);
std::string latin1ToUtf8(std::string_view bytes);

// Without the blanks that pad fixed-width fields and frame the window's texts.
std::string trimmed(std::string_view text);

// A longitude or latitude as a signed number, east and north positive; null where the
// hemisphere byte says it was never reported (0).
nlohmann::json signedDegrees(double degrees, char hemisphere, char negative);

// The seven tracking parameters, named as the service report names them.
nlohmann::json parametersJson(const AntennaParameters& parameters);

// One JSON document on stdout: indented, or on one line for a stream of them.
void printJson(const nlohmann::json& document, bool oneLine = false);
