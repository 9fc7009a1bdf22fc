#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/satellite_edit.h"
#include "data/satellite_tables.h"
#include "link/link_state.h"
#include "support/link_fixture.h"
#include "wire/fixed_text.h"

using namespace std::chrono_literals;

namespace {

const std::string kNotSetup =
    "MessageBox( Not Setup mode !!! \r\n Try again after Setup mode !!!, !)";

std::string outOfRange(const std::string& field, const std::string& range) {
    return "MessageBox( " + field + " : out of range !!! \r\n Enter " + range + " !!!, !)";
}

// The satellite page's form holds satellite 3 in position 1, as typed.
class AntennaOperations : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        g_Connected = 1;
        g_SetupMode = 1;
        g_EditSatellites[1].number = 3;
    }
    std::vector<std::string> messages() const { return view.callsStartingWith("MessageBox"); }
    SatelliteForm form{1, u"ABCDEFGHIJKL", u"19.25", 1, {u"11 727", u"27500", u"318", u"65535"}};
};
class SatelliteSends : public AntennaOperations {};

const AntennaParameterEdits kParameters = {u"1.5", u"300", u"250", u"1.5", u"-0.25", u"30", u"5"};

}  // namespace

TEST_F(AntennaOperations, EveryButtonNeedsTheLinkAndSetupMode) {
    const auto pressAll = [this] {
        controller.OnDiagnosisStartStop();
        controller.OnGoToPosition(u"10", u"20");
        controller.OnAzStepCcw(u"1");
        controller.OnAzStepCw(u"1");
        controller.OnElStepUp(u"1");
        controller.OnElStepDown(u"1");
        controller.OnSkewStepMinus(u"1");
        controller.OnSkewStepPlus(u"1");
        controller.OnSetParameters(kParameters);
        controller.OnFactorySetting();
        controller.sendEditedSatellite(form);
        controller.sendLocalFrequency(u"11300");
        EXPECT_FALSE(controller.sendDiseqcMode(1));
        controller.updateDefaultData();
    };
    // Without a link nothing is sent or shown, from this page or the main window.
    g_Connected = 0;
    g_DefaultDataLoaded = 1;
    pressAll();
    controller.OnAntennaRestart();
    controller.OnSetupMode();
    controller.OnGetAntennaInformation();
    EXPECT_TRUE(view.calls.empty());
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(g_DefaultDataLoaded, 1);

    g_Connected = 1;
    g_SetupMode = 0;
    g_AntennaMode = 4;
    pressAll();
    EXPECT_EQ(messages(), std::vector<std::string>(14, kNotSetup));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(g_DiseqcMode, 0);

    // The ACU reporting the stop state opens the gate as setup mode does.
    g_AntennaMode = 6;
    view.calls.clear();
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.payloads().back(), (Bytes{0x15}));

    // Polled during its self test, the ACU reports state 7: the test can still be stopped,
    // but not started again.
    g_AntennaMode = 7;
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.payloads().back(), (Bytes{0x18}));
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.codes(), (std::vector<int>{21, 24}));
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{
                  "DrawStateLamps(7)", "setDiagnosisButtonCaption(Diagnosis Stop)",
                  "DrawStateLamps(6)", "setDiagnosisButtonCaption(Diagnosis Start)", kNotSetup}));
}

TEST_F(AntennaOperations, StepsStartFromTheLastReportedPosition) {
    g_CurrentAz = 100.0;
    g_CurrentEl = 30.0;
    g_CurrentSkew = -5.0;
    controller.OnAzStepCw(u"2.5");
    controller.OnAzStepCw(u"2.5");  // no report between: the same target again
    controller.OnAzStepCcw(u"2.5");
    controller.OnElStepUp(u"1");
    controller.OnElStepDown(u"31");
    controller.OnSkewStepMinus(u"0.5");
    controller.OnSkewStepPlus(u"6");
    EXPECT_EQ(port.payloads(), (std::vector<Bytes>{
                                   {0x1A, '+', 0x28, 0x0A},  // 102.5
                                   {0x1A, '+', 0x28, 0x0A},
                                   {0x1A, '+', 0x26, 0x16},  // 97.5
                                   {0x1B, '+', 0x0C, 0x1C},  // 31
                                   {0x1B, '-', 0x00, 0x64},  // -1
                                   {0x1C, '-', 0x02, 0x26},  // -5.5
                                   {0x1C, '+', 0x00, 0x64},  // 1
                               }));
}

