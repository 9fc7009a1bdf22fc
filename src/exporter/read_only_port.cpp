#include "exporter/read_only_port.h"

#include "exporter/acu_snapshot.h"

bool ReadOnlyPort::permitted(std::uint8_t code) {
    return watchedIndex(code).has_value();
}

int ReadOnlyPort::WriteByte(std::uint8_t byte) {
    if (m_Held == 0 && byte != kStx) {
        if (m_Refused) m_Refused(0);
        return 0;
    }
    m_Frame[m_Held++] = byte;
    // STX, LEN, then LEN payload bytes, CHK and ETX: whole once all of them are here.
    if (m_Held < 2 || m_Held < m_Frame[1] + kFrameOverhead) return 1;
    const std::size_t size = m_Held;
    m_Held = 0;
    const std::uint8_t code = m_Frame[1] > 0 ? m_Frame[2] : 0;
    if (!permitted(code) || m_Frame[size - 1] != kEtx) {
        if (m_Refused) m_Refused(code);
        return 0;
    }
    for (std::size_t i = 0; i < size; ++i) m_Line.WriteByte(m_Frame[i]);
    return 1;
}

void ReadOnlyPort::ClosePort() {
    m_Held = 0;
    m_Line.ClosePort();
}
