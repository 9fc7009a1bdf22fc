#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "acu_simulator.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "wire_schedule.h"

// The cable in one thread: the program writes its command bytes into the simulator through
// this port, and the simulator's replies land in the program's receive queue as the watcher
// would put them there, piece by piece. Time moves only when the test calls advance(), for
// the unit and for the bytes on the wire alike. Splitting, pacing and hang-up come from the
// simulator's faults.
//
// An answer never lands inside the WriteByte that completed its command: the program sends
// and then starts the command's timer, and a reply that stopped the timer before it was
// started would leave it running. It lands at the next flush() or advance().
class MemoryLink : public BytePort {
public:
    MemoryLink(AcuSimulator& acu, CommQueue& queue);
    ~MemoryLink() override;

    MemoryLink(const MemoryLink&) = delete;
    MemoryLink& operator=(const MemoryLink&) = delete;

    int WriteByte(std::uint8_t byte) override;
    // The program lets go of the line: its writes fail and the unit's replies go nowhere.
    void ClosePort() override;
    // Plugs the line in again after ClosePort (not after a hang-up: that unit is gone).
    void reopen() { m_Closed = false; }

    // Hands the reader what is due now, as the watcher does when it wakes.
    void flush();
    // Moves the clock; what falls due on the way lands at its own moment.
    void advance(std::chrono::microseconds elapsed);

    // Called after each piece put in the queue, as the watcher posts its notification.
    void setOnData(std::function<void()> onData) { m_OnData = std::move(onData); }
    // Called once when the unit hangs up.
    void setOnHangup(std::function<void()> onHangup) { m_OnHangup = std::move(onHangup); }

    // Forces a hang-up now, whatever the faults say.
    void hangUp();
    bool hungUp() const { return m_HungUp; }
    // Bytes the queue had no room for; they are not lost, they wait here.
    std::size_t pendingBytes() const { return m_Wire.pendingBytes(); }

private:
    void deliver();
    void checkHangup();

    AcuSimulator& m_Acu;
    CommQueue& m_Queue;
    WireSchedule m_Wire;
    std::function<void()> m_OnData;
    std::function<void()> m_OnHangup;
    bool m_Closed = false;
    bool m_HungUp = false;
    bool m_Delivering = false;
};
