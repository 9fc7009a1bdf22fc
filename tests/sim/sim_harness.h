#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "acu_simulator.h"
#include "support/bytes.h"

using namespace std::chrono_literals;

// The simulator on a manual clock, with every byte it writes kept.
class SimHarness : public ::testing::Test {
protected:
    SimHarness() {
        acu.setOutput([this](std::span<const std::uint8_t> bytes) {
            out.insert(out.end(), bytes.begin(), bytes.end());
        });
    }

    void command(const Bytes& payload) { acu.receive(frameOf(payload)); }

    // The payloads of all frames written so far; each frame must be whole and well formed.
    std::vector<Bytes> payloads() const {
        const std::vector<Bytes> found = payloadsOf(out);
        Bytes again;
        for (const Bytes& payload : found) again = concat({again, frameOf(payload)});
        EXPECT_EQ(out, again) << "a frame cut short or badly formed";
        return found;
    }
    std::vector<int> codes() const { return codesOf(payloads()); }
    // The one reply to a command, with what came before forgotten.
    Bytes replyTo(const Bytes& commandPayload) {
        out.clear();
        command(commandPayload);
        const std::vector<Bytes> found = payloads();
        EXPECT_EQ(found.size(), 1u) << "replies to command " << int(commandPayload.at(0));
        return found.empty() ? Bytes{} : found.front();
    }

    // Bytes from..from + count of a payload; none if it is shorter.
    static Bytes slice(const Bytes& payload, std::size_t from, std::size_t count) {
        if (from + count > payload.size()) return {};
        return Bytes(payload.begin() + from, payload.begin() + from + count);
    }
    static int be16(const Bytes& payload, std::size_t n) {
        return payload.at(n) * 256 + payload.at(n + 1);
    }
    // A sign byte, then hundredths big-endian.
    static double signed100(const Bytes& payload, std::size_t n) {
        const double magnitude = be16(payload, n + 1) / 100.0;
        return payload.at(n) == '+' ? magnitude : -magnitude;
    }

    AcuSimulator acu;
    Bytes out;
};
