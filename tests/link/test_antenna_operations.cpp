#include "data/antenna_info.h"
#include "data/satellite_edit.h"
#include "support/link_fixture.h"
#include "support/replies.h"
#include "wire/fixed_text.h"

using namespace std::chrono_literals;

namespace {

const std::string kNotSetup =
    "MessageBox( Not Setup mode !!! \r\n Try again after Setup mode !!!, !)";

std::string outOfRange(const std::string& field, const std::string& range) {
    return "MessageBox( " + field + " : out of range !!! \r\n Enter " + range + " !!!, !)";
}

class AntennaOperations : public LinkFixture {
protected:
    std::vector<std::string> messages() const { return view.callsStartingWith("MessageBox"); }
};

// In setup mode with the ACU's region (europeWest(): satellites 3 and 7 in continent 0, region
// 4) downloaded as hotbird() twice; the satellite page's form holds position 1 as typed.
class SatelliteSends : public AntennaOperations {
protected:
    void SetUp() override {
        connectInSetupMode();
        for (const Bytes& identified : {regionReply(), satelliteReply(0), satelliteReply(1)}) {
            reply(identified);
        }
        forget();
    }
    SatelliteForm form{1, u"ABCDEFGHIJKL", u"19.25", 1, {u"11 727", u"27500", u"318", u"65535"}};
};

const AntennaParameters kParameters =
    readAntennaParameters({u"1.5", u"300", u"250", u"1.5", u"-0.25", u"30", u"5"});

}  // namespace

TEST_F(AntennaOperations, EveryButtonNeedsTheLinkAndSetupMode) {
    const SatelliteForm form{1, u"A", u"1", 0, {}};
    const auto pressAll = [&] {
        controller.OnDiagnosisStartStop();
        controller.OnGoToPosition(10, 20);
        controller.OnAzStepCcw(1);
        controller.OnAzStepCw(1);
        controller.OnElStepUp(1);
        controller.OnElStepDown(1);
        controller.OnSkewStepMinus(1);
        controller.OnSkewStepPlus(1);
        controller.OnSetParameters(kParameters);
        controller.OnFactorySetting();
        controller.sendEditedSatellite(form);
        controller.sendLocalFrequency(u"11300");
        EXPECT_FALSE(controller.sendDiseqcMode(1));
        controller.updateDefaultData(0, 0);
    };
    // Without a link nothing is sent or shown, from this page or the main window: each is
    // refused for the link.
    pressAll();
    controller.OnAntennaRestart();
    controller.OnSetupMode();
    controller.OnGetAntennaInformation();
    EXPECT_TRUE(view.calls.empty());
    EXPECT_TRUE(port.written.empty());
    ASSERT_EQ(outcomes.size(), 17u);
    for (const Outcome& o : outcomes) EXPECT_EQ(o.refusedBy, RefusedBy::Link);

    connect();
    reply(statusReply());  // tracking: no setup mode
    forget();
    pressAll();
    EXPECT_EQ(messages(), std::vector<std::string>(14, kNotSetup));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(state().data.DiseqcMode, 0);
    ASSERT_EQ(outcomes.size(), 14u);
    EXPECT_EQ(outcomes[1].operation, Operation::GoToPosition);
    EXPECT_EQ(outcomes[1].refusedBy, RefusedBy::SetupGate);
    EXPECT_EQ(outcomes[1].reason, " Not Setup mode !!! \r\n Try again after Setup mode !!!");

    // The ACU reporting the stop state opens the gate as setup mode does.
    reply(statusReply(6));
    view.calls.clear();
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.payloads().back(), (Bytes{0x15}));

    // Polled during its self test, the ACU reports state 7: the test can still be stopped,
    // but not started again.
    reply(statusReply(7));
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.payloads().back(), (Bytes{0x18}));
    controller.OnDiagnosisStartStop();
    EXPECT_EQ(port.codes(), (std::vector<int>{21, 24}));
    EXPECT_EQ(view.callsStartingWith("DiagIdle"),
              (std::vector<std::string>{"DiagIdle(0)", "DiagIdle(1)"}));
    EXPECT_EQ(view.callsStartingWith("StateLamps").back(), "StateLamps(6)");
    EXPECT_EQ(messages(), std::vector<std::string>{kNotSetup});
    // The run was cancelled by the stop; the second start was refused.
    EXPECT_EQ(outcomes[outcomes.size() - 2].operation, Operation::Diagnosis);
    EXPECT_EQ(outcomes[outcomes.size() - 2].ending, Ending::Cancelled);
}

