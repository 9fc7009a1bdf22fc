#pragma once

#include <array>
#include <cstdint>

#include "link/protocol.h"

class BytePort;
class ControllerView;

// The protocol engine behind the main window: it builds and frames every command and
// (later) assembles and dispatches the replies. It reaches the line only through a BytePort
// and the screen only through a ControllerView, so it runs unchanged in tests.
class AcuController {
public:
    AcuController(BytePort& port, ControllerView& view) : m_Port(port), m_View(view) {}

    // Writes the payload of code into m_TxPayload and returns its length (0: no such command).
    std::uint8_t BuildCommand(std::uint8_t code);

    // Frames and writes one command a byte at a time. A byte the port refuses is lost: the
    // command's timer repeats the command where the protocol wants that.
    void SendCommand(std::uint8_t code);

    const std::array<std::uint8_t, kFrameBufferSize>& txPayload() const { return m_TxPayload; }
    const std::array<std::uint8_t, kFrameBufferSize>& txFrame() const { return m_TxFrame; }

private:
    BytePort& m_Port;
    ControllerView& m_View;
    std::array<std::uint8_t, kFrameBufferSize> m_TxPayload{};
    std::array<std::uint8_t, kFrameBufferSize> m_TxFrame{};
    std::array<std::uint8_t, kFrameBufferSize> m_RxFrame{};
};
