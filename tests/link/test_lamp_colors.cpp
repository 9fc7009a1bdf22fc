#include <gtest/gtest.h>

#include "link/lamp_colors.h"

using enum LampColor;

TEST(LampColors, StateLampsLightOnlyTheReportedMode) {
    EXPECT_EQ(stateLampColors(2), (std::array{Blue, Grey, Grey, Grey, Grey, Grey}));
    EXPECT_EQ(stateLampColors(6), (std::array{Grey, Grey, Grey, Grey, Red, Grey}));
    EXPECT_EQ(stateLampColors(7), (std::array{Grey, Grey, Grey, Grey, Grey, Blue}));
    for (int mode : {0, 1, 8, 255, -1}) {
        EXPECT_EQ(stateLampColors(mode), (std::array{Grey, Grey, Grey, Grey, Grey, Grey})) << mode;
    }
}

TEST(LampColors, ConnectAndGpsLamps) {
    EXPECT_EQ(connectLampColor(0), Grey);
    EXPECT_EQ(connectLampColor(1), Red);
    EXPECT_EQ(connectLampColor(2), Blue);
    EXPECT_EQ(connectLampColor(3), White);
    EXPECT_EQ(gpsLampColors(0), (std::array{Grey, Grey}));
    EXPECT_EQ(gpsLampColors(1), (std::array{Blue, Grey}));
    EXPECT_EQ(gpsLampColors(2), (std::array{Grey, Red}));
}

TEST(LampColors, DiagnosisLampsReadTwoBitsPerItemFromTheTop) {
    auto colors = diagnosisLampColors(0xC0000);  // bits 19 and 18: item 1 failed
    EXPECT_EQ(colors[0], Red);
    for (std::size_t k = 1; k < 10; ++k) EXPECT_EQ(colors[k], Grey);
    colors = diagnosisLampColors(0x1);  // bit 0: item 10 under test
    EXPECT_EQ(colors[9], Green);
    EXPECT_EQ(colors[0], Grey);
    colors = diagnosisLampColors(0xFFF00000u | 0x80000);  // bits 20 and above are ignored
    EXPECT_EQ(colors[0], Blue);
    EXPECT_EQ(colors[1], Grey);
}
