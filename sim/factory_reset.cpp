#include "factory_reset.h"

#include <algorithm>

void FactoryReset::start(std::chrono::microseconds now) {
    if (!m_Running) {
        m_Running = true;
        m_Total = m_Settings.total;
        m_Position = 0;
        m_NextDue = now + m_Settings.step;
    }
    m_Out.sendReply(factoryTotalReply(m_Total));
}

std::optional<std::chrono::microseconds> FactoryReset::nextDue() const {
    if (!m_Running) return std::nullopt;
    return m_NextDue;
}

void FactoryReset::fire() {
    if (!m_Running) return;
    m_NextDue += m_Settings.step;
    if (m_Position < m_Total) {
        const unsigned stride = std::max<unsigned>(m_Settings.stride, 1);
        m_Position = static_cast<std::uint16_t>(std::min<unsigned>(m_Position + stride, m_Total));
        m_Out.sendReply(factoryProgressReply(m_Position));
        return;
    }
    m_Running = false;
    m_RestoreDefaults();
    m_Out.sendReply(factoryDoneReply());
}
