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
};
