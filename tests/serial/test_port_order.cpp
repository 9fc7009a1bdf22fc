#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "serial/port_order.h"

namespace {

using Paths = std::vector<std::string>;

TEST(PortOrder, CommandLineThenUsbAdaptersThenTheRestEachByNumber) {
    const Paths commandLine{"/dev/pts/4", "/dev/ttyS1"};
    const Paths system{"/dev/ttyS10",   "/dev/ttyS2",   "/dev/ttyACM0", "/dev/ttyS1",
                       "/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyAMA0", "/dev/ttyUSB2"};
    EXPECT_EQ(orderPorts(commandLine, system),
              (Paths{"/dev/pts/4", "/dev/ttyS1", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                     "/dev/ttyAMA0", "/dev/ttyS2", "/dev/ttyS10"}));
}

TEST(PortOrder, ScanStartsAfterTheSilentPortAndWaitsForALostAdapter) {
    const std::vector<ScanCandidate> ports{{"/dev/pts/3", ""},
                                           {"/dev/ttyUSB0", "usb-FTDI_FT232R_A1B2C3-if00-port0"},
                                           {"/dev/ttyS0", ""}};
    struct Case {
        const char* silent;
        std::optional<LostPort> lost;
        std::optional<std::size_t> pick;
    };
    const std::string adapter = "usb-FTDI_FT232R_A1B2C3-if00-port0";
    const Case cases[] = {
        {"/dev/pts/3", std::nullopt, 1},
        {"/dev/ttyS0", std::nullopt, 0},    // round the list
        {"/dev/ttyUSB9", std::nullopt, 0},  // the silent port has gone
        {"", LostPort{"/dev/ttyUSB7", adapter}, 1},  // the adapter under another name
        {"/dev/ttyUSB0", LostPort{"", adapter}, 1},
        {"", LostPort{"", "usb-FTDI_FT232R_ZZZZZZ-if00-port0"}, std::nullopt},  // not back yet
        {"", LostPort{"/dev/ttyS0", ""}, 2},         // the same path (a user's link)
        {"", LostPort{"/tmp/acu", ""}, std::nullopt},  // not there: no other port is written to
        {"", LostPort{"", ""}, std::nullopt},          // a terminal that cannot come back
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pickScanPort(ports, c.silent, c.lost), c.pick)
            << c.silent << " " << (c.lost ? c.lost->path + " " + c.lost->identity : "-");
    }
    EXPECT_EQ(pickScanPort({}, "", std::nullopt), std::nullopt);
}

TEST(PortOrder, NamedDevicesAreAllThatMayBeOpenedAndOnlyWhilePresent) {
    const Paths listed{"/tmp/acu", "tcp://ship:4001", "/dev/ttyUSB3", "/dev/ttyUSB0", "/dev/ttyS0"};
    struct Case {
        Paths named;
        Paths present;  // of the named devices
        Paths mayOpen;
    };
    const Case cases[] = {
        {{}, {}, listed},  // none named: the automatic scan as it was
        {{"/tmp/acu", "tcp://ship:4001", "/dev/ttyUSB3"},
         {"/tmp/acu", "/dev/ttyUSB3"},
         {"/tmp/acu", "tcp://ship:4001", "/dev/ttyUSB3"}},
        {{"/dev/ttyUSB3", "/tmp/acu"}, {"/dev/ttyUSB3"}, {"/dev/ttyUSB3"}},
        {{"/tmp/acu"}, {}, {}},  // absent: awaited, and ttyS0 is not the next best
    };
    for (const Case& c : cases) {
        const auto present = [&c](const std::string& path) {
            return std::find(c.present.begin(), c.present.end(), path) != c.present.end();
        };
        EXPECT_EQ(portsToOpen(c.named, listed, present), c.mayOpen) << c.named.size();
    }
}

TEST(PortOrder, OpenFailuresTellTheTechnicianWhatToDo) {
    // One errno of each kind; the vanished port is shown by the main window's test.
    EXPECT_EQ(openFailureReason(EACCES),
              "Permission denied: add your user to the dialout group, then log in again.");
    EXPECT_EQ(openFailureReason(EBUSY), "The port is busy: another program holds it.");
    EXPECT_EQ(openFailureReason(ENOTTY), "This device is not a serial port.");
    EXPECT_EQ(openFailureReason(0), "");
}

}  // namespace
