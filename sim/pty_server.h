#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "acu_simulator.h"
#include "wire_schedule.h"

// Serves the simulated unit on a pseudo-terminal, so the real program opens the slave path as
// it would open a serial adapter. A thread reads what the program writes, runs the unit on
// real time and writes its replies, with the splitting, pacing and hang-up of the faults.
//
// The server keeps a descriptor of the slave open for its whole life: the terminal then
// stays in place while the program closes and reopens it, and the master never sees the
// hang-up that a slave without users would give it.
class PtyServer {
public:
    // The longest the thread sleeps with nothing to do; stop() and new work wake it at once.
    static constexpr auto kIdleWait = std::chrono::milliseconds{50};
    // How long stop() waits for the reader to take what the unit has already sent.
    static constexpr auto kDrainLimit = std::chrono::seconds{2};
    static constexpr std::size_t kReadChunk = 4096;

    explicit PtyServer(AcuSimulator& acu);
    ~PtyServer();

    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pseudo-terminal in raw 8N1 mode at 57600 baud. On failure returns false
    // and says why in error.
    bool open(std::string& error);
    const std::string& slavePath() const { return m_SlavePath; }

    // Serves on a thread of its own until stop(), a hang-up or a broken terminal.
    bool start();
    // Lets the reader take every byte already sent (waiting kDrainLimit at most), then closes
    // the terminal and joins the thread. From any thread but the server's (the frame
    // observer runs there); safe to repeat, and what the destructor does.
    void stop();
    // Closes the unit's end at once, as a pulled cable: the program sees the hang-up.
    void hangUp();

    bool finished() const { return m_Finished.load(); }
    bool hungUp() const { return m_HungUp.load(); }

    // Runs f on the unit while the server thread keeps its hands off it. f may make the unit
    // speak (an unasked reply 6, say); the server wakes to send it.
    template <typename F>
    auto withSimulator(F&& f) {
        struct Wake {
            PtyServer& server;
            ~Wake() { server.wake(); }
        } wake{*this};
        std::lock_guard<std::mutex> lock(m_AcuMutex);
        return f(m_Acu);
    }

private:
    void serve();
    // One round: take what the program wrote, move the unit's clock, write what is due.
    // False when the terminal is gone.
    bool serviceOnce();
    std::chrono::microseconds realNow() const;
    int pollTimeoutMs();
    bool writeDue(std::chrono::microseconds now);
    void drainToReader();
    void closeTerminal();
    void wake();

    AcuSimulator& m_Acu;
    std::mutex m_AcuMutex;  // guards m_Acu and m_Wire
    WireSchedule m_Wire;
    int m_Master = -1;
    int m_Slave = -1;
    int m_Wake = -1;  // eventfd
    std::string m_SlavePath;
    std::thread m_Thread;
    std::chrono::steady_clock::time_point m_Started;
    std::chrono::microseconds m_ClockBase{0};
    bool m_WriteBlocked = false;
    std::atomic<bool> m_StopRequested{false};
    std::atomic<bool> m_HangupRequested{false};
    std::atomic<bool> m_Finished{false};
    std::atomic<bool> m_HungUp{false};
};
