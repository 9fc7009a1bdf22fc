#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/port_order.h"
#include "serial/pty_pair.h"
#include "serial/serial_comm.h"

namespace {

using Paths = std::vector<std::string>;

TEST(PortOrder, CommandLineThenUsbAdaptersThenTheRestEachByNumber) {
    const Paths commandLine{"/dev/pts/4", "/dev/ttyS1"};
    const Paths system{"/dev/ttyS10",   "/dev/ttyS2",   "/dev/ttyACM0", "/dev/ttyS1",
                       "/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyAMA0", "/dev/ttyUSB2"};
    EXPECT_EQ(orderPorts(commandLine, system),
              (Paths{"/dev/pts/4", "/dev/ttyS1", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                     "/dev/ttyAMA0", "/dev/ttyS2", "/dev/ttyS10"}));
    EXPECT_EQ(orderPorts({}, Paths{}), Paths{});
}

TEST(PortOrder, ScanStartsAfterTheSilentPortAndWaitsForALostAdapter) {
    const std::vector<ScanCandidate> ports{{"/dev/pts/3", ""},
                                           {"/dev/ttyUSB0", "usb-FTDI_FT232R_A1B2C3-if00-port0"},
                                           {"/dev/ttyS0", ""}};
    struct Case {
        const char* silent;
        const char* lost;
        std::optional<std::size_t> pick;
    };
    const Case cases[] = {
        {"", "", 0},
        {"/dev/pts/3", "", 1},
        {"/dev/ttyS0", "", 0},    // round the list
        {"/dev/ttyUSB9", "", 0},  // the silent port has gone
        {"", "usb-FTDI_FT232R_A1B2C3-if00-port0", 1},
        {"/dev/ttyUSB0", "usb-FTDI_FT232R_A1B2C3-if00-port0", 1},
        {"", "usb-FTDI_FT232R_ZZZZZZ-if00-port0", std::nullopt},  // not back yet
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pickScanPort(ports, c.silent, c.lost), c.pick) << c.silent << " " << c.lost;
    }
    EXPECT_EQ(pickScanPort({}, "", ""), std::nullopt);
}

TEST(PortOrder, OpenFailuresTellTheTechnicianWhatToDo) {
    const std::string permission =
        "Permission denied: add your user to the dialout group, then log in again.";
    const std::string busy = "The port is busy: another program holds it.";
    const std::string vanished = "The port has vanished: the device is no longer there.";
    EXPECT_EQ(openFailureReason(EACCES), permission);
    EXPECT_EQ(openFailureReason(EPERM), permission);
    EXPECT_EQ(openFailureReason(EBUSY), busy);
    EXPECT_EQ(openFailureReason(ENOENT), vanished);
    EXPECT_EQ(openFailureReason(ENODEV), vanished);
    EXPECT_EQ(openFailureReason(ENXIO), vanished);
    EXPECT_EQ(openFailureReason(ENOTTY), "This device is not a serial port.");
    EXPECT_EQ(openFailureReason(0), "");
}

class NoConsumer : public CommConsumer {
public:
    void onCommRead(std::uint16_t) override {}
    void onCommMessage(const std::string&) override {}
    void onCommHangup(std::uint16_t) override {}
};

TEST(PortOrder, OpenPortSaysWhyItFailed) {
    NoConsumer consumer;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CSerialComm first(consumer);
    CSerialComm second(consumer);
    ASSERT_EQ(first.OpenPort(pty.slavePath(), 57600, 0), 1);
    EXPECT_EQ(first.openError(), 0);
    EXPECT_EQ(second.OpenPort(pty.slavePath(), 57600, 0), 0);
    EXPECT_EQ(second.openError(), EBUSY);
    EXPECT_EQ(second.OpenPort("/dev/skyrelay-no-such-line", 57600, 0), 0);
    EXPECT_EQ(second.openError(), ENOENT);
    first.ClosePort();
}

TEST(PortOrder, ADeviceTheUserMayNotOpenGivesPermissionDenied) {
    // A device file nobody may open, tried as a user without rights (root is not refused, so
    // a child process drops to nobody first).
    char path[] = "/tmp/skyrelay-port-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(chmod(path, 0), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        NoConsumer consumer;
        CSerialComm port(consumer);
        const bool refused = port.OpenPort(path, 57600, 0) == 0 && port.openError() == EACCES;
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    unlink(path);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
