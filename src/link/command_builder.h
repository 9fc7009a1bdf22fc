#pragma once

#include <cstdint>
#include <span>

class ControllerView;

// Builds the payload of a command from the process-wide state, code byte first, and returns
// its length. Codes outside the command set (0, 5, 22, 23, 31, 32, above 42) build nothing
// and give 0. Command 10 also stores the Administrator page's selector positions, read from
// the view, as the upload cursor.
std::uint8_t buildCommandPayload(std::uint8_t code, const ControllerView& view,
                                 std::span<std::uint8_t> payload);
