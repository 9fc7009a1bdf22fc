#include "wire/lamp_colors.h"

LampColor connectLampColor(int state) {
    switch (state) {
        case 0:
            return LampColor::Grey;
        case 1:
            return LampColor::Red;
        case 2:
            return LampColor::Blue;
        default:
            return LampColor::White;
    }
}

std::array<LampColor, kStateLamps> stateLampColors(int mode) {
    constexpr int kFirstMode = 2;
    constexpr int kStopMode = 6;
    std::array<LampColor, kStateLamps> colors;
    colors.fill(LampColor::Grey);
    const int lamp = mode - kFirstMode;
    if (lamp >= 0 && lamp < static_cast<int>(kStateLamps)) {
        colors[lamp] = mode == kStopMode ? LampColor::Red : LampColor::Blue;
    }
    return colors;
}

std::array<LampColor, 2> gpsLampColors(int state) {
    return {state == 1 ? LampColor::Blue : LampColor::Grey,
            state == 2 ? LampColor::Red : LampColor::Grey};
}

std::array<LampColor, kDiagnosisLamps> diagnosisLampColors(std::uint32_t word) {
    constexpr LampColor kByField[4] = {LampColor::Grey, LampColor::Green, LampColor::Blue,
                                       LampColor::Red};
    std::array<LampColor, kDiagnosisLamps> colors;
    for (std::size_t k = 0; k < kDiagnosisLamps; ++k) {
        colors[k] = kByField[(word >> (18 - 2 * k)) & 3u];
    }
    return colors;
}
