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

Bytes lineOf(const LcdDataBlock& block, std::size_t offset, std::size_t size) {
    return Bytes(block.begin() + static_cast<long>(offset),
                 block.begin() + static_cast<long>(offset + size));
}

LcdDataBlock parsed(std::string_view file, LcdDataBlock block = filled('#')) {
    ParseLcdFile(ascii(file), block);
    return block;
}

}  // namespace

TEST(LcdFile, LinesTakeTheirPlaceBlankPadded) {
    const LcdDataBlock block = parsed("ABC\n\nL2\n");
    EXPECT_EQ(lineOf(block, 0, 20), ascii("ABC                 "));
    EXPECT_EQ(lineOf(block, 20, 20), ascii("                    "));
    EXPECT_EQ(lineOf(block, 40, 20), ascii("L2                  "));
    // The 11 lines the file does not have keep what they held.
    EXPECT_EQ(lineOf(block, 60, 212), Bytes(212, '#'));
    EXPECT_EQ(parsed(""), filled('#'));
}

TEST(LcdFile, FourteenthLineIsTheTwelveByteSerialAndLaterLinesAreIgnored) {
    std::string file;
    for (int line = 0; line < 13; ++line) file += "LINE\n";
    file += "SN-2026-0001XYZ\nFIFTEENTH\nSIXTEENTH\n";
    const LcdDataBlock block = parsed(file);
    EXPECT_EQ(lineOf(block, 240, 20), ascii("LINE                "));
    EXPECT_EQ(lineOf(block, 260, 12), ascii("SN-2026-0001"));
}

TEST(LcdFile, CrLfAndLfFilesGiveTheSameBlock) {
    EXPECT_EQ(parsed("SKYRELAY\r\nSR-37\r\n\r\nX"), parsed("SKYRELAY\nSR-37\n\nX"));
    EXPECT_EQ(lineOf(parsed("A\rB\n"), 0, 4), ascii("A   "));
}

TEST(LcdFile, LongLinesAreCutAtTheirLineAndNeverWritePastIt) {
    const LcdDataBlock block = parsed("0123456789ABCDEFGHIJKLMNOP\nnext");
    EXPECT_EQ(lineOf(block, 0, 20), ascii("0123456789ABCDEFGHIJ"));
    EXPECT_EQ(lineOf(block, 20, 20), ascii("next                "));

    LcdDataBlock serial = filled('#');
    ParseLcdLine("12345678901234567890", 13, serial);
    EXPECT_EQ(lineOf(serial, 260, 12), ascii("123456789012"));
    EXPECT_EQ(lineOf(serial, 0, 260), Bytes(260, '#'));
    ParseLcdLine("nowhere", 14, serial);
    EXPECT_EQ(lineOf(serial, 0, 260), Bytes(260, '#'));
}

TEST(LcdFile, SavedBlockLoadsBackUnchanged) {
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
    EXPECT_EQ(parsed(*file, filled('#')), block);
}

TEST(LcdFile, BytesThatWouldSplitALineAreNotSaved) {
    LcdDataBlock block = filled(' ');
    block[45] = '\n';
    std::size_t badLine = 99;
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
    EXPECT_EQ(lineOf(block, 20, 20), (Bytes{0xC9, 0x41, 0x0A, 'Z', ' ', ' ', ' ', ' ', ' ', ' ',
                                            ' ',  ' ',  ' ',  ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    storeEditorLine(u"", 0, block);
    EXPECT_EQ(lineOf(block, 0, 20), Bytes(20, ' '));
    storeEditorLine(u"ABCDEFGHIJKLMNO", 13, block);
    EXPECT_EQ(lineOf(block, 260, 12), ascii("ABCDEFGHIJKL"));
    EXPECT_EQ(lineOf(block, 40, 220), Bytes(220, '#'));

    EXPECT_EQ(editorLineText(block, 1), std::u16string(u"\u00C9A\nZ                "));
    block[63] = 0;
    EXPECT_EQ(editorLineText(block, 3), u"###");
    EXPECT_EQ(editorLineText(block, 13), u"ABCDEFGHIJKL");
}
