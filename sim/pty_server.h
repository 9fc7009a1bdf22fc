#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acu_simulator.h"
#include "wire_schedule.h"

// Serves simulated units on pseudo-terminals, so the real program opens a slave path as it
// would open a serial adapter. One thread serves every unit it was given: it reads what the
// programs write, runs each unit on real time and writes its replies, with the splitting,
// pacing and hang-up of the faults. A fleet of two hundred units is one thread and one poll.
//
// The server keeps a descriptor of each slave open for its whole life: the terminal then
// stays in place while the program closes and reopens it, and the master never sees the
// hang-up that a slave without users would give it.
class PtyServer {
public:
    // The longest the thread sleeps with nothing to do; stop() and new work wake it at once.
    static constexpr auto kIdleWait = std::chrono::milliseconds{50};
    // How long stop() waits for the readers to take what the units have already sent.
    static constexpr auto kDrainLimit = std::chrono::seconds{2};
    static constexpr std::size_t kReadChunk = 4096;

    explicit PtyServer(AcuSimulator& acu);
    // Units in order: unit k of slavePath(k), hangUp(k), withSimulator(k, ...).
    explicit PtyServer(const std::vector<AcuSimulator*>& units);
    ~PtyServer();

    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates one pseudo-terminal a unit, in raw 8N1 mode at 57600 baud. On failure returns
    // false and says why in error; nothing stays open.
    bool open(std::string& error);
    const std::string& slavePath(std::size_t unit = 0) const { return m_Units[unit]->slavePath; }
    std::size_t unitCount() const { return m_Units.size(); }

    // Serves on a thread of its own until stop(), or until every unit's terminal is gone.
    bool start();
    // Lets the readers take every byte already sent (waiting kDrainLimit at most), then closes
    // the terminals and joins the thread. From any thread but the server's (the frame
    // observers run there); safe to repeat, and what the destructor does.
    void stop();
    // Closes the unit's end at once, as a pulled cable: the program sees the hang-up.
    void hangUp(std::size_t unit = 0);

    // Every unit's terminal is gone.
    bool finished() const { return m_Finished.load(); }
    bool hungUp(std::size_t unit = 0) const { return m_Units[unit]->hungUp.load(); }

    // Runs f on the unit while the server thread keeps its hands off it. f may make the unit
    // speak (an unasked reply 6, say); the server wakes to send it.
    template <typename F>
    auto withSimulator(F&& f) {
        return withSimulator(0, std::forward<F>(f));
    }
    template <typename F>
    auto withSimulator(std::size_t unit, F&& f) {
        struct Wake {
            PtyServer& server;
            ~Wake() { server.wake(); }
        } wake{*this};
        std::lock_guard<std::mutex> lock(m_AcuMutex);
        return f(*m_Units[unit]->acu);
    }

private:
    // One unit on its terminal.
    struct Terminal {
        explicit Terminal(AcuSimulator& unit) : acu(&unit), wire(unit.faults()) {}
        AcuSimulator* acu;
        WireSchedule wire;
        int master = -1;
        int slave = -1;
        std::string slavePath;
        std::chrono::microseconds clockBase{0};
        bool writeBlocked = false;
        std::atomic<bool> hangupRequested{false};
        std::atomic<bool> hungUp{false};
    };

    void serve();
    // One round: take what the programs wrote, move the clocks, write what is due. False when
    // no terminal is left.
    bool serviceOnce();
    // The unit's share of a round, with m_AcuMutex held. False when its terminal is gone.
    bool serviceUnit(Terminal& unit, const std::vector<std::uint8_t>& received);
    bool readFrom(Terminal& unit, std::vector<std::uint8_t>& received);
    std::chrono::microseconds realNow(const Terminal& unit) const;
    int pollTimeoutMs();
    bool writeDue(Terminal& unit, std::chrono::microseconds now);
    void drainToReaders();
    void openOne(Terminal& unit, std::string& error);
    static void closeTerminal(Terminal& unit);
    void wake();

    std::vector<std::unique_ptr<Terminal>> m_Units;
    std::mutex m_AcuMutex;  // guards the units and their wire schedules
    int m_Wake = -1;        // eventfd
    std::thread m_Thread;
    std::chrono::steady_clock::time_point m_Started;
    std::atomic<bool> m_StopRequested{false};
    std::atomic<bool> m_Finished{false};
};
