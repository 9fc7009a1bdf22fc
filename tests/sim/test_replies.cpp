// Each command's reply against the reply table, with the bytes written out by hand.

#include "sim_harness.h"

namespace {

class Replies : public SimHarness {};

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

TEST_F(Replies, SatelliteAskedBeyondTheListIsTheFirstUnderTheAskedIndex) {
    EXPECT_EQ(slice(replyTo({0x04, 0x09}), 0, 16),
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
