#include <gtest/gtest.h>

#include "data/satellite_tables.h"
#include "data/target_panel.h"

namespace {

// Four transponders told apart by their numbers: V low 1xxxx, V high 2xxxx, H low 3xxxx,
// H high 4xxxx.
SatelliteRecord satellite(std::uint8_t pol, std::uint8_t tone) {
    SatelliteRecord sat;
    sat.longitude = 19.2;
    sat.eastWest = 'E';
    sat.vLowFreq = 10714, sat.vLowSymbolRate = 11000, sat.vLowNid = 1;
    sat.vHighFreq = 20714, sat.vHighSymbolRate = 21000, sat.vHighNid = 2;
    sat.hLowFreq = 30714, sat.hLowSymbolRate = 31000, sat.hLowNid = 3;
    sat.hHighFreq = 40714, sat.hHighSymbolRate = 41000, sat.hHighNid = 4;
    sat.verification = 2;
    sat.polarization = pol;
    sat.tone = tone;
    return sat;
}

RegionRecord universal() {
    RegionRecord region;
    region.lnbType = 1;
    region.singleLocalFreq = 11300;
    region.universalLowLocalFreq = 9750;
    region.universalHighLocalFreq = 10600;
    region.diseqcMode = 1;
    return region;
}

ReceiverState receiver(std::uint8_t v18, std::uint8_t tone, double volts = 13.4) {
    return ReceiverState{v18, tone, volts, 612};
}

}  // namespace

TEST(TargetPanel, AutoAutoFollowsTheReceiverOutput) {
    const auto texts = targetPanelTexts(satellite(0, 0), universal(), receiver(1, 1));
    EXPECT_EQ(texts.transponderHeading, "H(L) HighBand");
    EXPECT_EQ(texts.frequency, "40714");
    EXPECT_EQ(texts.symbolRate, "41000");
    EXPECT_EQ(texts.networkId, "4");
    EXPECT_EQ(texts.targetPosition, " 19.2E");
    EXPECT_EQ(texts.verification, "DVB Decode");
    EXPECT_EQ(texts.polarization, "Auto");
    EXPECT_EQ(texts.tone, "Auto");
    EXPECT_EQ(texts.diseqc, "Change Band");
    EXPECT_EQ(texts.signal, "612");
    EXPECT_EQ(texts.receiver, "18V   22kHz");
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), universal(), receiver(0, 0)).transponderHeading,
              "V(R) LowBand");
}

TEST(TargetPanel, EveryPolarisationAndToneCombination) {
    struct Case {
        std::uint8_t pol, tone, v18, tone22k;
        const char* heading;
    };
    const Case cases[] =
        {
            {0, 1, 1, 1, "H(L) LowBand"},  {0, 2, 0, 0, "V(R) HighBand"},  // a fixed tone wins
            {1, 0, 1, 1, "V(R) HighBand"}, {2, 0, 0, 0, "H(L) LowBand"},   // a fixed side wins
            {1, 1, 1, 1, "V(R) LowBand"},  {1, 2, 1, 0, "V(R) HighBand"},
            {2, 1, 0, 1, "H(L) LowBand"},  {2, 2, 0, 0, "H(L) HighBand"},
            {0, 7, 0, 1, "V(R) LowBand"},  // Auto side, a tone code of 7 is not "22 kHz only"
        };
    for (const Case& c : cases) {
        EXPECT_EQ(
            targetPanelTexts(satellite(c.pol, c.tone), universal(), receiver(c.v18, c.tone22k))
                .transponderHeading,
            c.heading)
            << int(c.pol) << "/" << int(c.tone);
    }
}

TEST(TargetPanel, CodesOutsideTheirListsKeepThePreviousText) {
    SatelliteRecord odd = satellite(3, 1);
    odd.verification = 4;
    RegionRecord region = universal();
    region.diseqcMode = 3;
    auto texts = targetPanelTexts(odd, region, receiver(0, 0));
    EXPECT_FALSE(texts.transponderHeading);
    EXPECT_FALSE(texts.frequency);
    EXPECT_FALSE(texts.verification);
    EXPECT_FALSE(texts.polarization);
    EXPECT_EQ(texts.tone, "0kHz");
    EXPECT_FALSE(texts.diseqc);

    texts = targetPanelTexts(satellite(1, 9), region, receiver(0, 0));
    EXPECT_FALSE(texts.transponderHeading);
    EXPECT_FALSE(texts.tone);
    EXPECT_FALSE(texts.localFrequency);  // universal LNB, no band to choose by
}

TEST(TargetPanel, LocalFrequencyFollowsTheLnbAndTheBand) {
    const RegionRecord region = universal();
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), region, receiver(0, 1)).localFrequency, "10600");
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), region, receiver(0, 0)).localFrequency, "9750");
    EXPECT_EQ(targetPanelTexts(satellite(0, 1), region, receiver(0, 1)).localFrequency, "9750");
    EXPECT_EQ(targetPanelTexts(satellite(0, 2), region, receiver(0, 0)).localFrequency, "10600");
    RegionRecord single = region;
    single.lnbType = 0;
    for (std::uint8_t tone : {0, 1, 2, 9}) {
        EXPECT_EQ(targetPanelTexts(satellite(0, tone), single, receiver(0, 1)).localFrequency,
                  "11300");
    }
}

TEST(TargetPanel, ReceiverTexts) {
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), universal(), receiver(0, 1)).receiver,
              "13V   22kHz");
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), universal(), receiver(0, 0)).receiver,
              "13V    0kHz");
    EXPECT_EQ(targetPanelTexts(satellite(0, 0), universal(), receiver(1, 0)).receiver,
              "18V    0kHz");
    EXPECT_EQ(receiverVoltageText(10.0, 1), "Not");
    EXPECT_EQ(receiverVoltageText(10.1, 0), "10.1V  0kHz");
    EXPECT_EQ(receiverVoltageText(13.4, 0), "13.4V  0kHz");
    EXPECT_EQ(receiverVoltageText(18.25, 1), "18.2V 22kHz");  // %2.1f rounds half to even here
    EXPECT_EQ(receiverVoltageText(0.0, 0), "Not");
}

TEST(TargetPanel, PositionsAndRegionsOutsideTheTablesShowNothing) {
    EXPECT_FALSE(targetPanelFor(20, 0, 0));
    EXPECT_FALSE(targetPanelFor(255, 0, 0));
    EXPECT_FALSE(targetPanelFor(0, 6, 0));
    EXPECT_FALSE(targetPanelFor(0, 0, 100));
    EXPECT_TRUE(targetPanelFor(19, 5, 99));
}
