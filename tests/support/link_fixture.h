#pragma once

#include <gtest/gtest.h>

#include "link/controller.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "support/bytes.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

// Keeps every byte the controller writes, split into frames for the test to read.
class RecordingPort : public BytePort {
public:
    int WriteByte(std::uint8_t byte) override {
        if (closed || ++writes == refuseWrite) return 0;
        written.push_back(byte);
        return 1;
    }
    void ClosePort() override { closed = true; }
    std::string deviceName() const override { return "/dev/ttyUSB0"; }
    bool networkLine() const override { return network; }

    std::vector<Bytes> payloads() const { return payloadsOf(written); }
    std::vector<int> codes() const { return codesOf(payloads()); }
    Bytes written;
    bool closed = false;
    int writes = 0;
    int refuseWrite = -1;  // the one write, counted from 1, that the line loses
    bool network = false;  // a serial server's address rather than a local wire
};

// A fresh controller on a recording port, a recorder view and a manual clock; replies are put
// in the receive queue as the watcher would. Every outcome is kept in order.
class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() {
        view.state = &controller.state();
        controller.setOutcomeListener([this](const Outcome& o) { outcomes.push_back(o); });
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
    // Nothing written, shown or ended so far.
    void forget() {
        port.written.clear();
        view.calls.clear();
        outcomes.clear();
    }
    // The link open (its link check left unrepeated) and nothing recorded yet.
    void connect() {
        controller.StartConnection();
        timers.stop(1);
        forget();
    }
    // ... and the ACU in setup mode (reply 16, state 6) with the dish at az, el and skew,
    // each given as its sign and hundredths, as the reply carries them.
    void connectInSetupMode(const Bytes& position = {'+', 0, 0, '+', 0, 0, '+', 0, 0}) {
        connect();
        reply(concat({{0x10, 0x06}, position}));
        forget();
    }
    const LinkState& state() const { return controller.state(); }

    RecordingPort port;
    CommQueue queue;
    RecorderView view;
    ManualTimers timers;
    AcuController controller{port, queue, view, timers, &view};
    std::vector<Outcome> outcomes;
};