TEST_F(AntennaOperations, GoToSendsSignedHundredthsAndAnglesBeyondTheFieldAreRefusedByName) {
    const std::tuple<const char16_t*, const char16_t*, Bytes> cases[] = {
        {u"0", u"45.5", {0x19, '-', 0x00, 0x00, '+', 0x11, 0xC6}},
        {u"180.5", u"-2", {0x19, '+', 0x46, 0x82, '-', 0x00, 0xC8}},
        {u"abc", u"655.35", {0x19, '-', 0x00, 0x00, '+', 0xFF, 0xFF}},
    };
    for (const auto& [az, el, expected] : cases) {
        controller.OnGoToPosition(az, el);
        EXPECT_EQ(port.payloads().back(), expected) << port.payloads().size();
    }

    port.written.clear();
    timers.stop(25);
    g_CurrentAz = 600.0;
    g_CurrentSkew = -600.0;
    g_TargetAz = 1.0;
    controller.OnGoToPosition(u"655.36", u"10");
    controller.OnGoToPosition(u"10", u"-700");
    controller.OnAzStepCw(u"60");         // target 660
    controller.OnElStepUp(u"99999");      // a step no field takes
    controller.OnSkewStepMinus(u"55.4");  // target -655.4
    const std::string range = "-655.35 to 655.35";
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              outOfRange("Go to Position AZ", range),
                              outOfRange("Go to Position EL", range),
                              outOfRange("Antenna Move Step AZ", range),
                              outOfRange("Antenna Move Step EL", range),
                              outOfRange("Antenna Move Step Skew", range),
                          }));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(g_TargetAz, 1.0);

    controller.OnAzStepCw(u"55.35");  // exactly 655.35 still fits
    EXPECT_EQ(port.payloads().back(), (Bytes{0x1A, '+', 0xFF, 0xFF}));
}

TEST_F(AntennaOperations, SetParametersSendsTheSevenEditsOrRefusesOneThatDoesNotFit) {
    controller.OnSetParameters(kParameters);
    EXPECT_EQ(port.payloads(),
              (std::vector<Bytes>{{0x1D, 0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA, '+', 0x00, 0x96, '-',
                                   0x00, 0x19, 0x00, 0x1E, 0x00, 0x05}}));
    EXPECT_DOUBLE_EQ(g_ParSkewAdjust, -0.25);
    EXPECT_TRUE(messages().empty());

    timers.stop(29);
    const std::tuple<std::u16string AntennaParameterEdits::*, const char16_t*, const char*,
                     const char*>
        cases[] = {
            {&AntennaParameterEdits::trackingScale, u"-1.5", "Tracking Scale", "0 to 655.35"},
            {&AntennaParameterEdits::detectLevel, u"-1", "Detect Level Threshold", "0 to 65535"},
            {&AntennaParameterEdits::elAdjust, u"9999", "EL Adjust", "-655.35 to 655.35"},
            {&AntennaParameterEdits::skewAdjust, u"-999", "Skew Adjust", "-655.35 to 655.35"},
            {&AntennaParameterEdits::signalLostTime, u"-30", "Signal lost time", "0 to 65535"},
        };
    for (const auto& [field, text, name, range] : cases) {
        AntennaParameterEdits edits = kParameters;
        edits.*field = text;
        view.calls.clear();
        controller.OnSetParameters(edits);
        EXPECT_EQ(messages(), std::vector<std::string>{outOfRange(name, range)});
    }
    EXPECT_EQ(port.payloads().size(), 1u);
    EXPECT_FALSE(timers.running(29));
    EXPECT_EQ(g_ParTrackingScale, 1.5);
}

