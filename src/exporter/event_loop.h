#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

// The exporter's one loop: every ACU's timers, the lines' notifications and the HTTP
// server's sockets are waited for with one poll() on this thread, and every handler runs
// here. The only other threads are the lines' own watchers, which reach the loop through
// notify() alone.
class EventLoop {
public:
    using Clock = std::chrono::steady_clock;
    using TimerId = std::size_t;

    // Something a watcher thread has news for; its onNotified runs on the loop's thread.
    class Notifiable {
    public:
        virtual ~Notifiable() = default;
        virtual void onNotified() = 0;
    };

    // SIGINT and SIGTERM end run(); the caller blocks them in every thread before it starts
    // any (pthread_sigmask), so that they reach only this loop.
    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // A descriptor to wait for; handler gets its revents. One handler a descriptor.
    void watch(int fd, short events, std::function<void(short)> handler);
    void unwatch(int fd);

    TimerId addTimer(std::function<void()> fired);
    // Fires once, after; arming an armed timer starts it again.
    void arm(TimerId timer, Clock::duration after);
    void disarm(TimerId timer);
    bool armed(TimerId timer) const;

    // The longest the loop may sleep, asked before every wait (the HTTP server's timeout).
    void setWaitLimit(std::function<std::optional<std::chrono::milliseconds>()> limit) {
        m_WaitLimit = std::move(limit);
    }

    // From any thread: who's onNotified runs soon on the loop's thread, once however often
    // it was notified meanwhile.
    void notify(Notifiable* who);

    // Until SIGINT, SIGTERM or stop().
    void run();
    void stop() { m_Stopping = true; }
    bool stopping() const { return m_Stopping; }

private:
    struct Timer {
        std::function<void()> fired;
        std::optional<Clock::time_point> due;
    };
    struct Watch {
        short events;
        std::function<void(short)> handler;
    };

    void runOnce();
    void takeNotifications();
    void fireDueTimers();

    int m_Wake = -1;     // eventfd
    int m_Signals = -1;  // signalfd
    bool m_Stopping = false;
    std::vector<Timer> m_Timers;
    std::set<std::pair<Clock::time_point, TimerId>> m_Due;
    std::map<int, Watch> m_Watches;
    std::function<std::optional<std::chrono::milliseconds>()> m_WaitLimit;
    std::mutex m_NotifyMutex;
    std::vector<Notifiable*> m_Notified;
};
