#include "exporter/acu_watcher.h"

#include <iostream>
#include <utility>

#include "exporter/link_values.h"
#include "link/controller.h"
#include "link/frame_text.h"
#include "serial/port_line.h"
#include "serial/serial_comm.h"
#include "wire/protocol.h"

namespace {

std::string commandName(std::uint8_t code) {
    return frameName(code, false) + " (command " + std::to_string(code) + ")";
}

// One line of a window's message: "\r\n" as a blank and the framing blanks gone.
std::string oneLine(const std::string& message) {
    std::string text;
    for (char c : message) {
        if (c == '\n') continue;
        text += c == '\r' ? ' ' : c;
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

AcuWatcher::AcuWatcher(EventLoop& loop, FleetAcu acu, std::chrono::milliseconds reconnectDelay)
    : m_Loop(loop),
      m_Acu(std::move(acu)),
      m_FirstDelay(reconnectDelay),
      m_NextDelay(reconnectDelay),
      m_RetryTimer(loop.addTimer([this] { open(); })),
      m_OpenTimer(loop.addTimer([this] { checkOpening(); })),
      m_GiveUpTimer(loop.addTimer([this] { onGivenUp(); })) {
    m_Snapshot.name = m_Acu.name;
    m_Snapshot.port = m_Acu.port;
    m_View.statusShown = [this] { onStatus(); };
}

AcuWatcher::~AcuWatcher() {
    closeLine();
}

void AcuWatcher::start() {
    open();
}

void AcuWatcher::stop() {
    closeLine();
    m_Loop.disarm(m_RetryTimer);
}

void AcuWatcher::open() {
    closeLine();
    m_Snapshot.phase = LinkPhase::Opening;
    m_Snapshot.retryAt.reset();
    m_Line = std::make_unique<PortLine>(static_cast<CommConsumer&>(*this), m_Acu.tls);
    const int result = m_Line->beginOpen(m_Acu.port, kLineBaudRate, 0);
    if (result == PortLine::kOpening) {
        m_Loop.arm(m_OpenTimer, kOpenCheck);
    } else if (result == 1) {
        opened();
    } else {
        endLink(m_Line->openFailure());
    }
}

void AcuWatcher::checkOpening() {
    const std::optional<int> result = m_Line ? m_Line->finishOpen() : std::optional<int>(0);
    if (!result) {
        m_Loop.arm(m_OpenTimer, kOpenCheck);
    } else if (*result == 1) {
        opened();
    } else {
        endLink(m_Line ? m_Line->openFailure() : "");
    }
}

void AcuWatcher::opened() {
    m_Guard = std::make_unique<ReadOnlyPort>(*m_Line, [this](std::uint8_t code) {
        std::cerr << "skyrelay-exporter: " << m_Acu.name << ": kept "
                  << (code == 0 ? std::string("bytes that were no frame") : commandName(code))
                  << " off the line: the exporter only reads\n";
    });
    m_Controller = std::make_unique<AcuController>(*m_Guard, m_Line->m_QueueRead, m_View,
                                                   static_cast<TimerBank&>(*this));
    m_Controller->setTrafficObserver(this);
    m_Controller->setOutcomeListener([this](const Outcome& outcome) { onOutcome(outcome); });
    m_View.lastMessage.clear();
    m_Snapshot.phase = LinkPhase::Identifying;
    m_Controller->StartConnection(false);
}

void AcuWatcher::closeLine() {
    m_Loop.disarm(m_OpenTimer);
    m_Loop.disarm(m_GiveUpTimer);
    m_GivenUp.reset();
    for (const auto& [id, timer] : m_Timers) m_Loop.disarm(timer);
    if (m_Controller) {
        m_Controller->setTrafficObserver(nullptr);
        m_Controller->Disconnect();
    }
    m_Controller.reset();
    m_Guard.reset();
    // Joins the line's own threads: nothing of this line notifies after this.
    m_Line.reset();
    m_Waiting = {};
    m_ReadPending = false;
    m_HangupPending = false;
}

void AcuWatcher::endLink(const std::string& problem) {
    closeLine();
    const auto delay = m_NextDelay;
    m_NextDelay = std::min(m_NextDelay * 2, m_FirstDelay * kBackoffLimit);
    m_Snapshot.phase = LinkPhase::Waiting;
    m_Snapshot.lastProblem = problem.empty() ? "the line could not be opened" : problem;
    m_Snapshot.retryAt = WallClock::now() + delay;
    m_Loop.arm(m_RetryTimer, delay);
    std::cerr << "skyrelay-exporter: " << m_Acu.name << ": " << m_Snapshot.lastProblem
              << " (next try in " << delay.count() / 1000.0 << " s)\n";
}

void AcuWatcher::onOutcome(const Outcome& outcome) {
    if (outcome.operation != Operation::Connect) return;
    if (outcome.ending == Ending::Done) {
        m_Snapshot.identity = identityFromLink(m_Controller->state(), WallClock::now());
        m_Snapshot.phase = LinkPhase::Polling;
        m_Snapshot.lastProblem.clear();
        m_NextDelay = m_FirstDelay;
    } else if (outcome.ending == Ending::Unanswered) {
        // The chain was given up; the line itself is still there, and is let go of after
        // the controller has finished with this reply or timer.
        m_GivenUp = outcome;
        m_Loop.arm(m_GiveUpTimer, std::chrono::milliseconds{0});
    }
}

void AcuWatcher::onGivenUp() {
    if (!m_GivenUp) return;
    const Outcome outcome = *std::exchange(m_GivenUp, std::nullopt);
    for (std::size_t i = 0; i < m_Waiting.size(); ++i) {
        if (m_Waiting[i]) m_Snapshot.unanswered[i] += 1;
    }
    std::string problem = oneLine(m_View.lastMessage);
    if (problem.empty()) problem = "the ACU did not answer " + commandName(outcome.code);
    endLink(problem);
}

void AcuWatcher::onStatus() {
    if (m_Controller) m_Snapshot.status = statusFromLink(m_Controller->state(), WallClock::now());
}

void AcuWatcher::onCommRead(std::uint16_t) {
    if (!m_ReadPending.exchange(true)) m_Loop.notify(this);
}

void AcuWatcher::onCommMessage(const std::string& text) {
    {
        const std::lock_guard<std::mutex> lock(m_MessageMutex);
        m_Messages.push_back(text);
    }
    m_Loop.notify(this);
}

void AcuWatcher::onCommHangup(std::uint16_t) {
    m_HangupPending = true;
    m_Loop.notify(this);
}

void AcuWatcher::onNotified() {
    std::vector<std::string> messages;
    {
        const std::lock_guard<std::mutex> lock(m_MessageMutex);
        messages.swap(m_Messages);
    }
    for (const std::string& text : messages) {
        std::cerr << "skyrelay-exporter: " << m_Acu.name << ": " << oneLine(text) << "\n";
    }
    if (!m_Controller) return;
    // Cleared before reading, so bytes queued meanwhile notify again.
    if (m_ReadPending.exchange(false)) m_Controller->OnCommRead();
    // After the last bytes: a reply that made it out before the line went is still heard.
    if (m_HangupPending.exchange(false)) {
        m_Snapshot.hangups += 1;
        m_Controller->OnPortHangup(m_Acu.port);
        endLink(oneLine(m_View.lastMessage));
    }
}

void AcuWatcher::start(int id, std::chrono::milliseconds period) {
    // The start-up tick and the window's port scan have no place here: the watcher opens
    // its line itself.
    if (id < cmd::LinkCheck || id > cmd::Last) return;
    auto found = m_Timers.find(id);
    if (found == m_Timers.end()) {
        found = m_Timers.emplace(id, m_Loop.addTimer([this, id] { onControllerTimer(id); })).first;
    }
    m_Periods[id] = period;
    m_Loop.arm(found->second, period);
}

void AcuWatcher::stop(int id) {
    const auto found = m_Timers.find(id);
    if (found != m_Timers.end()) m_Loop.disarm(found->second);
}

void AcuWatcher::onControllerTimer(int id) {
    if (!m_Controller) return;
    // As the window's timers: it fires again a period later unless its handler stops it.
    m_Loop.arm(m_Timers[id], m_Periods[id]);
    m_Controller->OnTimer(id);
}

void AcuWatcher::onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                           Clock::time_point at) {
    if (kind == TrafficKind::Rejected) m_Snapshot.framesRejected += 1;
    if ((kind != TrafficKind::Sent && kind != TrafficKind::Received) || bytes.size() < 3) return;
    const std::optional<std::size_t> index = watchedIndex(bytes[2]);
    if (!index) return;
    std::optional<Clock::time_point>& waiting = m_Waiting[*index];
    if (kind == TrafficKind::Sent) {
        // Sent again before its reply came: that send went unanswered.
        if (waiting) m_Snapshot.unanswered[*index] += 1;
        waiting = at;
    } else if (waiting) {
        m_Snapshot.roundTrips.observe(std::chrono::duration<double>(at - *waiting).count());
        waiting.reset();
    }
}
