#include "link/lcd_exchange.h"

#include "lcd/lcd_data.h"
#include "link/controller_view.h"
#include "link/link_context.h"
#include "wire/protocol.h"

void LcdExchange::startWrite() {
    m_Link.setBusy(true);
    m_Link.sendAndStart(cmd::LcdWriteFirst, kChainPeriod);
}

void LcdExchange::startRead() {
    m_Link.setBusy(true);
    m_Link.sendAndStart(cmd::LcdReadFirst, kLcdReadStartPeriod);
}

bool LcdExchange::onReply(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (code < cmd::LcdWriteFirst || code > cmd::LcdReadLast) return false;
    m_Link.stopTimer(code);

    if (code == cmd::LcdWriteLast) {
        m_Link.setBusy(false);
        m_Link.view().MessageBox(" LCD display data write complete !!! ", MessageIcon::None);
        return true;
    }
    if (code < cmd::LcdWriteLast) {
        m_Link.sendAndStart(code + 1, kChainPeriod);
        return true;
    }

    const LcdPiece& piece = kLcdPieces[code - cmd::LcdReadFirst];
    for (std::size_t i = 0; i < piece.size; ++i) g_LcdData[piece.offset + i] = payload[1 + i];
    if (code < cmd::LcdReadLast) {
        m_Link.sendAndStart(code + 1, kChainPeriod);
        return true;
    }
    m_Link.view().ShowLcdDataInEditor();
    m_Link.view().TakeLcdDataFromEditor();
    m_Link.setBusy(false);
    m_Link.view().MessageBox(" LCD display data read complete !!! ", MessageIcon::None);
    return true;
}
