#include <gtest/gtest.h>

#include "wire/lamp_colors.h"

using enum LampColor;

TEST(LampColors, EachLampShowsItsReportedState) {
    EXPECT_EQ(stateLampColors(2), (std::array{Blue, Grey, Grey, Grey, Grey, Grey}));
    EXPECT_EQ(stateLampColors(6), (std::array{Grey, Grey, Grey, Grey, Red, Grey}));
    EXPECT_EQ(stateLampColors(7), (std::array{Grey, Grey, Grey, Grey, Grey, Blue}));
    for (int mode : {1, 8}) {
        EXPECT_EQ(stateLampColors(mode), (std::array{Grey, Grey, Grey, Grey, Grey, Grey})) << mode;
    }
    EXPECT_EQ((std::array{connectLampColor(0), connectLampColor(1), connectLampColor(2),
                          connectLampColor(3)}),
              (std::array{Grey, Red, Blue, White}));
    EXPECT_EQ(gpsLampColors(0), (std::array{Grey, Grey}));
    EXPECT_EQ(gpsLampColors(1), (std::array{Blue, Grey}));
    EXPECT_EQ(gpsLampColors(2), (std::array{Grey, Red}));

    // Two bits per diagnosis item from bit 19 down; bits 20 and above are ignored.
    EXPECT_EQ(diagnosisLampColors(0xC0000),  // item 1 failed
              (std::array{Red, Grey, Grey, Grey, Grey, Grey, Grey, Grey, Grey, Grey}));
    EXPECT_EQ(diagnosisLampColors(0xFFF00000u | 0x80000 | 0x1),  // 1 passed, 10 under test
              (std::array{Blue, Grey, Grey, Grey, Grey, Grey, Grey, Grey, Grey, Green}));
}
