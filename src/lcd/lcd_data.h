#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The texts the ACU shows on its own 20-character LCD, as one block in the ACU's layout:
// lines 0 to 12 of 20 bytes (company, then the 37, 45 and 60 cm screens), line 13 the 12-byte
// serial number. No terminators; short texts are padded with blanks.
inline constexpr std::size_t kLcdDataSize = 272;
inline constexpr std::size_t kLcdLineCount = 14;
inline constexpr std::size_t kLcdLineSize = 20;
inline constexpr std::size_t kLcdSerialSize = 12;
inline constexpr std::size_t kLcdSerialLine = kLcdLineCount - 1;

using LcdDataBlock = std::array<std::uint8_t, kLcdDataSize>;

// Where line k (0..13) sits in the block.
constexpr std::size_t lcdLineOffset(std::size_t line) {
    return line * kLcdLineSize;
}
constexpr std::size_t lcdLineSize(std::size_t line) {
    return line == kLcdSerialLine ? kLcdSerialSize : kLcdLineSize;
}

// One line of an .lcd file into line k of block: the bytes before the first CR or LF, cut to
// the line's size, the rest of the line blanks. A line number past 13 changes nothing.
void ParseLcdLine(std::string_view text, std::size_t line, LcdDataBlock& block);

// A whole .lcd file as read from disk: its first 14 lines (ended by LF or CR LF) go to lines
// 0..13; lines the file does not have stay as they were, further lines are ignored. Returns
// how many lines were taken.
std::size_t ParseLcdFile(std::span<const std::uint8_t> file, LcdDataBlock& block);

// A real .lcd file is some 300 bytes; this is far beyond any with notes after its 14 lines.
inline constexpr std::size_t kLcdFileMaxBytes = 64 * 1024;

// What reading an .lcd file for Font Load came to: a refusal (the block then untouched), or
// the lines (from 1) whose text was longer than their LCD line and was cut.
struct LcdFileReading {
    std::string refusal;
    std::vector<std::size_t> cutLines;
};
// A file over kLcdFileMaxBytes, or holding a control byte other than CR and LF, is refused;
// otherwise it is parsed as ParseLcdFile does.
LcdFileReading readLcdFile(std::span<const std::uint8_t> file, LcdDataBlock& block);

// The messages Font Load shows about the file it was given.
std::string lcdOpenFailureText(const std::string& fileName, const std::string& reason);
std::string lcdRefusalText(const std::string& fileName, const std::string& reason);
std::string lcdCutLinesText(const std::vector<std::size_t>& cutLines);

// The block as an .lcd file: 14 lines in block order, each at its full size, ended by CR LF
// so that the file reads the same on any PC. A byte that is CR or LF cannot be kept in such
// a line; the result is then empty and badLine names the first line holding one.
std::optional<std::string> FormatLcdFile(const LcdDataBlock& block, std::size_t* badLine = nullptr);

// An editor field's text into line k: each UTF-16 code unit is kept as its low byte, the text
// is cut to the line's size and the rest of the line filled with blanks.
void storeEditorLine(std::u16string_view text, std::size_t line, LcdDataBlock& block);

// Line k as an editor field shows it: one character per byte, up to the first zero byte.
std::u16string editorLineText(const LcdDataBlock& block, std::size_t line);
