#pragma once

#include <termios.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "serial/comm_line.h"
#include "serial/comm_queue.h"

// The control unit's line speed; 8N1 without flow control.
inline constexpr std::uint32_t kLineBaudRate = 57600;

// The control unit's serial line on a Linux terminal device: raw 8N1 without flow control,
// opened for this program alone. A watcher thread waits on the device and moves what arrives
// into m_QueueRead; the consumer hears of it through CommConsumer and reads the queue on its
// own thread. Writes go out one byte at a time from the caller's thread.
class CSerialComm : public CommLine {
public:
    static constexpr std::uint32_t kReadChunkSize = 2048;
    // A line that accepts nothing for this long is stalled: failing the write beats a GUI that
    // hangs on a wedged adapter.
    static constexpr auto kWriteStallLimit = std::chrono::milliseconds{1000};

    // With a receive queue of its own, or filling the one its owner reads.
    explicit CSerialComm(CommConsumer& consumer);
    CSerialComm(CommConsumer& consumer, CommQueue& queue);
    ~CSerialComm() override;

    CSerialComm(const CSerialComm&) = delete;
    CSerialComm& operator=(const CSerialComm&) = delete;

    // Opens and configures the device and starts the watcher. 1 on success, 0 on failure (with
    // nothing left open), and 0 without any change while a port is already open.
    int OpenPort(const std::string& portName, std::uint32_t baudRate,
                 std::uint16_t portId) override;
    // Stops the watcher, then flushes and closes the device. Safe to call at any time, twice,
    // or from the watcher's own callbacks.
    void ClosePort() override;

    int WriteByte(std::uint8_t byte) override;

    // Reads what the device holds, at most kReadChunkSize bytes, into buffer. 0 when nothing
    // is there; on an I/O error it returns 0 and marks the line as lost.
    std::uint32_t ReadChunk(std::uint8_t* buffer);

    bool watcherRunning() const { return m_bWatcherRunning.load(); }
    const std::string& portName() const override { return m_sPortName; }
    bool isOpen() const override {
        return m_hComm >= 0 || m_hThread.joinable() || m_bWatcherRunning.load();
    }
    std::string openFailure() const override;

    // Why the last OpenPort failed (an errno value; EBUSY when another program holds the
    // port's lock), 0 after a success.
    int openError() const { return m_nOpenError; }

    // For the tests and the diagnosis page.
    int commHandle() const { return m_hComm; }
    bool watcherJoinable() const { return m_hThread.joinable(); }
    std::uint32_t readsWithData() const { return m_nReadsWithData.load(); }

private:
    CommQueue m_OwnQueue;  // unused when the owner gave a queue

public:
    CommQueue& m_QueueRead;

private:
    void watchDevice();
    // Moves everything the device holds into the queue. True if any byte was queued or a
    // chunk had to be dropped, i.e. the consumer has something to hear about.
    bool drainPort(std::uint8_t* chunk);
    // Waits until the device can take a byte again; false on cancel, hang-up or stall.
    bool waitWritable(std::chrono::steady_clock::time_point deadline) const;

    CommConsumer& m_Consumer;

    int m_hComm = -1;
    int m_hCancel = -1;  // eventfd: once signalled, every wait on it returns at once
    std::string m_sPortName;
    std::atomic<int> m_bConnected{0};
    std::atomic<bool> m_bWatcherRunning{false};
    std::atomic<bool> m_bLineLost{false};
    bool m_bStalled = false;  // the last write found the line full for kWriteStallLimit
    std::atomic<std::uint32_t> m_nReadsWithData{0};
    std::thread m_hThread;
    std::uint16_t m_wPortId = 0;
    int m_nOpenError = 0;
    struct termios m_savedTermios {};
    // Keeps ClosePort from closing the device under a WriteByte running on another thread.
    std::mutex m_WriteMutex;
    // Held by OpenPort until m_hThread has taken the new watcher.
    std::mutex m_StartMutex;
};
