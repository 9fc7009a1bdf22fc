#include "exporter/event_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

EventLoop::EventLoop() : m_Wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    m_Signals = signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
}

EventLoop::~EventLoop() {
    for (int fd : {m_Wake, m_Signals}) {
        if (fd >= 0) close(fd);
    }
}

void EventLoop::watch(int fd, short events, std::function<void(short)> handler) {
    m_Watches[fd] = {events, std::move(handler)};
}

void EventLoop::unwatch(int fd) {
    m_Watches.erase(fd);
}

EventLoop::TimerId EventLoop::addTimer(std::function<void()> fired) {
    m_Timers.push_back({std::move(fired), std::nullopt});
    return m_Timers.size() - 1;
}

void EventLoop::arm(TimerId timer, Clock::duration after) {
    disarm(timer);
    const Clock::time_point due = Clock::now() + after;
    m_Timers[timer].due = due;
    m_Due.insert({due, timer});
}

void EventLoop::disarm(TimerId timer) {
    if (const auto due = m_Timers[timer].due) m_Due.erase({*due, timer});
    m_Timers[timer].due.reset();
}

bool EventLoop::armed(TimerId timer) const {
    return m_Timers[timer].due.has_value();
}

void EventLoop::notify(Notifiable* who) {
    {
        const std::lock_guard<std::mutex> lock(m_NotifyMutex);
        if (std::find(m_Notified.begin(), m_Notified.end(), who) != m_Notified.end()) return;
        m_Notified.push_back(who);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(m_Wake, &one, sizeof one);
}

void EventLoop::run() {
    while (!m_Stopping) runOnce();
}

void EventLoop::runOnce() {
    auto wait = std::chrono::milliseconds{60'000};
    if (!m_Due.empty()) {
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(m_Due.begin()->first -
                                                                           Clock::now()));
    }
    if (m_WaitLimit) {
        if (const auto limit = m_WaitLimit()) wait = std::min(wait, *limit);
    }
    std::vector<pollfd> fds{{m_Wake, POLLIN, 0}, {m_Signals, POLLIN, 0}};
    for (const auto& [fd, watched] : m_Watches) fds.push_back({fd, watched.events, 0});
    const int ready =
        poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(0, wait.count())));
    if (ready < 0 && errno != EINTR) {
        m_Stopping = true;
        return;
    }
    if (fds[1].revents & POLLIN) {
        m_Stopping = true;
        return;
    }
    if (fds[0].revents & POLLIN) takeNotifications();
    for (std::size_t i = 2; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        // A handler before this one may have stopped watching it.
        const auto found = m_Watches.find(fds[i].fd);
        if (found != m_Watches.end()) found->second.handler(fds[i].revents);
    }
    // A handler may take a while (a scraper's first bcrypt check takes tens of milliseconds):
    // news that came in meanwhile, a reply among it, is taken before a time-out is looked at,
    // so that an answer that arrived in time is not counted as missing.
    pollfd wake{m_Wake, POLLIN, 0};
    if (poll(&wake, 1, 0) > 0) takeNotifications();
    fireDueTimers();
}

void EventLoop::takeNotifications() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_Wake, &count, sizeof count);
    std::vector<Notifiable*> notified;
    {
        const std::lock_guard<std::mutex> lock(m_NotifyMutex);
        notified.swap(m_Notified);
    }
    for (Notifiable* who : notified) who->onNotified();
}

void EventLoop::fireDueTimers() {
    const Clock::time_point now = Clock::now();
    // Only what is due now: a timer a handler arms again for now runs in the next round.
    std::vector<TimerId> due;
    for (auto it = m_Due.begin(); it != m_Due.end() && it->first <= now; ++it) {
        due.push_back(it->second);
    }
    for (TimerId timer : due) {
        // A handler run before this one may have stopped or restarted it.
        const auto at = m_Timers[timer].due;
        if (!at || *at > now) continue;
        disarm(timer);
        m_Timers[timer].fired();
    }
}
