#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Record names are fixed-width 8-bit fields, blank-padded and without a terminator, because
// that is how the file and the wire carry them.

// Stores text into a fixed-width field: each UTF-16 code unit keeps only its low byte, the
// rest of the field is filled with blanks, and text longer than the field is cut.
void storeFixedText(std::span<std::uint8_t> field, std::u16string_view text);

// The field as text again: every byte widened unchanged, trailing blanks included.
std::u16string fixedTextToString(std::span<const std::uint8_t> field);