TEST_F(AntennaOperations, StepsStartFromTheLastReportedPosition) {
    connectInSetupMode({'+', 0x27, 0x10, '+', 0x0B, 0xB8, '-', 0x01, 0xF4});  // 100, 30, -5
    controller.OnAzStepCw(2.5);
    controller.OnAzStepCw(2.5);  // no report between: the same target again
    controller.OnAzStepCcw(2.5);
    controller.OnElStepUp(1);
    controller.OnElStepDown(31);
    controller.OnSkewStepMinus(0.5);
    controller.OnSkewStepPlus(6);
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
    connectInSetupMode({'+', 0xEA, 0x60, '+', 0, 0, '-', 0xEA, 0x60});  // AZ 600, skew -600
    const std::tuple<double, double, Bytes> cases[] = {
        {0, 45.5, {0x19, '-', 0x00, 0x00, '+', 0x11, 0xC6}},
        {180.5, -2, {0x19, '+', 0x46, 0x82, '-', 0x00, 0xC8}},
        {-0.004, 655.35, {0x19, '-', 0x00, 0x00, '+', 0xFF, 0xFF}},
    };
    for (const auto& [az, el, expected] : cases) {
        controller.OnGoToPosition(az, el);
        EXPECT_EQ(port.payloads().back(), expected) << port.payloads().size();
    }
    EXPECT_DOUBLE_EQ(state().antenna.TargetEl, 655.35);

    forget();
    timers.stop(25);
    controller.OnGoToPosition(655.36, 10);
    controller.OnGoToPosition(10, -700);
    controller.OnAzStepCw(60);         // target 660
    controller.OnElStepUp(99999);      // a step no field takes
    controller.OnSkewStepMinus(55.4);  // target -655.4
    const std::string range = "-655.35 to 655.35";
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              outOfRange("Go to Position AZ", range),
                              outOfRange("Go to Position EL", range),
                              outOfRange("Antenna Move Step AZ", range),
                              outOfRange("Antenna Move Step EL", range),
                              outOfRange("Antenna Move Step Skew", range),
                          }));
    EXPECT_TRUE(port.written.empty());
    EXPECT_DOUBLE_EQ(state().antenna.TargetEl, 655.35);
    ASSERT_EQ(outcomes.size(), 5u);
    EXPECT_EQ(outcomes[4].ending, Ending::Refused);
    EXPECT_EQ(outcomes[4].refusedBy, RefusedBy::Arguments);

    controller.OnAzStepCw(55.35);  // exactly 655.35 still fits
    EXPECT_EQ(port.payloads().back(), (Bytes{0x1A, '+', 0xFF, 0xFF}));
}

TEST_F(AntennaOperations, SetParametersSendsTheSevenEditsOrRefusesOneThatDoesNotFit) {
    connectInSetupMode();
    controller.OnSetParameters(kParameters);
    EXPECT_EQ(port.payloads(),
              (std::vector<Bytes>{{0x1D, 0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA, '+', 0x00, 0x96, '-',
                                   0x00, 0x19, 0x00, 0x1E, 0x00, 0x05}}));
    EXPECT_DOUBLE_EQ(state().parameters.ParSkewAdjust, -0.25);
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
        AntennaParameterEdits edits{u"1.5", u"300", u"250", u"1.5", u"-0.25", u"30", u"5"};
        edits.*field = text;
        view.calls.clear();
        controller.OnSetParameters(readAntennaParameters(edits));
        EXPECT_EQ(messages(), std::vector<std::string>{outOfRange(name, range)});
    }
    EXPECT_EQ(port.payloads().size(), 1u);
    EXPECT_FALSE(timers.running(29));
    EXPECT_EQ(state().parameters.ParTrackingScale, 1.5);
}

