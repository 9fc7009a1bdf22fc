#include "data/sif_text.h"
#include "support/link_fixture.h"
#include "support/records.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class Operations : public LinkFixture {
protected:
    // Connected and polling, the ACU tracking.
    void connected() {
        connect();
        reply(statusReply());
        timers.start(14, 1000ms);
        forget();
    }
};

}  // namespace

TEST_F(Operations, RestartAndSetupModePauseThePollUntilTheirReply) {
    connected();
    controller.OnAntennaRestart();
    EXPECT_FALSE(timers.running(14));
    advance(1000);  // no answer yet: restart is repeated, still no poll
    reply({0x0F});
    EXPECT_EQ(timers.period(14), 1000ms);
    EXPECT_EQ(port.codes(), (std::vector<int>{15, 15}));

    view.confirmAnswer = false;
    controller.OnSetupMode();
    EXPECT_EQ(view.calls, std::vector<std::string>{"Confirm( Antenna Setup mode?, OkCancel)"});
    EXPECT_TRUE(timers.running(14));  // Cancel changes nothing
    EXPECT_EQ(port.codes().size(), 2u);

    view.confirmAnswer = true;
    controller.OnSetupMode();
    EXPECT_FALSE(timers.running(14));
    reply({0x10, 0x06, '+', 0x00, 0x64, '+', 0x0F, 0xA0, '-', 0x00, 0x00});
    EXPECT_EQ(state().SetupMode, 1);
    EXPECT_EQ(state().AntennaMode, 6);
    EXPECT_EQ(view.callsStartingWith("CurrentPosition"),
              std::vector<std::string>{"CurrentPosition(1.00,40.00,0.00)"});
    advance(10000);  // answered: no repeat, and the poll stays off in setup mode
    EXPECT_EQ(port.codes(), (std::vector<int>{15, 15, 16}));
    // The restart done, the first question cancelled, the second answered.
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].operation, Operation::Restart);
    EXPECT_EQ(outcomes[0].ending, Ending::Done);
    EXPECT_EQ(outcomes[1].ending, Ending::Cancelled);
    EXPECT_EQ(outcomes[2].ending, Ending::Done);
    EXPECT_EQ(outcomes[2].value, 6u);
}

TEST_F(Operations, FactorySettingNeedsAYesOnAnOpenLineAndShowsItsProgress) {
    connectInSetupMode();
    view.confirmAnswer = false;
    controller.OnFactorySetting();
    EXPECT_EQ(view.calls,
              std::vector<std::string>{"Confirm(Do you want to factory default setting?, YesNo)"});
    EXPECT_TRUE(port.written.empty());

    view.confirmAnswer = true;
    controller.OnFactorySetting();
    EXPECT_EQ(port.written, (Bytes{0x02, 0x01, 0x1E, 0x1F, 0x03}));

    reply({0x1E, 0x00, 0xC8});
    EXPECT_FALSE(timers.running(30));
    reply({0x1F, 0x00, 0x64});
    reply({0x1F, 0x00, 0xC8});
    reply({0x20});
    EXPECT_EQ(state().BusyCursor, 0);
    EXPECT_EQ(outcomes.back().operation, Operation::FactoryReset);
    EXPECT_EQ(outcomes.back().ending, Ending::Done);
    EXPECT_EQ(outcomes.back().value, 200u);
    EXPECT_EQ(view.callsStartingWith("OpenProgress"),
              std::vector<std::string>{"OpenProgress(Load,200)"});
    EXPECT_EQ(
        view.callsStartingWith("StepProgress"),
        (std::vector<std::string>{"StepProgress(Load,100,50)", "StepProgress(Load,200,100)"}));
    EXPECT_EQ(view.callsStartingWith("CloseProgress"),
              std::vector<std::string>{"CloseProgress(Load)"});
    // A progress position without an announcement uses the total left from before.
    reply({0x1F, 0x00, 0x32});
    EXPECT_EQ(view.callsStartingWith("StepProgress").back(), "StepProgress(Load,50,25)");
    // A total of 0 shows 0 rather than dividing by zero.
    reply({0x1E, 0x00, 0x00});
    reply({0x1F, 0x00, 0x05});
    EXPECT_EQ(view.callsStartingWith("StepProgress").back(), "StepProgress(Load,5,0)");

    // A yes given after the line dropped while the question was open sends nothing.
    port.written.clear();
    view.onConfirm = [this] { controller.OnPortHangup("/dev/ttyUSB0"); };
    controller.OnFactorySetting();
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(timers.running(30));
    EXPECT_EQ(outcomes.back().ending, Ending::HungUp);
}

