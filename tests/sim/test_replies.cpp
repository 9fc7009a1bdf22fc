// Each command's reply against the reply table, with the bytes written out by hand.

#include "sim_harness.h"

namespace {

class Replies : public SimHarness {};

TEST_F(Replies, LinkCheckAndSetupModeReportTheStateByte) {
    acu.state().position = {123.25, 30.5, -12.75};
    command({0x01});  // tracking
    acu.state().mode = AntennaMode::Search;
    command({0x01});
    command({0x10});  // stop, with the position
    command({0x01});  // setup mode
    EXPECT_EQ(out, concat({{0x02, 0x02, 0x01, 0x04, 0x07, 0x03},
                           {0x02, 0x02, 0x01, 0x03, 0x06, 0x03},
                           frameOf({0x10, 0x06, '+', 0x30, 0x25, '+', 0x0B, 0xEA, '-', 0x04, 0xFB}),
                           {0x02, 0x02, 0x01, 0x01, 0x04, 0x03}}));
}

TEST_F(Replies, ProductInformationIsFiftyBytesInTableOrder) {
    const Bytes expected = concat({
        {0x02, 0x02, 0x02, 0x00},  // code, gyro type, model 2, skew axis
        ascii("OCEANSAT SR-60"),
        Bytes(6, 0x00),                        // model name, zero-padded to 20
        ascii("SR60-2419087"),                 // serial number
        {0x00, 0x84, 0x00, 0xCF, 0x00, 0x73},  // versions 1.32, 2.07, 1.15
        {0x09, 0x6A, 0x04, 0xC4},              // antenna 24.10 V, ACU 12.20 V
        {0x07, 0x26, 0x01, 0x01},              // receiver 18.30 V, 18 V on, 22 kHz on
    });
    ASSERT_EQ(expected.size(), 50u);
    command({0x02});
    EXPECT_EQ(out, frameOf(expected));
}

TEST_F(Replies, CurrentRegionCarriesTheRecordInCommandSevenLayout) {
    const Bytes expected = concat({
        {0x03, 0x00, 0x01, 0x04},  // code, Europe, region 1, 4 regions
        ascii("NW-EUROPE   "),
        {0x06, 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06},  // 6 satellites, target 1, list
        {0x01},                                            // universal LNB
        {0x29, 0xFE, 0x26, 0x16, 0x29, 0x68},              // 10750, 9750, 10600 MHz
        {0x00},                                            // DiSEqC not used
        {0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA},              // model 1: 1.50, 300, 250
        {0x00, 0xB4, 0x01, 0x40, 0x01, 0x0E},              // model 2: 1.80, 320, 270
        {0x00, 0xC8, 0x01, 0x5E, 0x01, 0x2C},              // model 3: 2.00, 350, 300
        {'+', 0x00, 0x32, '-', 0x00, 0x7D},                // EL +0.50, skew -1.25
        {0x00, 0x1E, 0x00, 0x0A},                          // signal lost 30, break 10
        {0x01, 0xC0, 'E', 0x14, 0x46, 'N'},                // 4.48 E, 51.90 N
    });
    ASSERT_EQ(expected.size(), 60u + 6u);
    command({0x03});
    EXPECT_EQ(out, frameOf(expected));
}

TEST_F(Replies, RegionSatelliteSendsTheAskedIndexAndItsRecord) {
    const Bytes expected = concat({
        {0x04, 0x01, 0x02},
        ascii("HOTBIRD   "),
        {0x00, 0x82, 'E'},                     // 13.0 E
        {0x2B, 0x1A, 0x6B, 0x6C, 0x01, 0x3E},  // V low 11034, 27500, 318
        {0x31, 0x35, 0x6B, 0x6C, 0x01, 0x3E},  // V high 12597
        {0x2A, 0xDB, 0x74, 0x04, 0x01, 0x3E},  // H low 10971, 29700
        {0x30, 0xBC, 0x74, 0xCC, 0x01, 0x3E},  // H high 12476, 29900
        {0x02, 0x00, 0x00},                    // DVB decode, auto, auto
    });
    ASSERT_EQ(expected.size(), 43u);
    command({0x04, 0x01});
    EXPECT_EQ(out, frameOf(expected));

    // Beyond the list: the asked index, then the first entry (ASTRA 1, 19.2 E).
    const Bytes beyond = replyTo({0x04, 0x09});
    ASSERT_EQ(beyond.size(), 43u);
    EXPECT_EQ(Bytes(beyond.begin(), beyond.begin() + 16),
              concat({{0x04, 0x09, 0x01}, ascii("ASTRA 1   "), {0x00, 0xC0, 'E'}}));
}

TEST_F(Replies, StatusIsTwentyFiveBytesWithSignedAngles) {
    AcuState& state = acu.state();
    state.current.record.defaultSatellite = 2;
    state.mode = AntennaMode::Search;
    state.signalLevel = 0x0123;
    state.gps = {2, 127.5, 'E', 37.25, 'N'};
    state.receiver = {1340, 0, 1};
    state.position = {180.5, -2.0, 0.0};
    const Bytes expected = {
        0x0E, 0x02, 0x03, 0x01, 0x23, 0x02,  // code, target 2, searching, 291, no GPS fix
        0x31, 0xCE, 'E',  0x0E, 0x8D, 'N',   // 127.50 E, 37.25 N
        0x05, 0x3C, 0x00, 0x01,              // 13.40 V, 13 V, 22 kHz
        '+',  0x46, 0x82,                    // AZ 180.50
        '-',  0x00, 0xC8,                    // EL -2.00
        '-',  0x00, 0x00,                    // skew 0 goes out as '-'
    };
    command({0x0E});
    EXPECT_EQ(out, frameOf(expected));
}

TEST_F(Replies, CommandsWithACompletionReplyAreAcknowledgedWithTheirCode) {
    const std::vector<Bytes> commands = {{0x0F},
                                         {0x11, 0x00},
                                         {0x13, 0x01},
                                         {0x14, 0x02},
                                         {0x15},
                                         {0x18},
                                         {0x19, '+', 0x00, 0x64, '+', 0x0B, 0xB8},
                                         {0x1A, '+', 0x04, 0x1A},
                                         {0x1B, '+', 0x0B, 0xB8},
                                         {0x1C, '-', 0x00, 0xE1},
                                         {0x1D, 0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA, '+', 0x00, 0x32,
                                          '-', 0x00, 0x7D, 0x00, 0x1E, 0x00, 0x0A}};
    for (const Bytes& payload : commands) {
        out.clear();
        command(payload);
        const std::uint8_t code = payload[0];
        EXPECT_EQ(out, (Bytes{0x02, 0x01, code, static_cast<std::uint8_t>(code + 1), 0x03}))
            << "command " << int(code);
    }
}

TEST_F(Replies, UnknownCodesAndShortCommandsGetNoReply) {
    for (std::uint8_t code : {0, 5, 22, 23, 31, 32, 43, 200}) command({code});
    command({0x04});
    command({0x11});
    command({0x12, 0x00, 0x01, 0x02});
    command({0x13, 0x00, 0x27});  // single band without its whole frequency
    command({0x19, '+', 0x00});
    command({0x1D, 0x00, 0x96});
    command({0x21, 0x41, 0x42});
    EXPECT_TRUE(out.empty());
}

}  // namespace
