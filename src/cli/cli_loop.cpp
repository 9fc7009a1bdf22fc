#include "cli/cli_loop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace {

// The signal handler may only touch these: a flag and a write to the loop's eventfd.
volatile std::sig_atomic_t s_Interrupted = 0;
std::atomic<int> s_WakeFd{-1};

void onSignal(int) {
    s_Interrupted = 1;
    const int fd = s_WakeFd.load();
    if (fd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
    }
}

}  // namespace

CliLoop::CliLoop() : m_Wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    s_WakeFd = m_Wake;
}

CliLoop::~CliLoop() {
    s_WakeFd = -1;
    if (m_Wake >= 0) close(m_Wake);
}

void CliLoop::catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool CliLoop::interrupted() {
    return s_Interrupted != 0;
}

void CliLoop::start(int id, std::chrono::milliseconds period) {
    Timer& timer = m_Timers[id];
    timer.running = true;
    timer.period = period;
    timer.due = Clock::now() + period;
}

void CliLoop::stop(int id) {
    const auto found = m_Timers.find(id);
    if (found != m_Timers.end()) found->second.running = false;
}

int CliLoop::sent(int code) const {
    const auto found = m_Sent.find(code);
    return found == m_Sent.end() ? 0 : found->second;
}

void CliLoop::forgetCounts() {
    m_Sent.clear();
}

void CliLoop::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(m_Wake, &one, sizeof one);
}

void CliLoop::onCommRead(std::uint16_t) {
    if (!m_ReadPending.exchange(true)) wake();
}

void CliLoop::onCommMessage(const std::string& text) {
    {
        const std::lock_guard<std::mutex> lock(m_MessageMutex);
        m_Messages.push_back(text);
    }
    wake();
}

void CliLoop::onCommHangup(std::uint16_t) {
    m_HangupPending = true;
    wake();
}

void CliLoop::dispatchPending() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_Wake, &count, sizeof count);
    // Cleared before reading, so bytes queued meanwhile wake the loop again.
    if (m_ReadPending.exchange(false) && m_Handlers.read) m_Handlers.read();
    std::vector<std::string> messages;
    {
        const std::lock_guard<std::mutex> lock(m_MessageMutex);
        messages.swap(m_Messages);
    }
    for (const std::string& text : messages) {
        if (m_Handlers.message) m_Handlers.message(text);
    }
    // After the last bytes: a reply that made it out before the line went is still heard.
    if (m_HangupPending.exchange(false) && m_Handlers.hangup) m_Handlers.hangup();
}

void CliLoop::fireDueTimers() {
    const Clock::time_point now = Clock::now();
    std::vector<int> due;
    for (const auto& [id, timer] : m_Timers) {
        if (timer.running && timer.due <= now) due.push_back(id);
    }
    for (int id : due) {
        Timer& timer = m_Timers[id];
        // A handler run before this one may have stopped or restarted it.
        if (!timer.running || timer.due > now) continue;
        timer.due = now + timer.period;
        if (m_Handlers.timer) m_Handlers.timer(id);
    }
}

CliLoop::Outcome CliLoop::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
    for (;;) {
        if (done()) return Outcome::Done;
        if (interrupted()) return Outcome::Interrupted;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return Outcome::TimedOut;
        Clock::time_point wakeAt = deadline;
        for (const auto& [id, timer] : m_Timers) {
            if (timer.running) wakeAt = std::min(wakeAt, timer.due);
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wakeAt - now);
        pollfd fd{m_Wake, POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(std::max<long long>(0, wait.count())));
        if (ready > 0) dispatchPending();
        fireDueTimers();
    }
}
