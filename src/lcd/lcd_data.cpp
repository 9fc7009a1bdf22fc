#include "lcd/lcd_data.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint8_t kBlank = 0x20;
constexpr char kCr = '\r';
constexpr char kLf = '\n';

// Stores up to the line's size of bytes from the start of line k; blanks after them.
template <class Chars, class ToByte>
void storeLine(const Chars& text, std::size_t line, LcdDataBlock& block, ToByte toByte) {
    if (line >= kLcdLineCount) return;
    const std::size_t offset = lcdLineOffset(line);
    const std::size_t size = lcdLineSize(line);
    const std::size_t kept = std::min(text.size(), size);
    for (std::size_t i = 0; i < kept; ++i) block[offset + i] = toByte(text[i]);
    for (std::size_t i = kept; i < size; ++i) block[offset + i] = kBlank;
}

}  // namespace

void ParseLcdLine(std::string_view text, std::size_t line, LcdDataBlock& block) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string_view::npos) text = text.substr(0, end);
    storeLine(text, line, block, [](char c) { return static_cast<std::uint8_t>(c); });
}

std::size_t ParseLcdFile(std::span<const std::uint8_t> file, LcdDataBlock& block) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t line = 0;
    std::size_t start = 0;
    // A last line without its line break still counts; an empty rest after the last break
    // is no line.
    while (line < kLcdLineCount && start < text.size()) {
        std::size_t end = text.find(kLf, start);
        if (end == std::string_view::npos) end = text.size();
        ParseLcdLine(text.substr(start, end - start), line, block);
        ++line;
        start = end + 1;
    }
    return line;
}

LcdFileReading readLcdFile(std::span<const std::uint8_t> file, LcdDataBlock& block) {
    LcdFileReading reading;
    if (file.size() > kLcdFileMaxBytes) {
        reading.refusal = "The file is larger than " + std::to_string(kLcdFileMaxBytes / 1024) +
                          " KiB: it is no LCD text file.";
        return reading;
    }
    std::size_t line = 1;
    for (const std::uint8_t byte : file) {
        if (byte == kLf) ++line;
        if (byte >= kBlank || byte == kCr || byte == kLf) continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(byte));
        reading.refusal = "Line " + std::to_string(line) + " holds the control byte " + hex +
                          ": it is no LCD text file.";
        return reading;
    }
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t start = 0;
    for (std::size_t k = 0; k < kLcdLineCount && start < text.size(); ++k) {
        std::size_t end = text.find(kLf, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view whole = text.substr(start, end - start);
        if (whole.substr(0, whole.find_first_of("\r\n")).size() > lcdLineSize(k)) {
            reading.cutLines.push_back(k + 1);
        }
        start = end + 1;
    }
    ParseLcdFile(file, block);
    return reading;
}

std::string lcdOpenFailureText(const std::string& fileName, const std::string& reason) {
    return " " + fileName + " cannot be opened !!! \r\n " + reason + " \r\n Nothing was loaded. ";
}

std::string lcdRefusalText(const std::string& fileName, const std::string& reason) {
    return " " + fileName + " was not loaded !!! \r\n " + reason + " ";
}

std::string lcdCutLinesText(const std::vector<std::size_t>& cutLines) {
    std::string numbers;
    for (const std::size_t line : cutLines) {
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(line);
    }
    const bool one = cutLines.size() == 1;
    return std::string(one ? " Line " : " Lines ") + numbers +
           (one ? " was" : " were") +
           " longer than the LCD shows and cut to fit. \r\n The serial number line keeps 12 "
           "characters, every other line 20. ";
}

std::optional<std::string> FormatLcdFile(const LcdDataBlock& block, std::size_t* badLine) {
    std::string file;
    file.reserve(kLcdDataSize + 2 * kLcdLineCount);
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        const std::size_t offset = lcdLineOffset(line);
        for (std::size_t i = 0; i < lcdLineSize(line); ++i) {
            const char c = static_cast<char>(block[offset + i]);
            if (c == kCr || c == kLf) {
                if (badLine != nullptr) *badLine = line;
                return std::nullopt;
            }
            file += c;
        }
        file += "\r\n";
    }
    return file;
}

void storeEditorLine(std::u16string_view text, std::size_t line, LcdDataBlock& block) {
    storeLine(text, line, block, [](char16_t c) { return static_cast<std::uint8_t>(c & 0xFF); });
}

std::u16string editorLineText(const LcdDataBlock& block, std::size_t line) {
    std::u16string text;
    if (line >= kLcdLineCount) return text;
    const std::size_t offset = lcdLineOffset(line);
    for (std::size_t i = 0; i < lcdLineSize(line) && block[offset + i] != 0; ++i) {
        text += static_cast<char16_t>(block[offset + i]);
    }
    return text;
}
