#include <gtest/gtest.h>

#include <string>

#include "wire/display_text.h"
#include "wire/number_text.h"

// Three trims for three uses: a field padded with blanks, a line of a message box (whose tabs
// are part of it), a value that must stay one field of a report line.
TEST(DisplayText, EachTrimKeepsWhatItsUseNeeds) {
    struct Case {
        const char* in;
        const char* blanks;
        const char* spaces;
        const char* oneField;
    };
    const Case cases[] = {
        {"  ASTRA 1   ", "ASTRA 1", "ASTRA 1", "ASTRA 1"},
        {"\t12.5\tE \t", "12.5\tE", "\t12.5\tE \t", "12.5 E"},
        {" \t ", "", "\t", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimmed(c.in), c.blanks) << c.in;
        EXPECT_EQ(withoutSpacesAround(c.in), c.spaces) << c.in;
        EXPECT_EQ(tabsAsSpaces(trimmed(c.in)), c.oneField) << c.in;
    }
}

TEST(DisplayText, EightBitTextsBecomeUtf8ByteForByte) {
    // e-acute 0xE9 is C3 A9; 0xFF is C3 BF; a lone surrogate shows as U+FFFD, EF BF BD.
    EXPECT_EQ(latin1ToUtf8(std::string_view("Caf\xE9\xFF", 5)), "Caf\xC3\xA9\xC3\xBF");
    EXPECT_EQ(latin1ToUtf8(std::u16string_view(u"Caf\u00E9")), "Caf\xC3\xA9");
    EXPECT_EQ(latin1ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8Text(u"TASMAN\u00E9  "), "TASMAN\xC3\xA9");
}

TEST(NumberText, FileAndTypedIntegersReadAlike) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {" \t-42x", -42}, {"+7", 7}, {"", 0}, {"- 5", 0}, {"\n\v\f\r0012", 12}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(textToInteger(text), value) << text;
        const std::string narrow(text);
        EXPECT_EQ(wideToInteger(std::u16string(narrow.begin(), narrow.end())), value) << text;
    }
}
