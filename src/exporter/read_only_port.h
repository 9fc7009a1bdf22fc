#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "serial/byte_port.h"
#include "wire/protocol.h"

// Where the exporter's commands leave for the ACU. A monitor must never move, reconfigure or
// reset an antenna, so whatever asks, only the identification chain (1, 2, 3, 4) and the
// status poll (14) pass: every frame is held here until it is whole, and a frame with any
// other code, or bytes that are no frame, never reach the line, not even their first byte.
class ReadOnlyPort : public BytePort {
public:
    // Told of every frame kept off the line, with its code (0 when it was no frame at all).
    using Refusal = std::function<void(std::uint8_t code)>;

    ReadOnlyPort(BytePort& line, Refusal refused) : m_Line(line), m_Refused(std::move(refused)) {}

    static bool permitted(std::uint8_t code);

    // 1 for a byte taken (held or passed on), 0 for a byte of a refused frame.
    int WriteByte(std::uint8_t byte) override;
    void ClosePort() override;
    std::string deviceName() const override { return m_Line.deviceName(); }
    bool networkLine() const override { return m_Line.networkLine(); }

private:
    BytePort& m_Line;
    Refusal m_Refused;
    std::array<std::uint8_t, kMaxFrameSize> m_Frame{};
    std::size_t m_Held = 0;
};
