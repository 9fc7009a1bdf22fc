#pragma once

#include <cstdint>
#include <string>

// printf-style formatting for the texts the windows show, in the C locale's notation.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// count * 100 / total in unsigned arithmetic, as "%d". A total of 0 shows "0" instead of
// dividing by zero; more steps than announced may show above 100.
std::string progressPercentText(std::uint32_t count, std::uint32_t total);

// "%2.2f": the current position fields.
std::string positionText(double degrees);
