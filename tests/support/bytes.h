#pragma once

#include <cstddef>
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

// first, first + 1, ... wrapping at 256: every byte says where it belongs.
inline Bytes counting(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// A frame built here by hand, so the tests depend on neither side's encoder:
// STX, LEN, payload, CHK (LEN plus the payload, low byte), ETX.
inline Bytes frameOf(const Bytes& payload) {
    unsigned sum = static_cast<unsigned>(payload.size());
    for (std::uint8_t byte : payload) sum += byte;
    Bytes frame = concat({{0x02, static_cast<std::uint8_t>(payload.size())}, payload});
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    frame.push_back(0x03);
    return frame;
}

// The payloads of the whole frames in a stream of frames; one cut short ends the list.
inline std::vector<Bytes> payloadsOf(const Bytes& stream) {
    std::vector<Bytes> found;
    for (std::size_t i = 0; i + 1 < stream.size() && i + stream[i + 1] + 4u <= stream.size();
         i += stream[i + 1] + 4u) {
        found.emplace_back(stream.begin() + i + 2, stream.begin() + i + 2 + stream[i + 1]);
    }
    return found;
}

// The code byte of each payload, -1 for an empty one.
inline std::vector<int> codesOf(const std::vector<Bytes>& payloads) {
    std::vector<int> found;
    for (const Bytes& payload : payloads) found.push_back(payload.empty() ? -1 : payload[0]);
    return found;
}
