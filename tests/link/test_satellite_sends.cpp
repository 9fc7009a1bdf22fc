#include "data/fixed_text.h"
#include "data/satellite_edit.h"
#include "data/satellite_tables.h"
#include "link/link_state.h"
#include "support/link_fixture.h"

using namespace std::chrono_literals;

namespace {

const char* const kNotSetup =
    "MessageBox( Not Setup mode !!! \r\n Try again after Setup mode !!!, !)";

class SatelliteSends : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        g_Connected = 1;
        g_SetupMode = 1;
        g_EditSatellites[1].number = 3;
        form.position = 1;
        form.name = u"ABCDEFGHIJKL";
        form.longitude = u"19.25";
        form.hemisphere = 1;
        form.transponders = {u"11 727", u"27500", u"318", u"65535"};
    }
    SatelliteForm form;
};

}  // namespace

TEST_F(SatelliteSends, TheEditedSatelliteGoesOutAsTypedWithTheRadioChoices) {
    g_CurVerification = 2;
    g_CurPolMode = 1;  // "13V" clicked: nothing is sent until the button
    EXPECT_TRUE(port.written.empty());

    controller.sendEditedSatellite(form);
    const Bytes expected = concat({
        {0x12, 0x01, 0x03},
        ascii("ABCDEFGHIJ"),
        {0x00, 0xC0, 'W'},  // 19.25 travels as 192
        {0x00, 0x0B, 0x6B, 0x6C, 0x01, 0x3E, 0xFF, 0xFF},
        Bytes(16, 0x00),
        {0x02, 0x01, 0x00},
    });
    ASSERT_EQ(port.payloads().size(), 1u);
    EXPECT_EQ(port.payloads()[0], expected);
    EXPECT_EQ(timers.period(18), 1000ms);
    EXPECT_EQ(g_EditSatIndex, 1);
    EXPECT_EQ(g_EditSatellites[1].longitude, 19.25);
    EXPECT_EQ(fixedTextToString(g_EditSatellites[1].name), u"ABCDEFGHIJ");
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(SatelliteSends, RefusalsSendAndStoreNothing) {
    const SatelliteRecord before = g_EditSatellites[1];
    SatelliteForm tooLarge = form;
    tooLarge.transponders[6] = u"65536";
    SatelliteForm unselected = form;
    unselected.position = -1;

    controller.sendEditedSatellite(tooLarge);
    controller.sendEditedSatellite(unselected);
    g_SetupMode = 0;
    controller.sendEditedSatellite(form);
    g_Connected = 0;
    controller.sendEditedSatellite(form);  // silently

    EXPECT_EQ(view.calls,
              (std::vector<std::string>{
                  "MessageBox( Horizontal LowBand Freq. must be 0 to 65535 !!! \r\n Nothing was "
                  "sent !!!, !)",
                  "MessageBox( No satellite selected !!! \r\n Select a satellite and try again "
                  "!!!, !)",
                  kNotSetup}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(g_EditSatellites[1], before);
    EXPECT_EQ(g_EditSatIndex, 0);
}

TEST_F(SatelliteSends, LocalFrequencyCarriesTheSingleBandValueOnlyForASingleBandLnb) {
    controller.sendLocalFrequency(u"11300");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x00, 0x2C, 0x24}));
    EXPECT_EQ(timers.period(19), 1000ms);

    g_LnbType = 1;  // "Universal LNB" clicked
    controller.sendLocalFrequency(u"10750");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x01}));
    EXPECT_EQ(g_LocalFreqSingle, 10750u);

    // A value the link cannot carry stops a single band send only; it is never stored.
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x01}));
    EXPECT_EQ(port.payloads().size(), 3u);
    g_LnbType = 0;
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().size(), 3u);
    EXPECT_EQ(g_LocalFreqSingle, 10750u);
    EXPECT_EQ(view.calls, std::vector<std::string>{
                              "MessageBox( Single Band Local Frequency must be 0 to 65535 !!! "
                              "\r\n Nothing was sent !!!, !)"});
}

TEST_F(SatelliteSends, DiseqcModeNeedsSetupMode) {
    EXPECT_TRUE(controller.sendDiseqcMode(2));
    EXPECT_EQ(port.payloads().back(), (Bytes{0x14, 0x02}));
    EXPECT_EQ(g_DiseqcMode, 2);
    EXPECT_EQ(timers.period(20), 1000ms);

    g_SetupMode = 0;
    g_AntennaMode = 6;  // stop / setup opens the gate as well
    EXPECT_TRUE(controller.sendDiseqcMode(1));
    g_AntennaMode = 4;
    EXPECT_FALSE(controller.sendDiseqcMode(0));
    EXPECT_EQ(g_DiseqcMode, 1);
    EXPECT_EQ(view.calls, std::vector<std::string>{kNotSetup});
    EXPECT_EQ(port.payloads().size(), 2u);
}
