#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "acu_simulator.h"
#include "support/bytes.h"

using namespace std::chrono_literals;

// A frame built here by hand, so the tests depend on neither side's encoder:
// STX, LEN, payload, CHK (LEN plus the payload, low byte), ETX.
inline Bytes frameOf(const Bytes& payload) {
    unsigned sum = static_cast<unsigned>(payload.size());
    for (std::uint8_t byte : payload) sum += byte;
    Bytes frame = concat({{0x02, static_cast<std::uint8_t>(payload.size())}, payload});
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    frame.push_back(0x03);
    return frame;
}

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
        std::vector<Bytes> found;
        for (std::size_t i = 0; i + 1 < out.size();) {
            const std::size_t end = i + out[i + 1] + 4u;
            if (end > out.size()) {
                ADD_FAILURE() << "a frame cut short at byte " << i;
                break;
            }
            found.emplace_back(out.begin() + i + 2, out.begin() + end - 2);
            EXPECT_EQ(Bytes(out.begin() + i, out.begin() + end), frameOf(found.back()))
                << "the frame at byte " << i;
            i = end;
        }
        return found;
    }

    std::vector<int> codes() const {
        std::vector<int> found;
        for (const Bytes& payload : payloads()) found.push_back(payload.at(0));
        return found;
    }

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
