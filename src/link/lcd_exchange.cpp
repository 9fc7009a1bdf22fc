#include "link/lcd_exchange.h"

#include "lcd/lcd_data.h"
#include "link/controller_view.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "link/outcome.h"
#include "wire/protocol.h"

void LcdExchange::startWrite() {
    m_Link.setBusy(true);
    m_Link.sendStep(cmd::LcdWriteFirst, kChainPeriod);
}

void LcdExchange::startRead() {
    m_Link.setBusy(true);
    m_Link.sendStep(cmd::LcdReadFirst, kLcdReadStartPeriod);
}

bool LcdExchange::onReply(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    if (code < cmd::LcdWriteFirst || code > cmd::LcdReadLast) return false;
    m_Link.stopTimer(code);

    if (code == cmd::LcdWriteLast) {
        m_Link.setBusy(false);
        m_Link.view().MessageBox(" LCD display data write complete !!! ", MessageIcon::None);
        m_Link.outcomes().done(Operation::LcdWrite, code);
        return true;
    }
    if (code < cmd::LcdWriteLast) {
        m_Link.sendStep(code + 1, kChainPeriod);
        return true;
    }

    const LcdPiece& piece = kLcdPieces[code - cmd::LcdReadFirst];
    LcdDataBlock& block = m_Link.linkState().LcdData;
    for (std::size_t i = 0; i < piece.size; ++i) block[piece.offset + i] = payload[1 + i];
    if (code < cmd::LcdReadLast) {
        m_Link.sendStep(code + 1, kChainPeriod);
        return true;
    }
    m_Link.view().stateChanged(changed::LcdData);
    m_Link.setBusy(false);
    m_Link.view().MessageBox(" LCD display data read complete !!! ", MessageIcon::None);
    m_Link.outcomes().done(Operation::LcdRead, code);
    return true;
}
