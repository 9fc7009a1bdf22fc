#pragma once

#include <gtest/gtest.h>

#include "link/controller.h"
#include "link/process_state.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "support/bytes.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"
#include "wire/frame.h"

// Keeps every byte the controller writes, split into frames for the test to read.
class RecordingPort : public BytePort {
public:
    int WriteByte(std::uint8_t byte) override {
        if (closed || ++writes == refuseWrite) return 0;
        written.push_back(byte);
        return 1;
    }
    void ClosePort() override { closed = true; }

    // The payloads of the whole frames written so far (frames are never split here).
    std::vector<Bytes> payloads() const {
        std::vector<Bytes> found;
        for (std::size_t i = 0; i + 1 < written.size();) {
            const std::size_t length = written[i + 1];
            found.emplace_back(written.begin() + i + 2, written.begin() + i + 2 + length);
            i += length + 4;
        }
        return found;
    }
    std::vector<int> codes() const {
        std::vector<int> found;
        for (const Bytes& payload : payloads()) found.push_back(payload.empty() ? -1 : payload[0]);
        return found;
    }

    Bytes written;
    bool closed = false;
    int writes = 0;
    int refuseWrite = -1;  // the one write, counted from 1, that the line loses
};

// A controller on a recording port, a recorder view and a manual clock; replies are put in
// the receive queue as the watcher would.
class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }

    static Bytes frameOf(const Bytes& payload) {
        Bytes frame(payload.size() + 4);
        encodeFrame(payload, frame);
        return frame;
    }
    void deliver(const Bytes& bytes) {
        ASSERT_TRUE(queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
        controller.OnCommRead();
    }
    void reply(const Bytes& payload) { deliver(frameOf(payload)); }
    void advance(int milliseconds) {
        timers.advance(std::chrono::milliseconds{milliseconds},
                       [this](int id) { controller.OnTimer(id); });
    }

    RecordingPort port;
    CommQueue queue;
    RecorderView view;
    ManualTimers timers;
    AcuController controller{port, queue, view, timers};
};
