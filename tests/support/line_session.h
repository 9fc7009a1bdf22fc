#pragma once

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acu_simulator.h"
#include "frame_log.h"
#include "pty_server.h"

#include "data/sif_reader.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "wire/protocol.h"
#include "serial/port_line.h"
#include "support/bytes.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

// Needs SKYRELAY_DATA_DIR, the folder of the sample files.

// The watcher's calls, taken up by the test's own loop as a window takes them on its thread.
struct FlagConsumer : CommConsumer {
    void onCommRead(std::uint16_t) override { read = true; }
    void onCommMessage(const std::string&) override {}
    void onCommHangup(std::uint16_t) override { ++hangups; }
    std::atomic<bool> read{false};
    std::atomic<int> hangups{0};
};

// The controller with its real line, on the simulated unit served on a pseudo-terminal; the
// unit's frames are logged as skyrelay-acu-sim --log writes them, without the times and the
// status polls, whose number depends on how long a run takes.
class Session {
public:
    explicit Session(TlsOptions tls = {},
                     std::chrono::milliseconds replyDelay = std::chrono::milliseconds{0})
        : m_Line(m_Consumer, std::move(tls)) {
        ResetProcessState();
        m_Acu.faults().replyDelay = replyDelay;
        m_Acu.setFrameObserver(
            [this](AcuSimulator::Direction direction, std::span<const std::uint8_t> frame) {
                if (frame.size() > 2 && frame[2] == cmd::StatusPoll) return;
                std::lock_guard lock(m_LogMutex);
                m_Log.push_back(frameLogLine(m_Acu.now(), direction, frame).substr(14));
            });
        std::string error;
        m_Ok = m_Server.open(error) && m_Server.start();
    }
    ~Session() {
        m_Line.ClosePort();
        m_Server.stop();
        ResetProcessState();
    }

    // The simulator's terminal is open and served.
    bool ok() const { return m_Ok; }
    std::string device() const { return m_Server.slavePath(); }
    int open(const std::string& name) { return m_Line.OpenPort(name, 57600, 0); }

    // Runs the controller on real time until done() or limit; false on the limit.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::seconds limit = std::chrono::seconds{60}) {
        const auto end = std::chrono::steady_clock::now() + limit;
        auto last = std::chrono::steady_clock::now();
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now > end) return false;
            if (m_Consumer.read.exchange(false)) m_Controller.OnCommRead();
            if (m_Consumer.hangups.load() > m_HangupsSeen) {
                ++m_HangupsSeen;
                m_Controller.OnPortHangup(m_Line.portName());
            }
            const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(now - last);
            last += step;
            m_Timers.advance(step, [this](int id) { m_Controller.OnTimer(id); });
            std::this_thread::sleep_for(std::chrono::milliseconds{2});
        }
        return true;
    }
    bool identify() {
        m_Controller.StartConnection();
        return runUntil([this] { return m_Timers.running(cmd::StatusPoll); });
    }
    // The sample file with every continent, from load to the last acknowledgement.
    bool upload() {
        std::ifstream file(SKYRELAY_DATA_DIR "/all_continents.sif", std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
        if (loadSatelliteInformation(bytes)) return false;
        g_SetupMode = 1;
        m_View.continentSelection = 0;
        m_View.regionSelection = 0;
        m_Controller.updateDefaultData();
        return runUntil([this] { return !m_View.callsStartingWith("CloseProgress").empty(); });
    }
    std::vector<std::string> log() {
        std::lock_guard lock(m_LogMutex);
        return m_Log;
    }

    FlagConsumer m_Consumer;
    PortLine m_Line;
    RecorderView m_View;
    ManualTimers m_Timers;
    AcuController m_Controller{m_Line, m_Line.m_QueueRead, m_View, m_Timers};
    int m_HangupsSeen = 0;

private:
    AcuSimulator m_Acu;
    PtyServer m_Server{m_Acu};
    bool m_Ok = false;
    std::mutex m_LogMutex;
    std::vector<std::string> m_Log;
};
