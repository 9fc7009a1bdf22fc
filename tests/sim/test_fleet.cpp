// A fleet from one simulator: units that differ as vessels do, served by one thread, each on
// its own terminal.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>
#include <thread>

#include "fleet_units.h"
#include "pty_server.h"
#include "sim_harness.h"

namespace {

std::string serialOf(const AcuSimulator& acu) {
    const auto& serial = acu.state().product.serialNumber;
    return std::string(serial.begin(), serial.end());
}

TEST(Fleet, UnitsDifferInSerialRegionAndPositionAndTheirSignalWanders) {
    std::set<std::string> serials;
    std::set<std::uint8_t> regions;
    for (std::size_t number = 1; number <= 5; ++number) {
        AcuSimulator acu;
        makeFleetUnit(acu, number);
        serials.insert(serialOf(acu));
        regions.insert(acu.state().current.region);
        EXPECT_EQ(acu.state().mode, AntennaMode::Tracking) << number;
        // The fourth and fifth sail west of Greenwich: the North Atlantic and the Canaries.
        EXPECT_EQ(acu.state().gps.eastWest, number >= 4 ? 'W' : 'E') << number;
    }
    EXPECT_EQ(serials.size(), 5u);
    EXPECT_EQ(regions.size(), 5u);
    EXPECT_TRUE(serials.contains("SR60-2400004"));

    AcuSimulator acu;
    makeFleetUnit(acu, 7);
    std::set<std::uint16_t> levels;
    for (int second = 0; second < 30; ++second) {
        acu.advance(std::chrono::seconds{1});
        levels.insert(acu.state().signalLevel);
    }
    EXPECT_GT(levels.size(), 10u);
    EXPECT_GE(*levels.begin(), AntennaMotion::kLockedLevel - kFleetSignalWander);
    EXPECT_LE(*levels.rbegin(), AntennaMotion::kLockedLevel + kFleetSignalWander);
}

// The program's end of one unit's line; every wait bounded by two seconds.
Bytes ask(const std::string& path, const Bytes& frame, std::size_t replySize) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Bytes got(replySize);
    std::size_t n = 0;
    if (::write(fd, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size())) {
        for (pollfd p{fd, POLLIN, 0}; n<replySize&& ::poll(&p, 1, 2000)> 0;) {
            const ssize_t r = ::read(fd, got.data() + n, replySize - n);
            if (r <= 0) break;
            n += static_cast<std::size_t>(r);
        }
    }
    ::close(fd);
    got.resize(n);
    return got;
}

TEST(Fleet, OneServerAnswersEachUnitOnItsOwnTerminalAndOneHangsUpAlone) {
    std::vector<std::unique_ptr<AcuSimulator>> units;
    std::vector<AcuSimulator*> served;
    for (std::size_t number = 1; number <= 3; ++number) {
        units.push_back(std::make_unique<AcuSimulator>());
        makeFleetUnit(*units.back(), number);
        served.push_back(units.back().get());
    }
    PtyServer server(served);
    std::string error;
    ASSERT_TRUE(server.open(error)) << error;
    ASSERT_TRUE(server.start());
    ASSERT_EQ(server.unitCount(), 3u);

    // Reply 2: STX, LEN 50, code, type, model, skewless, the model name (20), the serial
    // (12) from byte 26, ...
    const Bytes product = ask(server.slavePath(1), frameOf({0x02}), 54);
    ASSERT_EQ(product.size(), 54u);
    EXPECT_EQ(std::string(product.begin() + 26, product.begin() + 38), "SR60-2400002");

    server.hangUp(1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{2};
    while (!server.hungUp(1) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds{5});
    }
    ASSERT_TRUE(server.hungUp(1));
    EXPECT_TRUE(ask(server.slavePath(1), frameOf({0x01}), 6).empty());
    EXPECT_EQ(ask(server.slavePath(2), frameOf({0x01}), 6),
              (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));
    EXPECT_FALSE(server.hungUp(0));
    EXPECT_FALSE(server.finished());
}

}  // namespace