TEST_F(SatelliteSends, TheEditedSatelliteGoesOutAsTypedAndRefusalsSendNothing) {
    controller.setEditChoice(AcuController::EditChoice::Verification, 2);
    // "13V" clicked: nothing is sent until the button
    controller.setEditChoice(AcuController::EditChoice::Polarization, 1);
    controller.sendEditedSatellite(form);
    EXPECT_EQ(port.payloads(), std::vector<Bytes>{concat({
                                   {0x12, 0x01, 0x05},  // position 1, satellite number 5
                                   ascii("ABCDEFGHIJ"),
                                   {0x00, 0xC0, 'W'},  // 19.25 travels as 192
                                   {0x00, 0x0B, 0x6B, 0x6C, 0x01, 0x3E, 0xFF, 0xFF},
                                   Bytes(16, 0x00),
                                   {0x02, 0x01, 0x02},  // tone: 22 kHz as downloaded
                               })});
    const SatelliteData& data = state().data;
    EXPECT_EQ(data.EditSatellites[1].longitude, 19.25);
    EXPECT_EQ(fixedTextToString(data.EditSatellites[1].name), u"ABCDEFGHIJ");
    EXPECT_TRUE(view.calls.empty());

    const SatelliteRecord sent = data.EditSatellites[1];
    form.transponders[6] = u"65536";
    controller.sendEditedSatellite(form);
    form.position = -1;
    controller.sendEditedSatellite(form);
    EXPECT_EQ(messages().size(), 2u);  // the form's refusal, then "No satellite selected"
    EXPECT_EQ(port.payloads().size(), 1u);
    EXPECT_EQ(data.EditSatellites[1], sent);
    EXPECT_EQ(outcomes.back().reason, kNoSatelliteSelected);
}

TEST_F(SatelliteSends, LocalFrequencyAndDiseqcMode) {
    using Choice = AcuController::EditChoice;
    controller.setEditChoice(Choice::LnbType, 0);  // "Single Band" clicked
    controller.sendLocalFrequency(u"11300");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x00, 0x2C, 0x24}));

    // "Universal LNB" clicked: the single band value is stored, not sent
    controller.setEditChoice(Choice::LnbType, 1);
    controller.sendLocalFrequency(u"10750");
    EXPECT_EQ(port.payloads().back(), (Bytes{0x13, 0x01}));
    EXPECT_EQ(state().data.LocalFreqSingle, 10750u);

    // A value the link cannot carry stops a single band send only; it is never stored.
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().size(), 3u);
    controller.setEditChoice(Choice::LnbType, 0);
    controller.sendLocalFrequency(u"70000");
    EXPECT_EQ(port.payloads().size(), 3u);
    EXPECT_EQ(state().data.LocalFreqSingle, 10750u);
    EXPECT_EQ(view.calls, std::vector<std::string>{
                              "MessageBox( Single Band Local Frequency must be 0 to 65535 !!! "
                              "\r\n Nothing was sent !!!, !)"});

    EXPECT_TRUE(controller.sendDiseqcMode(2));
    EXPECT_EQ(port.payloads().back(), (Bytes{0x14, 0x02}));
    EXPECT_EQ(state().data.DiseqcMode, 2);
}

TEST_F(SatelliteSends, AnAcknowledgedChangeIsWhatTheTablesShowFromThen) {
    const SatelliteData& data = state().data;
    const RegionRecord& region = currentRegion(data);  // universal LNB, change satellite
    controller.sendEditedSatellite(form);
    controller.setEditChoice(AcuController::EditChoice::LnbType, 0);
    controller.sendLocalFrequency(u"9750");
    controller.sendDiseqcMode(1);
    // Nothing is taken before the ACU says it took it.
    EXPECT_NE(fixedTextToString(data.RegionSatellites[1].name), u"ABCDEFGHIJ");
    EXPECT_EQ(region.singleLocalFreq, 10750u);
    EXPECT_EQ(region.diseqcMode, 2);

    reply({0x12});
    reply({0x13});
    reply({0x14});
    EXPECT_EQ(fixedTextToString(data.RegionSatellites[1].name), u"ABCDEFGHIJ");  // 10 of 12
    EXPECT_EQ(data.RegionSatellites[1].longitude, 19.25);
    EXPECT_EQ(region.lnbType, 0);
    EXPECT_EQ(region.singleLocalFreq, 9750u);
    EXPECT_EQ(region.diseqcMode, 1);
    EXPECT_EQ(view.callsStartingWith("S"),
              (std::vector<std::string>{"SatelliteAcknowledged()", "SettingAcknowledged()",
                                        "SettingAcknowledged()"}));
    EXPECT_EQ(port.codes(), (std::vector<int>{18, 19, 20}));  // nothing asked again
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[2].operation, Operation::Diseqc);
    EXPECT_EQ(outcomes[2].code, 20);
}
