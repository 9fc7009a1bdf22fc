#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "link/encoding.h"
#include "support/bytes.h"

namespace {

Bytes written(void (*write)(PayloadWriter&)) {
    std::uint8_t buffer[16]{};
    PayloadWriter out(buffer);
    write(out);
    return Bytes(buffer, buffer + out.size());
}

}  // namespace

TEST(Encoding, Sgn100SendsASignThenTheTruncatedMagnitude) {
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(180.5); }), (Bytes{'+', 0x46, 0x82}));
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(-3.25); }), (Bytes{'-', 0x01, 0x45}));
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(0.0); }), (Bytes{'-', 0x00, 0x00}));
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(-0.0); }), (Bytes{'-', 0x00, 0x00}));
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(45.5); }), (Bytes{'+', 0x11, 0xC6}));
}

TEST(Encoding, ScalingTruncatesTowardZero) {
    // The products land just below the whole number, and the line gets the lower one.
    EXPECT_EQ(scaleX100(1.13), 112);
    EXPECT_EQ(scaleX100(0.29), 28);
    EXPECT_EQ(scaleX100(1.15), 114);
    EXPECT_EQ(scaleX100(2.25), 225);
    EXPECT_EQ(scaleX10(13.0), 130);
    EXPECT_EQ(scaleX10(19.25), 192);
}

TEST(Encoding, PlainValuesWiderThan16BitsKeepTheirLowBitsScaledOnesSaturate) {
    EXPECT_EQ(written([](PayloadWriter& o) { o.BE16(70000); }), (Bytes{0x11, 0x70}));
    EXPECT_EQ(written([](PayloadWriter& o) { o.U8(0x1234); }), (Bytes{0x34}));
    // An angle or a scale out of range is held at the end of the range, never wrapped.
    EXPECT_EQ(scaleX100(700.0), 0xFFFF);
    EXPECT_EQ(scaleX10(6553.6), 0xFFFF);
    EXPECT_EQ(scaleX10(6553.5), 65535);
    EXPECT_EQ(scaleX100(-1.5), 0);
    EXPECT_EQ(scaleX100(-0.005), 0);
    EXPECT_EQ(scaleX100(1e300), 0xFFFF);
    EXPECT_EQ(scaleX100(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(scaleX100(std::numeric_limits<double>::infinity()), 0xFFFF);
    EXPECT_EQ(written([](PayloadWriter& o) { o.SGN100(-1000.0); }), (Bytes{'-', 0xFF, 0xFF}));
}

TEST(Encoding, WriterRefusesToRunPastItsBuffer) {
    std::uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    PayloadWriter out(std::span<std::uint8_t>(buffer, 3));
    out.BE16(0x0102);
    out.SGN100(1.0);
    EXPECT_TRUE(out.overflowed());
    EXPECT_EQ(out.size(), 3u);
    EXPECT_EQ(bytesOf(buffer), (Bytes{0x01, 0x02, '+', 0xAA}));
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
