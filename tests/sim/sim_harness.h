#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "acu_simulator.h"
#include "support/bytes.h"

using namespace std::chrono_literals;

// A command frame as the program puts it on the line, built here by hand from the frame
// rule so the tests depend on neither side's encoder: STX, LEN, payload, CHK, ETX.
inline std::uint8_t checksumOf(const Bytes& payload) {
    unsigned sum = static_cast<unsigned>(payload.size());
    for (std::uint8_t byte : payload) sum += byte;
    return static_cast<std::uint8_t>(sum & 0xFF);
}

inline Bytes frameOf(const Bytes& payload) {
    Bytes frame{0x02, static_cast<std::uint8_t>(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(checksumOf(payload));
    frame.push_back(0x03);
    return frame;
}

// The simulator with every byte it writes kept, each write apart, on a manual clock.
class SimHarness : public ::testing::Test {
protected:
    SimHarness() {
        acu.setOutput([this](std::span<const std::uint8_t> bytes) {
            writes.emplace_back(bytes.begin(), bytes.end());
        });
    }

    void command(const Bytes& payload) { acu.receive(frameOf(payload)); }

    // Everything written so far in one stream.
    Bytes output() const {
        Bytes all;
        for (const Bytes& write : writes) all.insert(all.end(), write.begin(), write.end());
        return all;
    }

    // The stream cut into frames by STX and LEN; each frame's STX, ETX and checksum are
    // checked as the program would check them.
    std::vector<Bytes> frames() const {
        std::vector<Bytes> found;
        const Bytes all = output();
        std::size_t i = 0;
        while (i + 1 < all.size()) {
            EXPECT_EQ(all[i], 0x02) << "no STX at byte " << i;
            const std::size_t size = all[i + 1] + 4u;
            if (i + size > all.size()) {
                ADD_FAILURE() << "a frame cut short at byte " << i;
                break;
            }
            Bytes frame(all.begin() + static_cast<std::ptrdiff_t>(i),
                        all.begin() + static_cast<std::ptrdiff_t>(i + size));
            const Bytes payload(frame.begin() + 2, frame.end() - 2);
            EXPECT_EQ(frame[size - 2], checksumOf(payload)) << "checksum of the frame at " << i;
            EXPECT_EQ(frame[size - 1], 0x03) << "no ETX for the frame at " << i;
            found.push_back(frame);
            i += size;
        }
        return found;
    }

    // The payloads (code first) of all frames written so far.
    std::vector<Bytes> payloads() const {
        std::vector<Bytes> found;
        for (const Bytes& frame : frames()) found.emplace_back(frame.begin() + 2, frame.end() - 2);
        return found;
    }

    std::vector<int> codes() const {
        std::vector<int> found;
        for (const Bytes& payload : payloads()) found.push_back(payload.at(0));
        return found;
    }

    // The reply to one command, with what came before forgotten.
    Bytes replyTo(const Bytes& commandPayload) {
        writes.clear();
        command(commandPayload);
        const std::vector<Bytes> found = payloads();
        EXPECT_EQ(found.size(), 1u) << "replies to command " << int(commandPayload.at(0));
        return found.empty() ? Bytes{} : found.front();
    }

    // A data byte by its number in the reply table: d1 is the byte after the code.
    static int d(const Bytes& payload, std::size_t n) { return payload.at(n); }
    static int be16(const Bytes& payload, std::size_t n) {
        return payload.at(n) * 256 + payload.at(n + 1);
    }
    // A signed field: the sign byte, then hundredths big-endian.
    static double signed100(const Bytes& payload, std::size_t n) {
        const double magnitude = be16(payload, n + 1) / 100.0;
        return payload.at(n) == '+' ? magnitude : -magnitude;
    }

    AcuSimulator acu;
    std::vector<Bytes> writes;
};
