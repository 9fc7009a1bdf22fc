#pragma once

#include <string_view>

// Numbers typed into edit fields, read the way the C library's conversions read them: leading
// blanks skipped, the longest numeric prefix taken, 0 when there is none. Only the decimal
// point '.' is a decimal point, whatever the desktop's language.

double fieldDouble(std::string_view text);

// Digits beyond the range of int saturate instead of wrapping.
int fieldInt(std::string_view text);
