#include "wire/encoding.h"

#include <cmath>

namespace {

// Tenths and hundredths out of the 16-bit range are held at its ends: wrapped, 700.00 would
// leave as 44.64 and point the antenna somewhere else entirely. The pages refuse such input
// before it gets here; this is the last line. Comparing first also keeps the conversion
// defined, which a plain cast of a huge double would not be.
std::uint16_t saturatedTruncation(double value) {
    if (std::isnan(value) || value <= 0.0) return 0;
    if (value >= 65535.0) return 0xFFFF;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::uint16_t scaleX10(double value) {
    return saturatedTruncation(value * 10.0);
}
std::uint16_t scaleX100(double value) {
    return saturatedTruncation(value * 100.0);
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
