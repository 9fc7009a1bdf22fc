#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "exporter/acu_snapshot.h"
#include "exporter/event_loop.h"
#include "exporter/fleet_config.h"
#include "exporter/read_only_port.h"
#include "exporter/watcher_view.h"
#include "link/outcome.h"
#include "link/timer_bank.h"
#include "link/traffic.h"
#include "serial/byte_port.h"

class AcuController;
class PortLine;

// One ACU watched: its line, its controller and what it has said, in the exporter's loop.
// It opens the line, runs the identification chain (1, 2, 3, 4) and then the status poll (14)
// at the window's pace, and after a hang-up, a give-up or a failed open it tries again after
// a back-off that doubles from reconnectDelay up to ten times that. Every command leaves
// through a ReadOnlyPort.
class AcuWatcher : private CommConsumer,
                   private TimerBank,
                   private TrafficObserver,
                   private EventLoop::Notifiable {
public:
    // A minute, doubling to ten: an ACU whose line a technician holds is not pestered.
    static constexpr auto kReconnectDelay = std::chrono::milliseconds{60'000};
    static constexpr int kBackoffLimit = 10;  // the longest wait, in first waits
    // How often an address being opened is asked whether it is there yet.
    static constexpr auto kOpenCheck = std::chrono::milliseconds{50};

    AcuWatcher(EventLoop& loop, FleetAcu acu, std::chrono::milliseconds reconnectDelay);
    ~AcuWatcher() override;
    AcuWatcher(const AcuWatcher&) = delete;
    AcuWatcher& operator=(const AcuWatcher&) = delete;

    // The first open; later ones follow by themselves.
    void start();
    // Lets go of the line; nothing more is sent.
    void stop();

    const AcuSnapshot& snapshot() const { return m_Snapshot; }

private:
    // From the line's watcher thread: noted, and taken up in onNotified on the loop's thread.
    void onCommRead(std::uint16_t portId) override;
    void onCommMessage(const std::string& text) override;
    void onCommHangup(std::uint16_t portId) override;
    void onNotified() override;

    // The controller's timers, on the loop.
    void start(int id, std::chrono::milliseconds period) override;
    void stop(int id) override;
    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point at) override;

    void open();
    void checkOpening();
    void opened();
    void onControllerTimer(int id);
    void endLink(const std::string& problem);
    void closeLine();
    void onOutcome(const Outcome& outcome);
    void onGivenUp();
    void onStatus();

    EventLoop& m_Loop;
    FleetAcu m_Acu;
    std::chrono::milliseconds m_FirstDelay;
    std::chrono::milliseconds m_NextDelay;
    AcuSnapshot m_Snapshot;
    WatcherView m_View;
    std::unique_ptr<PortLine> m_Line;
    std::unique_ptr<ReadOnlyPort> m_Guard;
    std::unique_ptr<AcuController> m_Controller;
    std::map<int, EventLoop::TimerId> m_Timers;  // the controller's timer id -> the loop's
    std::map<int, std::chrono::milliseconds> m_Periods;
    EventLoop::TimerId m_RetryTimer;
    EventLoop::TimerId m_OpenTimer;
    EventLoop::TimerId m_GiveUpTimer;
    std::optional<Outcome> m_GivenUp;
    // When each watched command went out without its reply yet.
    std::array<std::optional<Clock::time_point>, kWatchedCommands.size()> m_Waiting{};

    std::atomic<bool> m_ReadPending{false};
    std::atomic<bool> m_HangupPending{false};
    std::mutex m_MessageMutex;
    std::vector<std::string> m_Messages;
};
