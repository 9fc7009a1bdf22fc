// The .lcd file into the 272-byte block and back, and the editor's fields into the block.

#include <gtest/gtest.h>

#include <string>

#include "lcd/lcd_data.h"
#include "support/bytes.h"

namespace {

LcdDataBlock filled(std::uint8_t byte) {
    LcdDataBlock block;
    block.fill(byte);
    return block;
}

std::string part(const LcdDataBlock& block, std::size_t offset, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(block.data()) + offset, size);
}

LcdDataBlock parsed(std::string_view file) {
    LcdDataBlock block = filled('#');
    ParseLcdFile(ascii(file), block);
    return block;
}

}  // namespace

TEST(LcdFile, LinesTakeTheirPlaceCutOrBlankPadded) {
    std::string thirteen;
    for (int line = 0; line < 13; ++line) thirteen += "LINE\n";
    const struct {
        std::string file;
        std::size_t offset;
        std::string expected;
    } cases[] = {
        {"ABC\n\nL2\n", 0, "ABC                                     L2                  "},
        {"ABC\n\nL2\n", 60, std::string(212, '#')},  // lines the file lacks keep what they held
        {"0123456789ABCDEFGHIJKLMNOP\nnext", 0, "0123456789ABCDEFGHIJnext                "},
        {"A\rB\n", 0, "A                   "},
        // The fourteenth line is the 12-byte serial; later lines are ignored.
        {thirteen + "SN-2026-0001XYZ\nFIFTEENTH\n", 240, "LINE                SN-2026-0001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(part(parsed(c.file), c.offset, c.expected.size()), c.expected);
    }

    // A line given by number never writes past its own field.
    LcdDataBlock block = filled('#');
    ParseLcdLine("12345678901234567890", 13, block);
    ParseLcdLine("nowhere", 14, block);
    EXPECT_EQ(part(block, 0, 272), std::string(260, '#') + "123456789012");
}

TEST(LcdFile, ASavedBlockLoadsBackUnlessALineHoldsALineBreak) {
    LcdDataBlock block;
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(0x20 + i % 90);  // '\r' and '\n' never appear
    }
    block[5] = 0xE9;
    block[6] = 0x00;
    const std::optional<std::string> file = FormatLcdFile(block);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 272u + 2 * 14);
    EXPECT_EQ(file->substr(20, 2), "\r\n");
    EXPECT_EQ(file->substr(file->size() - 14), "pqrstuvwxy !\r\n");
    EXPECT_EQ(parsed(*file), block);  // CR LF line ends read back

    std::size_t badLine = 99;
    block[45] = '\n';
    EXPECT_FALSE(FormatLcdFile(block, &badLine));
    EXPECT_EQ(badLine, 2u);
    block[45] = ' ';
    block[271] = '\r';
    EXPECT_FALSE(FormatLcdFile(block, &badLine));
    EXPECT_EQ(badLine, 13u);
}

TEST(LcdEditor, FieldsStoreLowBytesAndShowUpToTheFirstZero) {
    LcdDataBlock block = filled('#');
    // U+00C9 fits a byte; U+0141 and U+010A keep only their low bytes 0x41 and 0x0A.
    storeEditorLine(u"\u00C9\u0141\u010AZ", 1, block);
    EXPECT_EQ(part(block, 20, 20), "\xC9\x41\x0AZ                ");
    storeEditorLine(u"ABCDEFGHIJKLMNO", 13, block);
    EXPECT_EQ(part(block, 40, 232), std::string(220, '#') + "ABCDEFGHIJKL");

    EXPECT_EQ(editorLineText(block, 1), std::u16string(u"\u00C9A\nZ                "));
    block[63] = 0;
    EXPECT_EQ(editorLineText(block, 3), u"###");
    EXPECT_EQ(editorLineText(block, 13), u"ABCDEFGHIJKL");
}
