#include <gtest/gtest.h>

#include <array>

#include "data/fixed_text.h"
#include "support/bytes.h"

TEST(FixedText, PadsShortTextWithBlanksAndCutsLongText) {
    std::array<std::uint8_t, 10> field{};
    storeFixedText(field, u"ASTRA");
    EXPECT_EQ(bytesOf(field), ascii("ASTRA     "));
    EXPECT_EQ(fixedTextToString(field), u"ASTRA     ");

    storeFixedText(field, u"EUTELSAT-HOTBIRD");
    EXPECT_EQ(bytesOf(field), ascii("EUTELSAT-H"));

    storeFixedText(field, u"");
    EXPECT_EQ(bytesOf(field), ascii("          "));
}

TEST(FixedText, KeepsTheLowByteOfEachCodeUnitAndWidensItBack) {
    std::array<std::uint8_t, 4> field{};
    // e-acute is 0x00E9; Hangul GA is 0xAC00, whose low byte is 0.
    storeFixedText(field, u"\u00E9\uAC00\u0141");
    EXPECT_EQ(bytesOf(field), (Bytes{0xE9, 0x00, 0x41, 0x20}));
    EXPECT_EQ(fixedTextToString(field), std::u16string(u"\u00E9\u0000A ", 4));
}