TEST_F(SatelliteSends, TheEditedSatelliteGoesOutAsTypedAndRefusalsSendNothing) {
    g_CurVerification = 2;
    g_CurPolMode = 1;  // "13V" clicked: nothing is sent until the button
    controller.sendEditedSatellite(form);
    EXPECT_EQ(port.payloads(), std::vector<Bytes>{concat({
                                   {0x12, 0x01, 0x03},
                                   ascii("ABCDEFGHIJ"),
                                   {0x00, 0xC0, 'W'},  // 19.25 travels as 192
                                   {0x00, 0x0B, 0x6B, 0x6C, 0x01, 0x3E, 0xFF, 0xFF},
                                   Bytes(16, 0x00),
                                   {0x02, 0x01, 0x00},
                               })});
    EXPECT_EQ(g_EditSatellites[1].longitude, 19.25);
    EXPECT_EQ(fixedTextToString(g_EditSatellites[1].name), u"ABCDEFGHIJ");
    EXPECT_TRUE(view.calls.empty());

    const SatelliteRecord sent = g_EditSatellites[1];
    form.transponders[6] = u"65536";
    controller.sendEditedSatellite(form);
    form.position = -1;
    controller.sendEditedSatellite(form);
    EXPECT_EQ(messages().size(), 2u);  // the form's refusal, then "No satellite selected"
    EXPECT_EQ(port.payloads().size(), 1u);
    EXPECT_EQ(g_EditSatellites[1], sent);
}

TEST_F(SatelliteSends, LocalFrequencyAndDiseqcMode) {
    controller.sendLocalFrequency(u"11300");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x00, 0x2C, 0x24}));

    g_LnbType = 1;  // "Universal LNB" clicked: the single band value is stored, not sent
    controller.sendLocalFrequency(u"10750");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x01}));
    EXPECT_EQ(g_LocalFreqSingle, 10750u);

    // A value the link cannot carry stops a single band send only; it is never stored.
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().size(), 3u);
    g_LnbType = 0;
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().size(), 3u);
    EXPECT_EQ(g_LocalFreqSingle, 10750u);
    EXPECT_EQ(view.calls, std::vector<std::string>{
                              "MessageBox( Single Band Local Frequency must be 0 to 65535 !!! "
                              "\r\n Nothing was sent !!!, !)"});

    EXPECT_TRUE(controller.sendDiseqcMode(2));
    EXPECT_EQ(port.payloads().back(), (Bytes{0x14, 0x02}));
    EXPECT_EQ(g_DiseqcMode, 2);
}

TEST_F(SatelliteSends, AnAcknowledgedChangeIsWhatTheTablesShowFromThen) {
    g_CurContinent = 2;
    g_CurRegion = 5;
    RegionRecord& region = *mutableRegionRecord(2, 5);
    region.satelliteCount = 2;
    region.lnbType = 1;
    region.singleLocalFreq = 9750;
    controller.sendEditedSatellite(form);
    g_LnbType = 0;
    controller.sendLocalFrequency(u"10750");
    controller.sendDiseqcMode(2);
    // Nothing is taken before the ACU says it took it.
    EXPECT_NE(fixedTextToString(g_RegionSatellites[1].name), u"ABCDEFGHIJ");
    EXPECT_EQ(region.singleLocalFreq, 9750u);
    EXPECT_EQ(region.diseqcMode, 0);

    reply({0x12});
    reply({0x13});
    reply({0x14});
    EXPECT_EQ(fixedTextToString(g_RegionSatellites[1].name), u"ABCDEFGHIJ");  // 10 of 12 typed
    EXPECT_EQ(g_RegionSatellites[1].longitude, 19.25);
    EXPECT_EQ(region.lnbType, 0);
    EXPECT_EQ(region.singleLocalFreq, 10750u);
    EXPECT_EQ(region.diseqcMode, 2);
    EXPECT_EQ(view.callsStartingWith("showAcknowledgedChange"),
              (std::vector<std::string>{"showAcknowledgedChange(18)", "showAcknowledgedChange(19)",
                                        "showAcknowledgedChange(20)"}));
    EXPECT_EQ(port.codes(), (std::vector<int>{18, 19, 20}));  // nothing asked again
}
