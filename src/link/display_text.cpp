#include "link/display_text.h"

#include <cstdarg>
#include <cstdio>

std::string formatText(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length) < sizeof buffer
                                   ? static_cast<std::size_t>(length)
                                   : sizeof buffer - 1);
}

std::string progressPercentText(std::uint32_t count, std::uint32_t total) {
    if (total == 0) return "0";
    const std::uint32_t percent = count * 100u / total;
    return formatText("%d", static_cast<int>(percent));
}

std::string positionText(double degrees) {
    return formatText("%2.2f", degrees);
}