TEST_F(Operations, TargetChoiceEnablesTheChangeOnlyForAnotherSatelliteWhichIsThenSent) {
    controller.OnTargetSelected(1);  // works without a link; the target is 0
    controller.OnTargetSelected(0);
    controller.OnTargetSelected(-1);  // nothing chosen
    controller.OnTargetSelected(20);  // past the satellite list
    controller.OnTargetChange(2);     // no link: nothing
    EXPECT_EQ(view.calls, (std::vector<std::string>{"TargetChoice(1,1)", "TargetChoice(0,0)"}));

    connected();  // the ACU reports target 1 in region (0, 0)
    controller.OnTargetChange(-1);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(outcomes.back().refusedBy, RefusedBy::Arguments);
    controller.OnTargetChange(2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"TargetChoice(0,0)", "TargetPanel(2,0,0)"}));
    EXPECT_EQ(state().data.DefaultSatIndex, 2);
    EXPECT_EQ(currentRegion(state().data).defaultSatellite, 2);
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x11, 0x02, 0x15, 0x03}));
}

TEST_F(Operations, AnUploadNeedsALoadedFileAndIsGivenUpWithoutAnAnswer) {
    const Bytes file = sifBytes(oneRegionLines());
    ASSERT_EQ(controller.loadDefaultData(file, "tasman.sif"), std::nullopt);
    connectInSetupMode();
    // Get Antenna Information forgets a loaded file: the tables then hold the ACU's data.
    controller.OnGetAntennaInformation();
    EXPECT_EQ(state().data.DefaultDataLoaded, 0);
    EXPECT_EQ(port.codes(), (std::vector<int>{2}));
    advance(1000);
    EXPECT_EQ(outcomes.back().ending, Ending::Unanswered);
    EXPECT_EQ(outcomes.back().code, 2);
    controller.updateDefaultData(0, 0);
    EXPECT_EQ(view.callsStartingWith("MessageBox"),
              std::vector<std::string>{
                  "MessageBox( Not Update Data !!! \r\n Try again after Update Data !!!, !)"});

    ASSERT_EQ(controller.loadDefaultData(file, "tasman.sif"), std::nullopt);
    controller.updateDefaultData(0, 0);  // the figures are tested with the whole upload
    EXPECT_EQ(state().BusyCursor, 1);

    // Given up without an answer (what the user is told is tested with the upload), and
    // late answers are ignored.
    advance(1000);
    reply({0x0A});
    reply({0x0B});
    EXPECT_TRUE(view.callsStartingWith("StepProgress").empty());
    EXPECT_EQ(port.codes(), (std::vector<int>{2, 10}));  // neither repeated
}

TEST_F(Operations, AQuestionOpenWhenTheLineDropsIsClosedAndItsYesActsOnNoOtherUnit) {
    const std::string hangup =
        "MessageBox(/dev/ttyUSB0 was disconnected.\r\nCheck the cable and the serial adapter."
        "\r\nThe open question was closed unanswered: nothing was sent., !)";
    struct Row {
        const char* question;
        void (AcuController::*operation)();
    };
    for (const Row& row : {Row{"Confirm( Antenna Setup mode?, OkCancel)", &AcuController::OnSetupMode},
                           Row{"Confirm(Do you want to factory default setting?, YesNo)",
                               &AcuController::OnFactorySetting}}) {
        connectInSetupMode();
        // The adapter is pulled and a unit in setup state answers on the new link before
        // the user says yes.
        view.onConfirm = [this] {
            controller.OnPortHangup("/dev/ttyUSB0");
            port.closed = false;  // opened again by the scan
            controller.StartConnection();
            reply({0x01, 0x01});
        };
        (controller.*row.operation)();
        view.onConfirm = nullptr;
        EXPECT_EQ(port.codes(), (std::vector<int>{1, 2})) << row.question;
        EXPECT_EQ(view.calls.front(), row.question);
        EXPECT_EQ(view.callsStartingWith("closeQuestion").size(), 1u) << row.question;
        EXPECT_EQ(view.callsStartingWith("MessageBox"), std::vector<std::string>{hangup});
    }
}
