#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "wire/display_text.h"  // latin1ToUtf8 and trimmed, which every command's output uses

// One JSON document on stdout: indented, or on one line for a stream of them.
void printJson(const nlohmann::json& document, bool oneLine = false);
