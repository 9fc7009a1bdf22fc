#pragma once

#include <cstdint>
#include <string_view>

// Typed numbers are read the way the C library's _wtoi and _wtof read them: leading blanks
// skipped, the longest numeric prefix taken, 0 when there is none. Both are written out here
// rather than borrowed from the C library, whose reading of a decimal point follows the
// process locale, and a German desktop must not turn "19.25" into 19.

// An optional sign and decimal digits. Saturates far beyond any 16-bit value instead of
// overflowing, so a caller can still tell that the number was too large.
std::int64_t wideToInteger(std::u16string_view text);
// The same for 8-bit text, as files carry it.
std::int64_t textToInteger(std::string_view text);

// An optional sign, digits with at most one decimal point, and an optional exponent that
// counts only when digits follow it ("12e" is 12). Too large is infinite, too small 0.
// The one reader of typed real numbers: every page's number goes through it.
double wideToReal(std::u16string_view text);
