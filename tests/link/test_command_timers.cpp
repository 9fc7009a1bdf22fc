// The link check and identification chain, and what each command timer does.

#include <fstream>
#include <iterator>

#include "data/satellite_edit.h"
#include "support/link_fixture.h"
#include "support/replies.h"
#include "wire/fixed_text.h"

using namespace std::chrono_literals;

namespace {

class CommandTimers : public LinkFixture {};
class Identification : public LinkFixture {};

}  // namespace

TEST_F(CommandTimers, SixSilentLinkChecksTurnTheLampRedAndGiveUpOnlyAPortTheScanOpened) {
    controller.StartConnection();  // from Connect: the port stays open
    advance(5999);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(view.callsStartingWith("ConnectLamp").empty());
    advance(10000);
    EXPECT_EQ(port.codes().size(), 6u);
    EXPECT_EQ(view.callsStartingWith("ConnectLamp"), std::vector<std::string>{"ConnectLamp(1)"});
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].operation, Operation::Connect);
    EXPECT_EQ(outcomes[0].code, 1);
    EXPECT_EQ(outcomes[0].sends, 6u);
    EXPECT_EQ(outcomes[0].waited, 6000ms);
    EXPECT_FALSE(port.closed);
    EXPECT_TRUE(view.callsStartingWith("skipSilentPort").empty());

    // The start-up tick draws the lamps grey and the serial box as the link stands, then the
    // scan runs after 100 ms and every second after.
    port.written.clear();
    view.calls.clear();
    timers.start(0, 10ms);
    advance(10);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"Connection(1)", "ConnectLamp(0)",
                                                    "StateLamps(0)"}));
    advance(100);
    EXPECT_EQ(timers.period(100), 1000ms);
    // A port the scan opened (it connects before it returns 1) is closed after six silent
    // checks, and the next port tried a second later. Red is drawn after the close's grey.
    // The scan is background work: the wait cursor never shows for it.
    controller.StartConnection(false);
    EXPECT_TRUE(view.callsStartingWith("BusyCursor(1)").empty());
    view.scanResult = 1;
    advance(1000);
    EXPECT_FALSE(timers.running(100));
    EXPECT_EQ(view.callsStartingWith("ScanAndConnect").size(), 2u);
    view.scanResult = 0;
    view.calls.clear();
    advance(5000);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(view.callsStartingWith("ConnectLamp"),
              (std::vector<std::string>{"ConnectLamp(0)", "ConnectLamp(1)"}));
    EXPECT_EQ(view.callsStartingWith("skipSilentPort").size(), 1u);
    EXPECT_TRUE(port.closed);
    EXPECT_EQ(state().Connected, 0);
}

