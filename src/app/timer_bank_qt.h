#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "link/timer_bank.h"

class QTimer;

// The main window's timers by id, one QTimer each, created on first use.
class QtTimerBank : public QObject, public TimerBank {
    Q_OBJECT

public:
    explicit QtTimerBank(std::function<void(int)> onTimer, QObject* parent = nullptr);

    void start(int id, std::chrono::milliseconds period) override;
    void stop(int id) override;
    bool running(int id) const;

private:
    std::function<void(int)> m_OnTimer;
    std::map<int, QTimer*> m_Timers;
};
