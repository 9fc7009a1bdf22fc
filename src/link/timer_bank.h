#pragma once

#include <chrono>

// Command timers by id, as the main window keeps them: starting a running timer restarts
// its period. The main window implements it with one QTimer per id; tests with a manual
// clock, so a test of six retries takes microseconds.
class TimerBank {
public:
    virtual ~TimerBank() = default;
    virtual void start(int id, std::chrono::milliseconds period) = 0;
    virtual void stop(int id) = 0;
    // The clock the timers run on, from an arbitrary origin: how long an answer took is
    // measured on it, so a manual clock measures manual time.
    virtual std::chrono::milliseconds now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};