TEST_F(CommandTimers, EachIdFollowsItsPolicy) {
    // A repeating command goes out again every period until its reply; a command sent once
    // has a timer that only bounds the wait; a reply-only id never sends anything.
    for (const auto& [id, sends] : {std::pair{14, 3}, {7, 0}, {22, 0}}) {
        port.written.clear();
        timers.start(id, 1000ms);
        advance(3000);
        EXPECT_EQ(port.codes(), (std::vector<int>(sends, id))) << id;
        timers.stop(id);
    }
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(CommandTimers, AnUnansweredCommandIsSentForTwentySecondsThenGivenUpByName) {
    const std::string tail = " seconds.\r\nIt is no longer sent. Check the ACU and try again., !)";
    struct Row {
        std::uint8_t code;
        int period;  // ms
        std::size_t sends;
        const char* name;
    };
    connectInSetupMode();
    const SatelliteForm form{1, u"A", u"1", 0, {}};
    for (const Row& row : {Row{35, 2000, 10, "LCD data write, part 3"},
                           Row{38, 10000, 2, "LCD data read start"},
                           Row{18, 1000, 20, "Edit satellite information"},
                           Row{25, 1000, 20, "Go to position"}}) {
        forget();
        if (row.code == 35) {
            controller.OnLcdWrite();
            reply({33});
            port.written.clear();
            reply({34});
        }
        if (row.code == 38) controller.OnLcdRead();
        if (row.code == 18) controller.sendEditedSatellite(form);
        if (row.code == 25) controller.OnGoToPosition(120, 30);
        advance(19999);
        EXPECT_EQ(port.codes(), std::vector<int>(row.sends, row.code)) << row.name;
        EXPECT_TRUE(view.callsStartingWith("MessageBox").empty()) << row.name;
        advance(1);
        EXPECT_FALSE(view.busyCursor) << row.name;
        EXPECT_EQ(view.callsStartingWith("MessageBox"),
                  std::vector<std::string>{"MessageBox(No answer to command " +
                                           std::to_string(row.code) + " (" + row.name +
                                           ") came from the ACU in 20" + tail})
            << row.name;
        advance(60000);
        EXPECT_EQ(port.codes().size(), row.sends) << row.name;
        // The same bytes every time, and the outcome says how often and how long.
        const std::vector<Bytes> sent = port.payloads();
        EXPECT_EQ(sent, std::vector<Bytes>(row.sends, sent.front())) << row.name;
        ASSERT_EQ(outcomes.size(), 1u) << row.name;
        EXPECT_EQ(outcomes[0].ending, Ending::Unanswered);
        EXPECT_EQ(outcomes[0].code, row.code);
        EXPECT_EQ(outcomes[0].sends, row.sends);
        EXPECT_EQ(outcomes[0].waited, 20s);
    }
    // The status poll is the background and never gives up; a restart that did gives it back.
    forget();
    controller.OnAntennaRestart();
    advance(20000);
    EXPECT_EQ(view.callsStartingWith("MessageBox").size(), 1u);
    advance(60000);
    EXPECT_EQ(port.codes().size(), 20u + 60u);
    EXPECT_EQ(view.callsStartingWith("MessageBox").size(), 1u);
}

TEST_F(CommandTimers, OnANetworkLineEachWaitFollowsTheMeasuredRoundTrip) {
    port.network = true;
    controller.StartConnection();
    EXPECT_EQ(timers.period(1), 4000ms);  // nothing measured yet
    // Every reply comes 2.5 s after its command; the waits as TCP's smoothing gives them.
    struct Step {
        Bytes reply;
        int next;
        std::chrono::milliseconds period;
    };
    const Step steps[] = {
        {{0x01, 0x04}, 2, 7500ms},        // 2500 + 4 * 1250
        {productInfoReply(), 3, 6250ms},  // variation 937.5
        {regionReply(), 4, 5313ms},       // 703.125
        {satelliteReply(0), 4, 4610ms},   // 527.34
        {satelliteReply(1), 14, 1000ms},  // the poll keeps its pace
    };
    for (const Step& step : steps) {
        advance(2500);
        reply(step.reply);
        EXPECT_EQ(timers.period(step.next), step.period) << step.next;
    }
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 2, 3, 4, 4, 14}));
    // One poll on its way at a time: the ticks meanwhile wait, and the next goes with the answer.
    advance(2000);
    EXPECT_EQ(port.codes().size(), 6u);
    advance(500);
    reply(statusReply());
    EXPECT_EQ(port.codes().size(), 7u);
    // A poll whose answer can no longer come (3687 ms) is sent again, and the waits double.
    advance(3000);
    EXPECT_EQ(port.codes().size(), 7u);
    advance(1000);
    EXPECT_EQ(port.codes().size(), 8u);
    // A repeated command goes out as often as on a wire, each time a line's wait apart.
    forget();
    controller.OnAntennaRestart();
    EXPECT_EQ(timers.period(15), 7374ms);
    advance(147479);
    EXPECT_EQ(port.codes(), std::vector<int>(20, 15));
    EXPECT_TRUE(outcomes.empty());
    advance(1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].sends, 20u);
    EXPECT_EQ(outcomes[0].waited, 147480ms);
}

TEST_F(CommandTimers, ALostIdentificationReplyEndsTheWaitAndSaysWhichAnswerIsMissing) {
    const std::string retry = ".\r\nPress \"Get Antenna Information\" to try again., !)";
    controller.StartConnection();
    reply({0x01, 0x01});  // setup state: red, and the wait cursor ends while identification goes on
    EXPECT_EQ(view.callsStartingWith("ConnectLamp"), std::vector<std::string>{"ConnectLamp(1)"});
    EXPECT_EQ(state().SetupMode, 1);
    EXPECT_FALSE(view.busyCursor);
    controller.OnGetAntennaInformation();
    advance(999);
    EXPECT_TRUE(view.busyCursor);
    advance(1);  // no reply 2: the wait ends quietly after a second, nothing is repeated
    EXPECT_FALSE(view.busyCursor);
    advance(5000);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(view.callsStartingWith("MessageBox").empty());

    controller.OnGetAntennaInformation();
    reply(productInfoReply());
    reply(regionReply(9, 0));  // no continent 9: refused, as good as lost
    advance(1000);
    EXPECT_FALSE(view.busyCursor);
    EXPECT_EQ(
        view.callsStartingWith("MessageBox"),
        std::vector<std::string>{
            "MessageBox(No valid answer to command 3 (current region) came from the ACU" + retry});

    view.calls.clear();
    controller.OnGetAntennaInformation();
    reply(productInfoReply());
    reply(regionReply());
    reply(satelliteReply(0));
    advance(2000);  // the second of two satellites never comes
    EXPECT_FALSE(view.busyCursor);
    EXPECT_EQ(view.callsStartingWith("MessageBox"),
              std::vector<std::string>{
                  "MessageBox(No valid answer to command 4 (satellite 2 of 2) came from the ACU" +
                  retry});
}

