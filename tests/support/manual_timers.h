#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "link/timer_bank.h"

// Command timers on a clock that only moves when a test says so.
class ManualTimers : public TimerBank {
public:
    using ms = std::chrono::milliseconds;

    void start(int id, ms period) override { m_Timers[id] = {period, m_Now + period}; }
    void stop(int id) override { m_Timers.erase(id); }

    bool running(int id) const { return m_Timers.count(id) != 0; }
    ms period(int id) const { return running(id) ? m_Timers.at(id).period : ms{0}; }
    ms now() const override { return m_Now; }

    // Moves the clock forward, firing each timer as it falls due, earliest first, through
    // fire(id). A timer keeps its period until fire stops or restarts it.
    void advance(ms span, const std::function<void(int)>& fire) {
        const ms target = m_Now + span;
        for (;;) {
            auto next = m_Timers.end();
            for (auto it = m_Timers.begin(); it != m_Timers.end(); ++it) {
                if (it->second.due <= target &&
                    (next == m_Timers.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == m_Timers.end()) break;
            m_Now = next->second.due;
            next->second.due += next->second.period;
            fire(next->first);
        }
        m_Now = target;
    }

private:
    struct Timer {
        ms period;
        ms due;
    };
    std::map<int, Timer> m_Timers;
    ms m_Now{0};
};
