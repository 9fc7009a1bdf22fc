#include "wire/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// Skips the blanks and the sign; true for a minus.
template <class Char>
bool takeSign(std::basic_string_view<Char> text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) return text[at++] == u'-';
    return false;
}

template <class Char>
std::int64_t toInteger(std::basic_string_view<Char> text) {
    std::size_t at = 0;
    const bool negative = takeSign(text, at);
    std::int64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        if (value < kSaturation) value = value * 10 + (text[at] - u'0');
    }
    return negative ? -value : value;
}

}  // namespace

std::int64_t wideToInteger(std::u16string_view text) {
    return toInteger(text);
}

std::int64_t textToInteger(std::string_view text) {
    return toInteger(text);
}

double wideToReal(std::u16string_view text) {
    // Only ASCII can be part of a number, so the text is read up to its first other character.
    std::string narrow;
    for (const char16_t c : text) {
        if (c >= 0x80) break;
        narrow.push_back(static_cast<char>(c));
    }
    std::size_t at = 0;
    while (at < narrow.size() && isBlank(narrow[at])) ++at;
    bool negative = false;
    if (at < narrow.size() && (narrow[at] == '+' || narrow[at] == '-')) {
        negative = narrow[at] == '-';
        ++at;
    }
    const std::size_t mantissa = at;
    at = skipDigits(narrow, at);
    bool digits = at > mantissa;
    if (at < narrow.size() && narrow[at] == '.') {
        const std::size_t fraction = at + 1;
        const std::size_t end = skipDigits(narrow, fraction);
        if (digits || end > fraction) {
            digits = true;
            at = end;
        }
    }
    if (!digits) return 0.0;
    // An exponent counts only when digits follow it: "12e" reads as 12.
    if (at < narrow.size() && (narrow[at] == 'e' || narrow[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < narrow.size() && (narrow[exponent] == '+' || narrow[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t end = skipDigits(narrow, exponent);
        if (end > exponent) at = end;
    }
    // from_chars gives the nearest double of any number of digits, in the C locale's notation.
    const std::string_view number = std::string_view(narrow).substr(mantissa, at - mantissa);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Like the C library: too large is infinite (the angles then show "---"), too small 0.
        const bool tiny = number.find("e-") != std::string_view::npos ||
                          number.find("E-") != std::string_view::npos;
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}
