#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The encodings of payload fields. Every multi-byte value is big-endian; nothing is wider
// than 16 bits on the line, so wider values lose their high bits without warning.

// value * 10 (or * 100) truncated toward zero and held inside 0..65535.
std::uint16_t scaleX10(double value);
std::uint16_t scaleX100(double value);

// Whether value * 100, truncated toward zero, is 0..65535: what an unsigned X100 field (or the
// magnitude of an SGN100 one) carries without losing its high bits.
bool fitsX100(double value);
// The same for the magnitude of an SGN100 field: -655.35..655.35 degrees and the like.
bool fitsSGN100(double value);

// Appends fields to a payload. Writing past the end of the buffer is refused (the byte is
// dropped and overflowed() turns true) rather than corrupting what lies behind it.
class PayloadWriter {
public:
    explicit PayloadWriter(std::span<std::uint8_t> out) : m_Out(out) {}

    void U8(std::uint32_t value);
    void BE16(std::uint32_t value);
    void X10(double value);
    void X100(double value);
    void SGN100(double value);  // '+' above 0.0, '-' otherwise (0 goes out as '-'), then X100
    void CHARS(std::span<const std::uint8_t> bytes);

    std::size_t size() const { return m_Size; }
    bool overflowed() const { return m_Overflowed; }

private:
    std::span<std::uint8_t> m_Out;
    std::size_t m_Size = 0;
    bool m_Overflowed = false;
};

// Reads fields back. Reading past the end gives zeros and turns exhausted() true, so a
// short reply can be recognised instead of being decoded from stale bytes.
class PayloadReader {
public:
    explicit PayloadReader(std::span<const std::uint8_t> in) : m_In(in) {}

    std::uint8_t U8();
    std::uint16_t BE16();
    double X10();     // BE16 / 10
    double X100();    // BE16 / 100
    double SGN100();  // negative unless the sign byte is '+'
    void CHARS(std::span<std::uint8_t> out);

    std::size_t position() const { return m_Pos; }
    bool exhausted() const { return m_Exhausted; }

private:
    std::span<const std::uint8_t> m_In;
    std::size_t m_Pos = 0;
    bool m_Exhausted = false;
};
