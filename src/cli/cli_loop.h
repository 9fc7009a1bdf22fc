#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/timer_bank.h"
#include "serial/byte_port.h"

// The command line's event loop: the controller's timers on a steady clock, and the serial
// watcher's notifications, both waited for with one poll() on an eventfd. The watcher thread
// only sets a flag and writes the eventfd; every handler runs on the caller's thread, as
// the window runs them on its GUI thread.
class CliLoop : public TimerBank, public CommConsumer {
public:
    using Clock = std::chrono::steady_clock;

    struct Handlers {
        std::function<void()> read;                       // bytes are in the receive queue
        std::function<void(int)> timer;                   // timer id fired
        std::function<void()> hangup;                     // the line is gone
        std::function<void(const std::string&)> message;  // the watcher has a word for the user
    };

    CliLoop();
    ~CliLoop() override;
    CliLoop(const CliLoop&) = delete;
    CliLoop& operator=(const CliLoop&) = delete;

    void setHandlers(Handlers handlers) { m_Handlers = std::move(handlers); }

    void start(int id, std::chrono::milliseconds period) override;
    void stop(int id) override;
    // How often command code went out since the last forgetCounts().
    void countSent(int code) { m_Sent[code] += 1; }
    int sent(int code) const;
    void forgetCounts();

    void onCommRead(std::uint16_t portId) override;
    void onCommMessage(const std::string& text) override;
    void onCommHangup(std::uint16_t portId) override;

    enum class Outcome { Done, TimedOut, Interrupted };
    // Runs handlers until done() holds, deadline passes or the user interrupts. done() is
    // asked before any waiting, and again after every event.
    Outcome runUntil(const std::function<bool()>& done, Clock::time_point deadline);

    // SIGINT and SIGTERM end the wait of every loop with Outcome::Interrupted, so that the
    // caller can release the port before it exits.
    static void catchInterrupts();
    static bool interrupted();

private:
    struct Timer {
        bool running = false;
        std::chrono::milliseconds period{0};
        Clock::time_point due{};
    };

    void wake();
    void dispatchPending();
    void fireDueTimers();

    Handlers m_Handlers;
    int m_Wake = -1;
    std::map<int, Timer> m_Timers;
    std::map<int, int> m_Sent;
    std::atomic<bool> m_ReadPending{false};
    std::atomic<bool> m_HangupPending{false};
    std::mutex m_MessageMutex;
    std::vector<std::string> m_Messages;
};
