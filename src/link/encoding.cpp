#include "link/encoding.h"

#include <cmath>

namespace {

// Converting a double outside the integer range is undefined in C++, so the low 16 bits are
// taken arithmetically: the result is what a 32-bit truncation would have sent.
std::uint16_t low16OfTruncated(double value) {
    if (!std::isfinite(value)) return 0;
    double wrapped = std::fmod(std::trunc(value), 65536.0);
    if (wrapped < 0.0) wrapped += 65536.0;
    return static_cast<std::uint16_t>(wrapped);
}

}  // namespace

std::uint16_t scaleX10(double value) {
    return low16OfTruncated(value * 10.0);
}
std::uint16_t scaleX100(double value) {
    return low16OfTruncated(value * 100.0);
}

bool fitsX100(double value) {
    const double scaled = std::trunc(value * 100.0);
    return scaled >= 0.0 && scaled <= 65535.0;  // false for NaN too
}
bool fitsSGN100(double value) {
    return fitsX100(std::fabs(value));
}

void PayloadWriter::U8(std::uint32_t value) {
    if (m_Size >= m_Out.size()) {
        m_Overflowed = true;
        return;
    }
    m_Out[m_Size++] = static_cast<std::uint8_t>(value & 0xFF);
}

void PayloadWriter::BE16(std::uint32_t value) {
    U8(value >> 8);
    U8(value);
}

void PayloadWriter::X10(double value) {
    BE16(scaleX10(value));
}
void PayloadWriter::X100(double value) {
    BE16(scaleX100(value));
}

void PayloadWriter::SGN100(double value) {
    U8(value > 0.0 ? '+' : '-');
    X100(std::fabs(value));
}

void PayloadWriter::CHARS(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) U8(byte);
}

std::uint8_t PayloadReader::U8() {
    if (m_Pos >= m_In.size()) {
        m_Exhausted = true;
        return 0;
    }
    return m_In[m_Pos++];
}

std::uint16_t PayloadReader::BE16() {
    const std::uint16_t high = U8();
    return static_cast<std::uint16_t>((high << 8) | U8());
}

double PayloadReader::X10() {
    return BE16() / 10.0;
}
double PayloadReader::X100() {
    return BE16() / 100.0;
}

double PayloadReader::SGN100() {
    const bool positive = U8() == '+';
    const double magnitude = X100();
    // The ACU sends zero as '-'; keeping it +0.0 spares the displays a "-0.00".
    return positive || magnitude == 0.0 ? magnitude : -magnitude;
}

void PayloadReader::CHARS(std::span<std::uint8_t> out) {
    for (std::uint8_t& byte : out) byte = U8();
}
