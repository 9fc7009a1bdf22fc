// Commands that change the unit's configuration, where the unit alone decides what it keeps;
// the ordinary edits are read back through the windows.
// Reply 3 of the factory region: d17 target, d24 LNB, d25 single-band frequency, d32.. the
// model triples.

#include "sim_harness.h"
#include "support/records.h"

namespace {

class StateChanges : public SimHarness {
protected:
    static Bytes hotbirdBytes() {
        return concat({{0x05},
                       ascii("HOTBIRD   "),
                       {0x00, 0x82, 'E'},
                       {0x2B, 0x1A, 0x6B, 0x6C, 0x01, 0x3E, 0x31, 0x35, 0x6B, 0x6C, 0x01, 0x3E},
                       {0x2A, 0xDB, 0x74, 0x04, 0x01, 0x3E, 0x30, 0xBC, 0x74, 0xCC, 0x01, 0x3E},
                       {0x01, 0x00, 0x02}});
    }
};

TEST_F(StateChanges, WhatTheUnitKeepsOfItsSettings) {
    const Bytes parameters = {0x1D, 0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E,  // 2.25, 400, 350
                              '+',  0x00, 0x96, '-',  0x00, 0x19,        // +1.50, -0.25
                              0x00, 0x3C, 0x00, 0x05};                   // 60, 5
    struct Case {
        Bytes command;
        std::size_t at;  // in reply 3
        Bytes shown;
    };
    const Case cases[] = {
        {{0x11, 0x06}, 17, {0x01}},                          // 6 satellites: indices 0..5
        {{0x13, 0x00, 0x27, 0x10}, 24, {0x00, 0x27, 0x10}},  // single band, 10000 MHz
        {{0x13, 0x01}, 24, {0x01, 0x27, 0x10}},  // universal keeps the single-band frequency
        {parameters, 32, {0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA}},  // model 1 as was
        {parameters, 38, {0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E}},  // the unit's model 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.command));
        EXPECT_EQ(replyTo(c.command), (Bytes{c.command[0]}));
        EXPECT_EQ(slice(replyTo({0x03}), c.at, c.shown.size()), c.shown);
    }

    // A unit of no known model keeps its triples but takes the common fields.
    acu.state().product.antennaModel = 0;
    const auto triples = acu.state().current.record.modelParams;
    Bytes other = parameters;
    other[14] = 0x50;  // signal lost 80
    command(other);
    EXPECT_EQ(acu.state().current.record.modelParams, triples);
    EXPECT_EQ(acu.state().current.record.signalLostTime, 80u);

    // A satellite beyond the list is not written.
    const auto before = acu.state().current.satellites;
    command(concat({{0x12, 0x06}, hotbirdBytes()}));
    EXPECT_EQ(acu.state().current.satellites, before);
}

TEST_F(StateChanges, MovesInSetupModeSetTargetsThatThePositionApproaches) {
    const AntennaAngles before = acu.state().position;
    EXPECT_EQ(replyTo({0x19, '+', 0x46, 0x82, '+', 0x0B, 0xB8}), (Bytes{0x19}));  // ignored
    acu.advance(2s);
    EXPECT_NEAR(acu.state().position.az, before.az, 1e-9);

    command({0x10});
    acu.state().position = {170.0, 20.0, 0.0};
    acu.state().target = acu.state().position;
    EXPECT_EQ(replyTo({0x1A, '+', 0x46, 0x50}), (Bytes{0x1A}));  // AZ alone: 180.00
    EXPECT_EQ(replyTo({0x1B, '-', 0x00, 0xC8}), (Bytes{0x1B}));  // EL alone: -2.00
    EXPECT_EQ(replyTo({0x1C, '-', 0x00, 0xE1}), (Bytes{0x1C}));  // skew -2.25
    acu.advance(200ms);  // at 30 degrees a second, not at once
    EXPECT_NEAR(signed100(replyTo({0x0E}), 16), 176.0, 0.011);
    acu.advance(3s);  // there, and still stopped in setup mode
    EXPECT_EQ(replyTo({0x10}),
              (Bytes{0x10, 0x06, '+', 0x46, 0x50, '-', 0x00, 0xC8, '-', 0x00, 0xE1}));
}

TEST_F(StateChanges, AnnouncementChainAndUploadAreEachRecordedFromAFreshStart) {
    acu.announceDefaultData();
    EXPECT_EQ(out, (Bytes{0x02, 0x01, 0x06, 0x07, 0x03}));
    command(concat(
        {{0x07, 0x03, 0x05}, ascii("EUROPE-WEST "), {0x02, 0x01, 0x03, 0x07}, europeWestTail()}));
    command(concat({{0x08}, hotbirdBytes()}));
    command(concat({{0x08}, hotbirdBytes()}));
    command({0x09});
    EXPECT_EQ(codes(), (std::vector<int>{6, 7, 8, 8, 9}));
    const ReceivedDefaults& chain = acu.state().chain;
    EXPECT_EQ(chain.regions, (std::vector<RegionArrival>{{3, 5, europeWest()}}));
    EXPECT_EQ(chain.satellites, (std::vector<SatelliteRecord>{hotbird(), hotbird()}));
    EXPECT_TRUE(chain.complete);
    EXPECT_FALSE(acu.state().upload.complete);

    // Header 300, one region, then a second header: the first upload's satellite goes.
    command({0x0A, 0x01, 0x2C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    command(concat({{0x0C}, hotbirdBytes()}));
    EXPECT_EQ(acu.state().upload.satellites.size(), 1u);
    command({0x0A, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_TRUE(acu.state().upload.satellites.empty());
    EXPECT_EQ(acu.state().upload.header->sifHeaderNumber, 7);
}

}  // namespace
