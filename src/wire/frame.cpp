#include "wire/frame.h"

#include "wire/protocol.h"

std::uint8_t frameChecksum(std::span<const std::uint8_t> payload) {
    unsigned sum = static_cast<unsigned>(payload.size());
    for (std::uint8_t byte : payload) sum += byte;
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::size_t encodeFrame(std::span<const std::uint8_t> payload, std::span<std::uint8_t> frame) {
    const std::size_t size = payload.size() + kFrameOverhead;
    if (payload.size() > 255 || frame.size() < size) return 0;
    frame[0] = kStx;
    frame[1] = static_cast<std::uint8_t>(payload.size());
    for (std::size_t i = 0; i < payload.size(); ++i) frame[2 + i] = payload[i];
    frame[2 + payload.size()] = frameChecksum(payload);
    frame[3 + payload.size()] = kEtx;
    return size;
}
