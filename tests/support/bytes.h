#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::span<const std::uint8_t> data) {
    return Bytes(data.begin(), data.end());
}

// Text as the line carries it: one byte per character.
inline Bytes ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
