#include "frame_log.h"

#include <cstdio>

std::string frameLogLine(std::chrono::microseconds at, AcuSimulator::Direction direction,
                         std::span<const std::uint8_t> frame) {
    const long long micros = at.count();
    char head[64];
    std::snprintf(head, sizeof head, "%6lld.%06lld %s %3u ", micros / 1'000'000, micros % 1'000'000,
                  direction == AcuSimulator::Direction::FromProgram ? "PC>ACU" : "ACU>PC",
                  frame.size() > 2 ? static_cast<unsigned>(frame[2]) : 0U);
    std::string line = head;
    for (std::uint8_t byte : frame) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned>(byte));
        line += hex;
    }
    return line;
}
