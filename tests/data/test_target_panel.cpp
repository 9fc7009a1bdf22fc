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

ReceiverState receiver(std::uint8_t v18, std::uint8_t tone) {
    return ReceiverState{v18, tone, 13.4, 612};
}

}  // namespace

// One case per way of choosing: Auto (0) follows the receiver's output, a fixed side or band
// decides by itself, and a code past the list gives no transponder.
TEST(TargetPanel, EveryWayOfChoosingTheTransponderAndTheLocalFrequency) {
    struct Case {
        std::uint8_t pol, tone, v18, tone22k;
        std::optional<std::string> heading, frequency, localFrequency;  // none: left as it was
        const char* receiver;
    };
    const Case cases[] = {
        {0, 0, 0, 0, "V(R) LowBand", "10714", "9750", "13V    0kHz"},
        {0, 0, 1, 1, "H(L) HighBand", "40714", "10600", "18V   22kHz"},
        {0, 1, 1, 1, "H(L) LowBand", "30714", "9750", "18V   22kHz"},    // a fixed tone wins
        {1, 0, 1, 1, "V(R) HighBand", "20714", "10600", "18V   22kHz"},  // a fixed side wins
        {1, 1, 1, 1, "V(R) LowBand", "10714", "9750", "18V   22kHz"},
        {2, 2, 0, 0, "H(L) HighBand", "40714", "10600", "13V    0kHz"},
        // Auto side; a tone code of 7 is not "22 kHz only", and gives no band to choose by.
        {0, 7, 0, 1, "V(R) LowBand", "10714", {}, "13V   22kHz"},
        {3, 1, 0, 0, {}, {}, "9750", "13V    0kHz"},
        {1, 9, 0, 0, {}, {}, {}, "13V    0kHz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.pol) << "/" << int(c.tone));
        const auto texts =
            targetPanelTexts(satellite(c.pol, c.tone), universal(), receiver(c.v18, c.tone22k));
        EXPECT_EQ(texts.transponderHeading, c.heading);
        EXPECT_EQ(texts.frequency, c.frequency);
        EXPECT_EQ(texts.localFrequency, c.localFrequency);
        EXPECT_EQ(texts.receiver, c.receiver);
    }
    // The chosen transponder's other two numbers; a single band LNB has one frequency.
    auto texts = targetPanelTexts(satellite(2, 2), universal(), receiver(0, 0));
    EXPECT_EQ(texts.symbolRate, "41000");
    EXPECT_EQ(texts.networkId, "4");
    RegionRecord single = universal();
    single.lnbType = 0;
    EXPECT_EQ(targetPanelTexts(satellite(0, 9), single, receiver(0, 1)).localFrequency, "11300");
}

TEST(TargetPanel, CodesVoltagesAndPositionsOutsideTheTables) {
    SatelliteRecord odd = satellite(3, 1);
    odd.verification = 4;
    RegionRecord region = universal();
    region.diseqcMode = 3;
    const auto texts = targetPanelTexts(odd, region, receiver(0, 0));
    EXPECT_FALSE(texts.verification);
    EXPECT_FALSE(texts.polarization);
    EXPECT_FALSE(texts.diseqc);

    const std::pair<double, const char*> volts[] = {
        {10.0, "Not"}, {10.1, "10.1V  0kHz"}, {18.25, "18.2V 22kHz"}};
    for (const auto& [value, text] : volts) {
        // %2.1f rounds 18.25 half to even.
        EXPECT_EQ(receiverVoltageText(value, value > 18.0), text) << value;
    }
    // A target or a region outside the tables (as a reply may name them) shows nothing.
    SatelliteData data;
    for (const auto& [target, continent, region] :
         {std::tuple{20, 0, 0}, {0, 6, 0}, {0, 0, 100}, {19, 5, 99}}) {
        data.DefaultSatIndex = static_cast<std::uint8_t>(target);
        data.CurContinent = static_cast<std::uint8_t>(continent);
        data.CurRegion = static_cast<std::uint8_t>(region);
        EXPECT_EQ(targetPanelFor(data, {}).has_value(), target == 19)
            << target << continent << region;
    }
}
