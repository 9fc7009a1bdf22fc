#include "frame_log.h"

#include "link/frame_text.h"

std::string frameLogLine(std::chrono::microseconds at, AcuSimulator::Direction direction,
                         std::span<const std::uint8_t> frame) {
    const TrafficKind kind = direction == AcuSimulator::Direction::FromProgram
                                 ? TrafficKind::Sent
                                 : TrafficKind::Received;
    return trafficLine(makeTrafficEntry(at, kind, frame));
}
