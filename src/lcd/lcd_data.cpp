#include "lcd/lcd_data.h"

std::array<std::uint8_t, kLcdDataSize> g_LcdData{};

void resetLcdData() {
    g_LcdData.fill(0);
}
