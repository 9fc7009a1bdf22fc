#include <gtest/gtest.h>

#include <vector>

#include "exporter/read_only_port.h"

namespace {

struct Recorder : BytePort {
    std::vector<std::uint8_t> written;
    int WriteByte(std::uint8_t byte) override {
        written.push_back(byte);
        return 1;
    }
};

struct Case {
    const char* what;
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> onLine;
    std::vector<std::uint8_t> refused;
};

// Frames written out by hand: STX, LEN, code, CHK = LEN + code, ETX.
TEST(ReadOnlyPort, PassesOnlyTheChainAndTheStatusPoll) {
    const std::vector<std::uint8_t> link{0x02, 0x01, 0x01, 0x02, 0x03};
    const std::vector<std::uint8_t> status{0x02, 0x01, 0x0E, 0x0F, 0x03};
    const std::vector<std::uint8_t> satellite{0x02, 0x02, 0x04, 0x03, 0x09, 0x03};
    const std::vector<std::uint8_t> setup{0x02, 0x01, 0x10, 0x11, 0x03};
    const std::vector<std::uint8_t> factory{0x02, 0x01, 0x1E, 0x1F, 0x03};
    const auto join = [](std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case table[] = {
        {"link check", link, link, {}},
        {"status poll", status, status, {}},
        {"satellite 3 of the region", satellite, satellite, {}},
        {"setup mode", setup, {}, {16}},
        {"factory default between two polls",
         join(join(status, factory), status),
         join(status, status),
         {30}},
        {"a stray byte, then a frame", join({0x55}, status), status, {0}},
        {"a frame without its end byte", {0x02, 0x01, 0x0E, 0x0F, 0x00}, {}, {14}},
    };
    for (const Case& row : table) {
        Recorder line;
        std::vector<std::uint8_t> refused;
        ReadOnlyPort guard(line, [&refused](std::uint8_t code) { refused.push_back(code); });
        for (std::uint8_t byte : row.sent) guard.WriteByte(byte);
        EXPECT_EQ(line.written, row.onLine) << row.what;
        EXPECT_EQ(refused, row.refused) << row.what;
    }
}

}  // namespace
