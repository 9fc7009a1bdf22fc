// The .lcd reader on any bytes: whatever the file holds, it fills at most its 14 lines and
// never writes outside the 272-byte block, and a block that was saved reads back unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "lcd/lcd_data.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LcdDataBlock block;
    block.fill('#');
    const std::size_t taken = ParseLcdFile(std::span(data, size), block);
    require(taken <= kLcdLineCount);
    // Lines the file did not reach keep their bytes.
    for (std::size_t line = taken; line < kLcdLineCount; ++line) {
        const auto start = block.begin() + static_cast<std::ptrdiff_t>(lcdLineOffset(line));
        require(std::all_of(start, start + static_cast<std::ptrdiff_t>(lcdLineSize(line)),
                            [](std::uint8_t b) { return b == '#'; }));
    }

    // Save, then load: the same 272 bytes, or a refusal when a line holds CR or LF.
    const std::optional<std::string> saved = FormatLcdFile(block);
    if (!saved) return 0;
    LcdDataBlock again{};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(saved->data());
    require(ParseLcdFile(std::span(bytes, saved->size()), again) == kLcdLineCount);
    require(again == block);
    return 0;
}
