#pragma once

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "acu_simulator.h"
#include "frame_log.h"
#include "pty_server.h"

#include "data/sif_reader.h"
#include "link/controller.h"
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
class LineSession {
public:
    explicit LineSession(TlsOptions tls = {},
                     std::chrono::milliseconds replyDelay = std::chrono::milliseconds{0})
        : m_Line(m_Consumer, std::move(tls)) {
        m_View.state = &m_Controller.state();
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
    ~LineSession() {
        m_Line.ClosePort();
        m_Server.stop();
    }

    // The simulator's terminal is open and served.
    bool ok() const { return m_Ok; }
    std::string device() const { return m_Server.slavePath(); }
    int open(const std::string& name) { return m_Line.OpenPort(name, 57600, 0); }

    // One turn of the test's loop, as the window's event loop takes it: what the watcher
    // reported, then the timers up to now.
    void pump() {
        if (m_Consumer.read.exchange(false)) m_Controller.OnCommRead();
        if (m_Consumer.hangups.load() > m_HangupsSeen) {
            ++m_HangupsSeen;
            m_Controller.OnPortHangup(m_Line.portName());
        }
        const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_Last);
        m_Last += step;
        m_Timers.advance(step, [this](int id) { m_Controller.OnTimer(id); });
    }
    // Runs the sessions' controllers on real time, in turn, until done() or limit; false on
    // the limit.
    static bool runUntil(std::initializer_list<LineSession*> sessions,
                         const std::function<bool()>& done,
                         std::chrono::seconds limit = std::chrono::seconds{60}) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            for (LineSession* session : sessions) session->pump();
            std::this_thread::sleep_for(std::chrono::milliseconds{2});
        }
        return true;
    }
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::seconds limit = std::chrono::seconds{60}) {
        return runUntil({this}, done, limit);
    }
    bool identify() {
        m_Controller.StartConnection();
        return runUntil([this] { return m_Timers.running(cmd::StatusPoll); });
    }
    // The sample file with every continent loaded, setup mode, and the upload started.
    bool startUpload() {
        std::ifstream file(SKYRELAY_DATA_DIR "/all_continents.sif", std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
        if (m_Controller.loadDefaultData(bytes, "all_continents.sif")) return false;
        m_Controller.OnSetupMode();
        if (!runUntil([this] { return m_Controller.state().SetupMode == 1; })) return false;
        m_Controller.updateDefaultData(0, 0);
        return true;
    }
    // ... to the last acknowledgement.
    bool upload() {
        return startUpload() &&
               runUntil([this] { return !m_View.callsStartingWith("CloseProgress").empty(); });
    }
    // The simulated unit, while its server keeps its hands off it.
    template <typename F>
    auto unit(F&& f) {
        return m_Server.withSimulator(std::forward<F>(f));
    }
    // The unit's end of the line goes, as a pulled cable.
    void hangUp() { m_Server.hangUp(); }
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
    std::chrono::steady_clock::time_point m_Last = std::chrono::steady_clock::now();
    AcuSimulator m_Acu;
    PtyServer m_Server{m_Acu};
    bool m_Ok = false;
    std::mutex m_LogMutex;
    std::vector<std::string> m_Log;
};
