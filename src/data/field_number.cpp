#include "data/field_number.h"

#include <charconv>
#include <climits>
#include <limits>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Skips the leading blanks and one sign; true when the sign was '-'.
bool skipBlanksAndSign(std::string_view& text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

}  // namespace

double fieldDouble(std::string_view text) {
    const bool negative = skipBlanksAndSign(text);
    // from_chars takes a sign of its own; a second sign is no number.
    if (text.empty() || text.front() == '+' || text.front() == '-') return 0.0;
    double value = 0.0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure == std::errc::result_out_of_range) {
        // An exponent beyond double: a magnitude no field takes, or one that is all but zero.
        const bool underflow =
            text.substr(0, static_cast<std::size_t>(end - text.data())).find_first_of("-") !=
            std::string_view::npos;
        value = underflow ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (failure != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

int fieldInt(std::string_view text) {
    const bool negative = skipBlanksAndSign(text);
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
