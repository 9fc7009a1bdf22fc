#include <gtest/gtest.h>

#include "data/satellite_edit.h"
#include "wire/fixed_text.h"

namespace {

class SatelliteEdit : public ::testing::Test {
protected:
    void SetUp() override {
        base.number = 9;
        storeFixedText(base.name, u"OLD");
        form.position = 0;
        form.name = u"ABCDEFGHIJKL";
        form.longitude = u"19.25";
        form.hemisphere = 1;
        form.transponders = {u"11 727", u"27500", u"318", u"65535", u"", u"x1"};
        data.CurVerification = 2;
        data.CurPolMode = 1;
        data.CurToneMode = 0;
    }
    SatelliteData data;
    SatelliteRecord base;
    SatelliteForm form;
};

}  // namespace

// The bytes of a whole form are checked where it is sent; these are the readings the send
// test does not reach.
TEST_F(SatelliteEdit, TheFormBecomesTheRecord) {
    const SatelliteFormReading reading = readSatelliteForm(form, base, data);
    ASSERT_EQ(reading.refusal, "");
    EXPECT_EQ(reading.record.number, 9);
    EXPECT_EQ(reading.record.vHighNid, 0u);  // "x1"
    EXPECT_EQ(reading.record.verification, 2);

    form.name = u"HB";
    EXPECT_EQ(fixedTextToString(readSatelliteForm(form, base, data).record.name), u"HB        ");
    for (const auto& [hemisphere, eastWest] : {std::pair{0, 'E'}, {1, 'W'}, {-1, 'W'}}) {
        form.hemisphere = hemisphere;  // nothing chosen (-1) reads as W
        EXPECT_EQ(readSatelliteForm(form, base, data).record.eastWest, eastWest);
    }
}

TEST_F(SatelliteEdit, NumbersTheLinkCannotCarryAreRefusedByName) {
    SatelliteForm bad = form;
    bad.transponders[11] = u"-1";
    EXPECT_EQ(readSatelliteForm(bad, base, data).refusal,
              " Horizontal HighBand NID must be 0 to 65535 !!! \r\n Nothing was sent !!!");
    for (const char16_t* longitude : {u"180.1", u"-0.5"}) {
        bad = form;
        bad.longitude = longitude;
        EXPECT_EQ(readSatelliteForm(bad, base, data).refusal,
                  " Longitude must be 0 to 180 !!! \r\n Nothing was sent !!!");
    }
}

TEST_F(SatelliteEdit, ShowingASatelliteTakesItsChoicesOnlyInsideTheRegion) {
    mutableRegionRecord(data, 0, 0)->satelliteCount = 2;
    data.EditSatellites[1].verification = 3;
    data.EditSatellites[1].polarization = 7;  // outside the enumeration: still the choice
    data.EditSatellites[1].tone = 2;
    EXPECT_EQ(takeEditSatellite(data, 1), &data.EditSatellites[1]);
    EXPECT_EQ(data.CurVerification, 3);
    EXPECT_EQ(data.CurPolMode, 7);
    EXPECT_EQ(data.CurToneMode, 2);

    EXPECT_EQ(takeEditSatellite(data, 2), nullptr);
    EXPECT_EQ(takeEditSatellite(data, -1), nullptr);
    EXPECT_EQ(data.CurPolMode, 7);
}
