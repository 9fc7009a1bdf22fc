#include "wire/fixed_text.h"

void storeFixedText(std::span<std::uint8_t> field, std::u16string_view text) {
    for (std::size_t i = 0; i < field.size(); ++i) {
        field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i] & 0xFF) : std::uint8_t{' '};
    }
}

std::u16string fixedTextToString(std::span<const std::uint8_t> field) {
    std::u16string text;
    text.reserve(field.size());
    for (std::uint8_t byte : field) text.push_back(static_cast<char16_t>(byte));
    return text;
}
