#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// (LEN + every payload byte) mod 256, where LEN is the payload's size.
std::uint8_t frameChecksum(std::span<const std::uint8_t> payload);

// Wraps a payload of at most 255 bytes as STX, LEN, payload, CHK, ETX into frame, which must
// hold payload.size() + 4 bytes. Returns the frame's size, or 0 when either size is wrong.
std::size_t encodeFrame(std::span<const std::uint8_t> payload, std::span<std::uint8_t> frame);
