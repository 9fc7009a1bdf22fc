#include "link/controller.h"

#include <span>

#include "link/command_builder.h"
#include "link/frame.h"
#include "serial/byte_port.h"

std::uint8_t AcuController::BuildCommand(std::uint8_t code) {
    return buildCommandPayload(code, m_View, m_TxPayload);
}

void AcuController::SendCommand(std::uint8_t code) {
    const std::uint8_t length = BuildCommand(code);
    const std::size_t frameSize =
        encodeFrame(std::span<const std::uint8_t>(m_TxPayload).first(length), m_TxFrame);
    for (std::size_t i = 0; i < frameSize; ++i) m_Port.WriteByte(m_TxFrame[i]);
}
