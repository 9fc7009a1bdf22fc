#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "link/encoding.h"
#include "support/bytes.h"

TEST(Encoding, ScalingTruncatesTowardZeroAndSaturates) {
    // The products of the first four land just below the whole number: the line gets the
    // lower one. Out of range is held at the end of the range, never wrapped.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> x100[] = {
        {1.13, 112}, {0.29, 28},  {1.15, 114},     {2.25, 225}, {700.0, 0xFFFF},
        {-1.5, 0},   {-0.005, 0}, {1e300, 0xFFFF}, {nan, 0},    {inf, 0xFFFF}};
    for (const auto& [value, scaled] : x100) EXPECT_EQ(scaleX100(value), scaled) << value;
    const std::pair<double, int> x10[] = {
        {13.0, 130}, {19.25, 192}, {6553.5, 65535}, {6553.6, 0xFFFF}};
    for (const auto& [value, scaled] : x10) EXPECT_EQ(scaleX10(value), scaled) << value;
}

TEST(Encoding, WriterSignsHundredthsKeepsLowBitsAndStopsAtItsBuffer) {
    std::uint8_t buffer[32]{};
    PayloadWriter out(buffer);
    for (double value : {180.5, -3.25, 0.0, -0.0, 45.5, -1000.0}) out.SGN100(value);
    out.BE16(70000);
    out.U8(0x1234);
    EXPECT_EQ(Bytes(buffer, buffer + out.size()),
              (Bytes{'+',  0x46, 0x82, '-',  0x01, 0x45, '-',  0x00, 0x00, '-', 0x00,
                     0x00, '+',  0x11, 0xC6, '-',  0xFF, 0xFF, 0x11, 0x70, 0x34}));
    EXPECT_FALSE(out.overflowed());

    std::uint8_t small[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    PayloadWriter full(std::span<std::uint8_t>(small, 3));
    full.BE16(0x0102);
    full.SGN100(1.0);
    EXPECT_TRUE(full.overflowed());
    EXPECT_EQ(full.size(), 3u);
    EXPECT_EQ(bytesOf(small), (Bytes{0x01, 0x02, '+', 0xAA}));
}

TEST(Encoding, ReaderDecodesTheLineEncodings) {
    const Bytes line{0x12, 0x34, 0x00, 0x82, '+', 0x46, 0x82, ' ', 0x01, 0x45, '-', 0x00, 0x00};
    PayloadReader in(line);
    EXPECT_EQ(in.BE16(), 0x1234);
    EXPECT_DOUBLE_EQ(in.X10(), 13.0);
    EXPECT_DOUBLE_EQ(in.SGN100(), 180.5);
    EXPECT_DOUBLE_EQ(in.SGN100(), -3.25);  // anything but '+' is negative
    const double zero = in.SGN100();
    EXPECT_EQ(zero, 0.0);
    EXPECT_FALSE(std::signbit(zero));
    EXPECT_FALSE(in.exhausted());

    EXPECT_EQ(in.BE16(), 0);
    EXPECT_TRUE(in.exhausted());
}
