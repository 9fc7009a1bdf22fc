// Commands that change the unit's configuration, and the later replies that show it.
// Positions in reply 3: d4..d15 name, d16 N, d17 target, d18.. the list, then the tail.

#include "sim_harness.h"
#include "support/records.h"

namespace {

class StateChanges : public SimHarness {
protected:
    // Reply 3 of the factory region (6 satellites): where each tail field sits.
    static constexpr std::size_t kLnb = 24;
    static constexpr std::size_t kSingleFreq = 25;
    static constexpr std::size_t kDiseqc = 31;
    static constexpr std::size_t kModel1 = 32;
    static constexpr std::size_t kModel2 = 38;
    static constexpr std::size_t kElAdjust = 50;
    static constexpr std::size_t kSignalLost = 56;

    static Bytes hotbirdBytes() {
        return concat({{0x05},
                       ascii("HOTBIRD   "),
                       {0x00, 0x82, 'E'},
                       {0x2B, 0x1A, 0x6B, 0x6C, 0x01, 0x3E, 0x31, 0x35, 0x6B, 0x6C, 0x01, 0x3E},
                       {0x2A, 0xDB, 0x74, 0x04, 0x01, 0x3E, 0x30, 0xBC, 0x74, 0xCC, 0x01, 0x3E},
                       {0x01, 0x00, 0x02}});
    }
    void enterSetup() {
        command({0x10});
        writes.clear();
    }
};

TEST_F(StateChanges, TargetChangeShowsInRegionAndStatus) {
    EXPECT_EQ(replyTo({0x11, 0x03}), (Bytes{0x11}));
    EXPECT_EQ(d(replyTo({0x03}), 17), 3);
    EXPECT_EQ(d(replyTo({0x0E}), 1), 3);
}

TEST_F(StateChanges, TargetChangeBeyondTheListKeepsTheTarget) {
    EXPECT_EQ(replyTo({0x11, 0x06}), (Bytes{0x11}));
    EXPECT_EQ(d(replyTo({0x03}), 17), 1);
}

TEST_F(StateChanges, EditedSatelliteComesBackInReplyFour) {
    EXPECT_EQ(replyTo(concat({{0x12, 0x02}, hotbirdBytes()})), (Bytes{0x12}));
    EXPECT_EQ(replyTo({0x04, 0x02}), concat({{0x04, 0x02}, hotbirdBytes()}));
    EXPECT_EQ(acu.state().current.satellites[2], hotbird());
}

TEST_F(StateChanges, EditBeyondTheListIsAcknowledgedAndChangesNothing) {
    const AcuState before = acu.state();
    EXPECT_EQ(replyTo(concat({{0x12, 0x06}, hotbirdBytes()})), (Bytes{0x12}));
    EXPECT_EQ(acu.state().current.satellites, before.current.satellites);
}

TEST_F(StateChanges, LocalFrequencyOfASingleBandLnbIsStored) {
    EXPECT_EQ(replyTo({0x13, 0x00, 0x27, 0x10}), (Bytes{0x13}));
    const Bytes region = replyTo({0x03});
    EXPECT_EQ(d(region, kLnb), 0);
    EXPECT_EQ(be16(region, kSingleFreq), 10000);
}

TEST_F(StateChanges, UniversalLnbKeepsTheSingleBandFrequency) {
    command({0x13, 0x00, 0x27, 0x10});
    EXPECT_EQ(replyTo({0x13, 0x01}), (Bytes{0x13}));
    const Bytes region = replyTo({0x03});
    EXPECT_EQ(d(region, kLnb), 1);
    EXPECT_EQ(be16(region, kSingleFreq), 10000);
}

TEST_F(StateChanges, DiseqcModeIsStored) {
    EXPECT_EQ(replyTo({0x14, 0x02}), (Bytes{0x14}));
    EXPECT_EQ(d(replyTo({0x03}), kDiseqc), 2);
}

TEST_F(StateChanges, ParametersGoToTheTripleOfTheUnitsModelAndTheCommonFields) {
    const Bytes parameters = {0x1D, 0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E,  // 2.25, 400, 350
                              '+',  0x00, 0x96, '-',  0x00, 0x19,        // +1.50, -0.25
                              0x00, 0x3C, 0x00, 0x05};                   // 60, 5
    EXPECT_EQ(replyTo(parameters), (Bytes{0x1D}));
    const Bytes region = replyTo({0x03});
    EXPECT_EQ(Bytes(region.begin() + kModel1, region.begin() + kModel1 + 6),
              (Bytes{0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA}));  // model 1 untouched
    EXPECT_EQ(Bytes(region.begin() + kModel2, region.begin() + kModel2 + 6),
              (Bytes{0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E}));
    EXPECT_EQ(Bytes(region.begin() + kElAdjust, region.begin() + kElAdjust + 6),
              (Bytes{'+', 0x00, 0x96, '-', 0x00, 0x19}));
    EXPECT_EQ(Bytes(region.begin() + kSignalLost, region.begin() + kSignalLost + 4),
              (Bytes{0x00, 0x3C, 0x00, 0x05}));
}

TEST_F(StateChanges, ParametersForAnUnknownModelLeaveTheTriplesAlone) {
    acu.state().product.antennaModel = 0;
    const auto triples = acu.state().current.record.modelParams;
    command({0x1D, 0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E, '+', 0x00, 0x96, '-', 0x00, 0x19, 0x00, 0x3C,
             0x00, 0x05});
    EXPECT_EQ(acu.state().current.record.modelParams, triples);
    EXPECT_EQ(acu.state().current.record.signalLostTime, 60u);
}

TEST_F(StateChanges, LcdBlockWrittenInFivePiecesIsReadBackTheSame) {
    LcdBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::size_t offsets[] = {0, 20, 100, 180, 260, 272};
    for (std::uint8_t piece = 0; piece < 5; ++piece) {
        Bytes payload{static_cast<std::uint8_t>(33 + piece)};
        payload.insert(payload.end(), block.begin() + static_cast<std::ptrdiff_t>(offsets[piece]),
                       block.begin() + static_cast<std::ptrdiff_t>(offsets[piece + 1]));
        EXPECT_EQ(replyTo(payload), (Bytes{static_cast<std::uint8_t>(33 + piece)}));
    }
    EXPECT_EQ(acu.state().lcd, block);

    Bytes readBack;
    for (std::uint8_t code = 38; code <= 42; ++code) {
        const Bytes reply = replyTo({code});
        ASSERT_FALSE(reply.empty());
        EXPECT_EQ(reply[0], code);
        readBack.insert(readBack.end(), reply.begin() + 1, reply.end());
    }
    EXPECT_EQ(readBack, Bytes(block.begin(), block.end()));
}

TEST_F(StateChanges, MovesInSetupModeSetTargetsThatThePositionApproaches) {
    enterSetup();
    acu.state().position = {170.0, 20.0, 0.0};
    acu.state().target = acu.state().position;
    EXPECT_EQ(replyTo({0x19, '+', 0x46, 0x82, '+', 0x0B, 0xB8}), (Bytes{0x19}));  // 180.5, 30
    EXPECT_EQ(replyTo({0x1C, '-', 0x00, 0xE1}), (Bytes{0x1C}));                   // skew -2.25

    acu.advance(200ms);  // 30, 15 and 20 degrees a second
    Bytes status = replyTo({0x0E});
    EXPECT_NEAR(signed100(status, 16), 176.0, 0.011);
    EXPECT_NEAR(signed100(status, 19), 23.0, 0.011);
    EXPECT_NEAR(signed100(status, 22), -2.25, 0.011);

    acu.advance(1s);
    status = replyTo({0x0E});
    EXPECT_EQ(Bytes(status.begin() + 16, status.end()),
              (Bytes{'+', 0x46, 0x82, '+', 0x0B, 0xB8, '-', 0x00, 0xE1}));
    EXPECT_EQ(d(status, 2), 6);  // still stopped in setup mode

    EXPECT_EQ(replyTo({0x1A, '+', 0x46, 0x50}), (Bytes{0x1A}));  // AZ alone: 180.00
    EXPECT_EQ(replyTo({0x1B, '-', 0x00, 0xC8}), (Bytes{0x1B}));  // EL alone: -2.00
    acu.advance(3s);
    const Bytes setup = replyTo({0x10});
    EXPECT_EQ(setup, (Bytes{0x10, 0x06, '+', 0x46, 0x50, '-', 0x00, 0xC8, '-', 0x00, 0xE1}));
}

TEST_F(StateChanges, MovesOutsideSetupModeAreAcknowledgedButIgnored) {
    const AntennaAngles before = acu.state().position;
    EXPECT_EQ(replyTo({0x19, '+', 0x46, 0x82, '+', 0x0B, 0xB8}), (Bytes{0x19}));
    acu.advance(2s);
    EXPECT_NEAR(acu.state().position.az, before.az, 1e-9);
    EXPECT_NEAR(acu.state().position.el, before.el, 1e-9);
}

TEST_F(StateChanges, UploadStoresTheHeaderAndEveryRecordAsReceived) {
    const Bytes header = {0x0A, 0x01, 0x2C, 0x02, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01};
    const Bytes region = concat(
        {{0x0B, 0x00, 0x00}, ascii("EUROPE-WEST "), {0x02, 0x01, 0x03, 0x07}, europeWestTail()});
    EXPECT_EQ(replyTo(header), (Bytes{0x0A}));
    EXPECT_EQ(replyTo(region), (Bytes{0x0B}));
    EXPECT_EQ(replyTo(concat({{0x0C}, hotbirdBytes()})), (Bytes{0x0C}));
    EXPECT_FALSE(acu.state().upload.complete);
    EXPECT_EQ(replyTo({0x0D}), (Bytes{0x0D}));

    const ReceivedDefaults& upload = acu.state().upload;
    ASSERT_TRUE(upload.header.has_value());
    EXPECT_EQ(*upload.header, (UploadHeader{300, {2, 1, 0, 0, 0, 1}, 0, 1}));
    ASSERT_EQ(upload.regions.size(), 1u);
    EXPECT_EQ(upload.regions[0], (RegionArrival{0, 0, europeWest()}));
    EXPECT_EQ(upload.satellites, std::vector<SatelliteRecord>{hotbird()});
    EXPECT_TRUE(upload.complete);
    // Region (0, 0) is not the one the unit works in, which stays as it was.
    EXPECT_EQ(d(replyTo({0x03}), 2), 1);
    EXPECT_EQ(d(replyTo({0x03}), 4), 'N');
}

TEST_F(StateChanges, ANewUploadStartsAFreshRecord) {
    command({0x0A, 0x01, 0x2C, 0x02, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    command(concat({{0x0C}, hotbirdBytes()}));
    command({0x0A, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_TRUE(acu.state().upload.satellites.empty());
    EXPECT_EQ(acu.state().upload.header->sifHeaderNumber, 7);
}

TEST_F(StateChanges, AnUploadHoldingTheCurrentRegionBecomesTheUnitsData) {
    const Bytes body = concat({ascii("EUROPE-WEST "), {0x01, 0x00, 0x01}, europeWestTail()});
    command({0x0A, 0x01, 0x2C, 0x02, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    command(concat({{0x0B, 0x00, 0x01}, body}));
    command(concat({{0x0C}, hotbirdBytes()}));
    command({0x0D});
    EXPECT_EQ(replyTo({0x03}), concat({{0x03, 0x00, 0x01, 0x02}, body}));
    EXPECT_EQ(replyTo({0x04, 0x00}), concat({{0x04, 0x00}, hotbirdBytes()}));
}

TEST_F(StateChanges, AnnouncementStartsTheChainThatIsRecorded) {
    acu.announceDefaultData();
    EXPECT_EQ(output(), (Bytes{0x02, 0x01, 0x06, 0x07, 0x03}));

    const Bytes region = concat(
        {{0x07, 0x03, 0x05}, ascii("EUROPE-WEST "), {0x02, 0x01, 0x03, 0x07}, europeWestTail()});
    EXPECT_EQ(replyTo(region), (Bytes{0x07}));
    EXPECT_EQ(replyTo(concat({{0x08}, hotbirdBytes()})), (Bytes{0x08}));
    EXPECT_EQ(replyTo(concat({{0x08}, hotbirdBytes()})), (Bytes{0x08}));
    EXPECT_EQ(replyTo({0x09}), (Bytes{0x09}));

    const ReceivedDefaults& chain = acu.state().chain;
    ASSERT_EQ(chain.regions.size(), 1u);
    EXPECT_EQ(chain.regions[0], (RegionArrival{3, 5, europeWest()}));
    EXPECT_EQ(chain.satellites, (std::vector<SatelliteRecord>{hotbird(), hotbird()}));
    EXPECT_TRUE(chain.complete);
    EXPECT_FALSE(acu.state().upload.complete);
}

}  // namespace
