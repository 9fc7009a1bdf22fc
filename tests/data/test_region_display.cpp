#include <gtest/gtest.h>

#include <cmath>

#include "data/region_display.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "wire/fixed_text.h"
#include "wire/number_text.h"

namespace {

SatelliteRecord satellite(std::uint8_t number, std::u16string_view name) {
    SatelliteRecord sat;
    sat.number = number;
    storeFixedText(sat.name, name);
    sat.longitude = 130.0;
    sat.eastWest = 'E';
    sat.vHighFreq = 12604, sat.vHighSymbolRate = 22000, sat.vHighNid = 65535;
    sat.hLowFreq = 950, sat.hLowSymbolRate = 2000, sat.hLowNid = 12;
    return sat;
}

// A region of three satellites with a single band LNB, loaded as from a file.
class RegionDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        data.SatelliteTable[0] = satellite(1, u"ASTRA 1");
        data.SatelliteTable[1] = satellite(2, u"HOTBIRD");
        data.SatelliteTable[2] = satellite(3, u"KOREASAT 5");
        RegionRecord& region = *mutableRegionRecord(data, 1, 4);
        region.satelliteCount = 3;
        region.satelliteList = {1, 2, 3};
        region.singleLocalFreq = 10750;
        ASSERT_TRUE(selectRegion(data, 1, 4));
    }
    SatelliteData data;
};

}  // namespace

TEST_F(RegionDisplay, SelectorsListsAndDetailsOfTheRegionsSatellites) {
    EXPECT_EQ(satelliteSelectorEntries(data),
              (std::vector<std::u16string>{u"ASTRA 1   ", u"HOTBIRD   ", u"KOREASAT 5"}));
    EXPECT_EQ(adminSatelliteListEntries(data), (std::vector<std::string>{"  1 ", "  2 ", "  3 "}));

    // Numbers shorter than five digits keep their columns.
    const SatelliteDetailsTexts third = currentSatelliteDetails(data, 2);
    EXPECT_EQ(third.index, "  3 ");
    EXPECT_EQ(third.longitude, " 130.0E \r\n");
    EXPECT_EQ(third.verHighBand, "12604  22000  65535");
    EXPECT_EQ(third.horLowBand, "  950   2000     12");
    EXPECT_EQ(third.horHighBand, "    0      0      0");
    EXPECT_EQ(third.lnbInformation, " LNB Type : Single Band\tLocal Freq.: 10750 MHz");
    // The region data, never the edit copy.
    storeFixedText(data.EditSatellites[2].name, u"EDITED");
    EXPECT_EQ(currentSatelliteDetails(data, 2).name, u"  KOREASAT 5");

    // An empty region shows nothing but its LNB.
    mutableRegionRecord(data, 1, 4)->satelliteCount = 0;
    EXPECT_TRUE(satelliteSelectorEntries(data).empty());
    SatelliteDetailsTexts empty;
    empty.lnbInformation = third.lnbInformation;
    EXPECT_EQ(currentSatelliteDetails(data, 0), empty);
    EXPECT_EQ(currentSatelliteDetails(data, -1), empty);
}

TEST_F(RegionDisplay, CodesOutsideTheListsAndComputedTexts) {
    // One past the end of each list shows nothing.
    SatelliteRecord odd;
    odd.verification = 4;
    odd.polarization = odd.tone = 3;
    RegionRecord region;
    region.diseqcMode = 3;
    const SatelliteDetailsTexts texts = satelliteDetailsTexts(odd, region);
    EXPECT_EQ(texts.verification, "");
    EXPECT_EQ(texts.polarization, "");
    EXPECT_EQ(texts.tone, "");
    EXPECT_EQ(texts.diseqc, "");

    region.lnbType = 1;
    region.universalLowLocalFreq = 9750;
    region.universalHighLocalFreq = 10600;
    EXPECT_EQ(lnbInformationText(region), " LNB Type : Universal\tLocal Freq.: 9750 / 10600 MHz");
    region.lnbType = 2;
    EXPECT_EQ(lnbInformationText(region), "");

    // A longitude shows with one decimal (stored as typed); no hemisphere selects "W".
    EXPECT_EQ(longitudeText(19.25), "19.2");
    EXPECT_EQ(hemispherePosition(0), 1);
    EXPECT_EQ(continentListName(6), "");
}

TEST(NumberText, ReadsTheLeadingNumberAsTheCLibraryDoes) {
    const std::pair<std::u16string_view, std::int64_t> integers[] = {
        {u"  42", 42}, {u"11 727", 11}, {u"abc", 0}, {u"-5", -5}, {u"+7x", 7}, {u"- 5", 0},
    };
    for (const auto& [text, value] : integers) {
        EXPECT_EQ(wideToInteger(text), value) << std::string(text.begin(), text.end());
    }
    EXPECT_GT(wideToInteger(u"99999999999999999999999"), 65535);

    const std::pair<std::u16string_view, double> reals[] = {
        {u"19.25", 19.25}, {u".5", 0.5}, {u"7.", 7.0},    {u"1e2", 100.0},   {u"  37.5", 37.5},
        {u"-3.5", -3.5},   {u"x", 0.0},  {u"2.5.1", 2.5}, {u"12E", 12.0},    {u".", 0.0},
        {u"nan", 0.0},     {u"", 0.0},   {u"+4.", 4.0},   {u"1e-99", 1e-99}, {u"1e999", HUGE_VAL},
    };
    for (const auto& [text, value] : reals) {
        EXPECT_EQ(wideToReal(text), value) << std::string(text.begin(), text.end());
    }
}
