#pragma once

#include <array>
#include <cstdint>

// The texts the ACU shows on its own 20-character LCD, as one block in the ACU's layout.
inline constexpr std::size_t kLcdDataSize = 272;

extern std::array<std::uint8_t, kLcdDataSize> g_LcdData;

void resetLcdData();
