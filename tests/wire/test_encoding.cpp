#include <gtest/gtest.h>

#include <limits>

#include "support/bytes.h"
#include "wire/encoding.h"

TEST(Encoding, ScalingTruncatesTowardZeroAndSaturates) {
    // 1.13 * 100 lands just below 113: the line gets the lower number. Out of range is held
    // at the end of the range, never wrapped.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> x100[] = {
        {1.13, 112}, {700.0, 0xFFFF}, {-1.5, 0}, {nan, 0}, {inf, 0xFFFF}};
    for (const auto& [value, scaled] : x100) EXPECT_EQ(scaleX100(value), scaled) << value;
    const std::pair<double, int> x10[] = {{19.25, 192}, {6553.5, 65535}, {6553.6, 0xFFFF}};
    for (const auto& [value, scaled] : x10) EXPECT_EQ(scaleX10(value), scaled) << value;
}

TEST(Encoding, WriterSignsHundredthsKeepsLowBitsAndStopsAtItsBuffer) {
    std::uint8_t buffer[32]{};
    PayloadWriter out(buffer);
    for (double value : {180.5, 0.0, -1000.0}) out.SGN100(value);
    out.BE16(70000);
    out.U8(0x1234);
    EXPECT_EQ(Bytes(buffer, buffer + out.size()),
              (Bytes{'+', 0x46, 0x82, '-', 0x00, 0x00, '-', 0xFF, 0xFF, 0x11, 0x70, 0x34}));
    EXPECT_FALSE(out.overflowed());

    std::uint8_t small[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    PayloadWriter full(std::span<std::uint8_t>(small, 3));
    full.BE16(0x0102);
    full.SGN100(1.0);
    EXPECT_TRUE(full.overflowed());
    EXPECT_EQ(full.size(), 3u);
    EXPECT_EQ(bytesOf(small), (Bytes{0x01, 0x02, '+', 0xAA}));
}