TEST_F(CommandTimers, AHangUpDisconnectsStopsEveryCommandTimerAndNamesThePort) {
    controller.StartConnection();
    for (int id : {14, 18, 29, 33, 38}) timers.start(id, 1000ms);
    reply({0x1E, 0x00, 0x64});  // a factory reset's progress is up
    const Bytes stepReply{0x02, 0x03, 0x1F, 0x00, 0x32, 0x54, 0x03};  // still queued
    ASSERT_TRUE(queue.putChunk(stepReply.data(), 7));
    controller.OnPortHangup("/dev/ttyUSB0");
    controller.OnCommRead();  // the notification that was already on its way
    EXPECT_EQ(view.callsStartingWith("CloseProgress"),
              std::vector<std::string>{"CloseProgress(Load)"});
    EXPECT_TRUE(view.callsStartingWith("StepProgress").empty());
    EXPECT_TRUE(port.closed);
    EXPECT_EQ(state().Connected, 0);
    EXPECT_EQ(outcomes.back().operation, Operation::Connect);  // the identification under way
    EXPECT_EQ(outcomes.back().ending, Ending::HungUp);
    for (int id = 1; id <= 42; ++id) EXPECT_FALSE(timers.running(id)) << id;
    EXPECT_EQ(timers.period(100), 1000ms);  // the scan reconnects when the port is back
    EXPECT_EQ(view.callsStartingWith("Connection"),
              (std::vector<std::string>{"Connection(1)", "Connection(0)"}));
    // Nothing is connected: no lamp may go on claiming an antenna state.
    EXPECT_EQ(view.callsStartingWith("ConnectLamp"), std::vector<std::string>{"ConnectLamp(0)"});
    EXPECT_EQ(view.callsStartingWith("StateLamps"), std::vector<std::string>{"StateLamps(0)"});
    EXPECT_EQ(view.callsStartingWith("MessageBox"),
              std::vector<std::string>{"MessageBox(/dev/ttyUSB0 was disconnected.\r\nCheck the "
                                       "cable and the serial adapter., !)"});
    // Reported once: a second report after the disconnect changes nothing.
    controller.OnPortHangup("/dev/ttyUSB0");
    EXPECT_EQ(view.callsStartingWith("MessageBox").size(), 1u);
}

