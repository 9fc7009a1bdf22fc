#include <gtest/gtest.h>

#include <array>

#include "support/bytes.h"
#include "wire/fixed_text.h"

TEST(FixedText, PadsWithBlanksCutsAndKeepsTheLowByteOfEachCodeUnit) {
    std::array<std::uint8_t, 10> field{};
    storeFixedText(field, u"ASTRA");
    EXPECT_EQ(bytesOf(field), ascii("ASTRA     "));
    storeFixedText(field, u"EUTELSAT-HOTBIRD");
    EXPECT_EQ(bytesOf(field), ascii("EUTELSAT-H"));

    // e-acute is 0x00E9; Hangul GA is 0xAC00, whose low byte is 0.
    std::array<std::uint8_t, 4> small{};
    storeFixedText(small, u"\u00E9\uAC00\u0141");
    EXPECT_EQ(bytesOf(small), (Bytes{0xE9, 0x00, 0x41, 0x20}));
    EXPECT_EQ(fixedTextToString(small), std::u16string(u"\u00E9\u0000A ", 4));
}
