#include "wire/number_text.h"

#include <cmath>

namespace {

constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Skips the blanks and the sign; true for a minus.
bool takeSign(std::u16string_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) return text[at++] == u'-';
    return false;
}

}  // namespace

std::int64_t wideToInteger(std::u16string_view text) {
    std::size_t at = 0;
    const bool negative = takeSign(text, at);
    std::int64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        if (value < kSaturation) value = value * 10 + (text[at] - u'0');
    }
    return negative ? -value : value;
}

double wideToReal(std::u16string_view text) {
    std::size_t at = 0;
    const bool negative = takeSign(text, at);
    // The digits are gathered as one whole number and scaled once at the end, so that a short
    // decimal such as 19.25 comes out as the nearest double, as the C library gives it.
    double digits = 0.0;
    int scale = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; at < text.size(); ++at) {
        if (isDigit(text[at])) {
            digits = digits * 10.0 + (text[at] - u'0');
            if (afterPoint) --scale;
            anyDigit = true;
        } else if (text[at] == u'.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0.0;
    if (at + 1 < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        std::size_t e = at + 1;
        const bool negativeExponent = text[e] == u'-';
        if (text[e] == u'+' || text[e] == u'-') ++e;
        int exponent = 0;
        for (; e < text.size() && isDigit(text[e]); ++e) {
            if (exponent < 1000) exponent = exponent * 10 + (text[e] - u'0');
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    const double value =
        scale < 0 ? digits / std::pow(10.0, -scale) : digits * std::pow(10.0, scale);
    return negative ? -value : value;
}