TEST_F(Identification, ChainRunsFromLinkCheckToTheStatusPoll) {
    controller.StartConnection();
    EXPECT_EQ(port.written, (Bytes{0x02, 0x01, 0x01, 0x02, 0x03}));

    const LinkState& s = state();
    reply({0x01, 0x04});
    EXPECT_EQ(s.AntennaMode, 4);
    EXPECT_EQ(view.callsStartingWith("ConnectLamp"), std::vector<std::string>{"ConnectLamp(2)"});

    reply(productInfoReply());
    EXPECT_EQ(s.product.AntennaModel, 3);
    EXPECT_EQ(fixedTextToString(s.product.ModelName), u"SR-90 MARINE        ");
    EXPECT_EQ(fixedTextToString(s.product.SerialNumber), u"SN2026-00042");
    EXPECT_DOUBLE_EQ(s.product.AcuSwVersion, 3.5);
    EXPECT_DOUBLE_EQ(s.product.ReceiverV, 13.4);

    reply(regionReply());
    EXPECT_EQ(s.data.CurContinent, 0);
    EXPECT_EQ(regionRecord(s.data, 0, 4), europeWest());
    EXPECT_EQ(s.data.DefaultSatIndex, 1);
    EXPECT_EQ(s.data.SatelliteCount, 2);

    reply(satelliteReply(0));
    reply(satelliteReply(1));
    EXPECT_EQ(s.data.RegionSatellites[1], hotbird());
    EXPECT_EQ(s.BusyCursor, 0);
    EXPECT_EQ(view.callsStartingWith("Downloaded").size(), 1u);
    EXPECT_EQ(port.payloads(), (std::vector<Bytes>{{1}, {2}, {3}, {4, 0}, {4, 1}, {14}}));
    // The edit copy and the parameters are the ACU's region's, for its model 3.
    EXPECT_EQ(s.data.EditSatellites[1], hotbird());
    EXPECT_DOUBLE_EQ(s.parameters.ParTrackingScale, 0.75);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].operation, Operation::Connect);
    EXPECT_EQ(outcomes[0].ending, Ending::Done);

    // The poll goes on every second without an answer, and each answer keeps it going.
    advance(3000);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 2, 3, 4, 4, 14, 14, 14, 14}));
    // In setup mode, as reply 16 leaves it, and a status says the ACU left it.
    reply({0x10, 0x06, '+', 0, 0, '+', 0, 0, '+', 0, 0});
    view.calls.clear();
    reply(statusReply());
    EXPECT_TRUE(timers.running(14));
    EXPECT_EQ(s.antenna.SignalLevel, 600u);
    EXPECT_EQ(s.SetupMode, 0);
    EXPECT_EQ(regionRecord(s.data, 0, 4), europeWest());
    EXPECT_EQ(view.calls, (std::vector<std::string>{
                              "StateLamps(4)", "GpsLamps(1)", "TargetPanel(1,0,4)",
                              "RegionGps(0,4)", "CurrentPosition(180.50,45.50,-3.25)"}));
}

TEST_F(Identification, ShortRepliesAndRepliesPointingOutsideTheTablesChangeNothing) {
    const LinkState& s = state();
    reply(statusReply());
    ASSERT_DOUBLE_EQ(s.antenna.CurrentAz, 180.5);
    view.calls.clear();
    // Reply 14 with LEN 3: the rest of the buffer still holds the earlier status.
    reply({0x0E, 0x07, 0x02});
    EXPECT_EQ(s.data.DefaultSatIndex, 1);
    EXPECT_EQ(s.AntennaMode, 4);
    Bytes shortProduct = productInfoReply();
    shortProduct.resize(49);
    reply(shortProduct);
    EXPECT_EQ(s.product.AntennaModel, 0);
    reply({0x16});        // reply 22 without its item
    reply({0x1E, 0x00});  // reply 30 without the low byte of its total
    EXPECT_TRUE(view.calls.empty());

    const auto tablesBefore = s.data.RegionTable;
    Bytes shortRegion = regionReply();
    shortRegion.pop_back();  // 61 bytes where N = 2 needs 62
    Bytes satellites21 = regionReply();
    satellites21[16] = 21;  // N, with 21 list bytes following so the length is right
    satellites21.insert(satellites21.begin() + 18, 19, 0x01);
    for (const Bytes& bad : {regionReply(6, 0), regionReply(0, 100), satellites21, shortRegion}) {
        reply(bad);
        EXPECT_EQ(s.data.RegionTable, tablesBefore);
        EXPECT_EQ(s.data.SatelliteCount, 0);
    }

    // A reply 4 before any reply 3, while a loaded file says there are 200 satellites.
    std::ifstream sample(SKYRELAY_DATA_DIR "/limits_six_continents.sif", std::ios::binary);
    ASSERT_FALSE(controller.loadDefaultData(Bytes(std::istreambuf_iterator<char>(sample), {}), ""));
    ASSERT_EQ(s.data.SatelliteCount, 200);
    const auto satellitesBefore = s.data.RegionSatellites;
    reply(satelliteReply(150));
    EXPECT_EQ(s.data.RegionSatellites, satellitesBefore);
    EXPECT_EQ(s.ReceiveSatIndex, 0);
    EXPECT_TRUE(port.written.empty());  // none of them let the chain go on

    // After reply 3, an index beyond the region's two satellites lands in entry 0.
    reply(regionReply());
    reply(satelliteReply(7));
    EXPECT_EQ(s.data.RegionSatellites[0], hotbird());
    EXPECT_EQ(s.data.RegionSatellites[7], SatelliteRecord{});
}
