#include "app/timer_bank_qt.h"

#include <QTimer>

QtTimerBank::QtTimerBank(std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_OnTimer(std::move(onTimer)) {}

void QtTimerBank::start(int id, std::chrono::milliseconds period) {
    QTimer*& timer = m_Timers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { m_OnTimer(id); });
    }
    timer->start(period);
}

void QtTimerBank::stop(int id) {
    const auto it = m_Timers.find(id);
    if (it != m_Timers.end()) it->second->stop();
}

bool QtTimerBank::running(int id) const {
    const auto it = m_Timers.find(id);
    return it != m_Timers.end() && it->second->isActive();
}
