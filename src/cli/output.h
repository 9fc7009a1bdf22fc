#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// The 8-bit texts of records (one byte a character, shown as the character of that code) as
// UTF-8 for a terminal or a JSON document.
std::string latin1ToUtf8(std::u16string_view text);
std::string latin1ToUtf8(std::string_view bytes);

// Without the blanks that pad fixed-width fields and frame the window's texts.
std::string trimmed(std::string_view text);

// One JSON document on stdout: indented, or on one line for a stream of them.
void printJson(const nlohmann::json& document, bool oneLine = false);
