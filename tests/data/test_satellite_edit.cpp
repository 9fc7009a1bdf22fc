#include <gtest/gtest.h>

#include "data/satellite_edit.h"
#include "link/process_state.h"
#include "wire/fixed_text.h"

namespace {

class SatelliteEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        base.number = 9;
        storeFixedText(base.name, u"OLD");
        form.position = 0;
        form.name = u"ABCDEFGHIJKL";
        form.longitude = u"19.25";
        form.hemisphere = 1;
        form.transponders = {u"11 727", u"27500", u"318", u"65535", u"", u"x1"};
        g_CurVerification = 2;
        g_CurPolMode = 1;
        g_CurToneMode = 0;
    }
    void TearDown() override { ResetProcessState(); }

    SatelliteRecord base;
    SatelliteForm form;
};

}  // namespace

// The bytes of a whole form are checked where it is sent; these are the readings the send
// test does not reach.
TEST_F(SatelliteEdit, TheFormBecomesTheRecord) {
    const SatelliteFormReading reading = readSatelliteForm(form, base);
    ASSERT_EQ(reading.refusal, "");
    EXPECT_EQ(reading.record.number, 9);
    EXPECT_EQ(reading.record.vHighNid, 0u);  // "x1"
    EXPECT_EQ(reading.record.verification, 2);

    form.name = u"HB";
    EXPECT_EQ(fixedTextToString(readSatelliteForm(form, base).record.name), u"HB        ");
    for (const auto& [hemisphere, eastWest] : {std::pair{0, 'E'}, {1, 'W'}, {-1, 'W'}}) {
        form.hemisphere = hemisphere;  // nothing chosen (-1) reads as W
        EXPECT_EQ(readSatelliteForm(form, base).record.eastWest, eastWest);
    }
}

TEST_F(SatelliteEdit, NumbersTheLinkCannotCarryAreRefusedByName) {
    SatelliteForm bad = form;
    bad.transponders[11] = u"-1";
    EXPECT_EQ(readSatelliteForm(bad, base).refusal,
              " Horizontal HighBand NID must be 0 to 65535 !!! \r\n Nothing was sent !!!");
    for (const char16_t* longitude : {u"180.1", u"-0.5"}) {
        bad = form;
        bad.longitude = longitude;
        EXPECT_EQ(readSatelliteForm(bad, base).refusal,
                  " Longitude must be 0 to 180 !!! \r\n Nothing was sent !!!");
    }
}

TEST_F(SatelliteEdit, ShowingASatelliteTakesItsChoicesOnlyInsideTheRegion) {
    mutableRegionRecord(0, 0)->satelliteCount = 2;
    g_EditSatellites[1].verification = 3;
    g_EditSatellites[1].polarization = 7;  // outside the enumeration: still the choice
    g_EditSatellites[1].tone = 2;
    EXPECT_EQ(takeEditSatellite(1), &g_EditSatellites[1]);
    EXPECT_EQ(g_CurVerification, 3);
    EXPECT_EQ(g_CurPolMode, 7);
    EXPECT_EQ(g_CurToneMode, 2);

    EXPECT_EQ(takeEditSatellite(2), nullptr);
    EXPECT_EQ(takeEditSatellite(-1), nullptr);
    EXPECT_EQ(g_CurPolMode, 7);
}
