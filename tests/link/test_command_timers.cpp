#include "link/link_state.h"
#include "support/link_fixture.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class CommandTimers : public LinkFixture {};

}  // namespace

TEST_F(CommandTimers, SixSilentLinkChecksTurnTheLampRedAndGiveUpOnlyAPortTheScanOpened) {
    controller.StartConnection();  // from Connect: the port stays open
    advance(5999);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(view.callsStartingWith("DrawConnectLamp").empty());
    advance(10000);
    EXPECT_EQ(port.codes().size(), 6u);
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp"),
              std::vector<std::string>{"DrawConnectLamp(1)"});
    EXPECT_FALSE(timers.running(1));
    EXPECT_EQ(g_BusyCursor, 0);
    EXPECT_EQ(g_Connected, 1);
    EXPECT_FALSE(port.closed);
    EXPECT_TRUE(view.callsStartingWith("skipSilentPort").empty());

    // The start-up tick draws grey, then the scan runs after 100 ms and every second after.
    port.written.clear();
    view.calls.clear();
    timers.start(0, 10ms);
    advance(10);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"DrawSerialBox(0)", "DrawConnectLamp(0)",
                                                    "DrawStateLamps(0)"}));
    EXPECT_FALSE(timers.running(0));
    EXPECT_EQ(timers.period(100), 100ms);
    advance(100);
    EXPECT_EQ(timers.period(100), 1000ms);
    // A port the scan opened (it connects before it returns 1) is closed after six silent
    // checks, and the next port tried a second later. Red is drawn after the close's grey.
    controller.StartConnection();
    view.scanResult = 1;
    advance(1000);
    EXPECT_FALSE(timers.running(100));
    EXPECT_EQ(view.callsStartingWith("ScanAndConnect").size(), 2u);
    view.scanResult = 0;
    view.calls.clear();
    advance(5000);
    EXPECT_EQ(port.codes(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp"),
              (std::vector<std::string>{"DrawConnectLamp(0)", "DrawConnectLamp(1)"}));
    EXPECT_EQ(view.callsStartingWith("skipSilentPort").size(), 1u);
    EXPECT_TRUE(port.closed);
    EXPECT_EQ(g_Connected, 0);
    EXPECT_EQ(timers.period(100), 1000ms);
}

TEST_F(CommandTimers, EachIdFollowsItsPolicy) {
    // Repeating commands go out again every period until their reply.
    for (int id : {14, 21, 24, 30, 33, 38, 42}) {
        port.written.clear();
        timers.start(id, 1000ms);
        advance(3000);
        EXPECT_EQ(port.codes(), (std::vector<int>(3, id))) << id;
        timers.stop(id);
    }
    // Commands sent once: the timer only bounds the wait.
    for (int id : {7, 9, 10, 13}) {
        port.written.clear();
        timers.start(id, 1000ms);
        advance(3000);
        EXPECT_TRUE(port.written.empty()) << id;
        EXPECT_FALSE(timers.running(id)) << id;
    }
    // Reply-only ids never send anything, even if started.
    port.written.clear();
    for (int id : {5, 6, 22, 23, 31, 32, 43, 99}) timers.start(id, 1000ms);
    advance(3000);
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(CommandTimers, ALostIdentificationReplyEndsTheWaitAndSaysWhichAnswerIsMissing) {
    const std::string retry = ".\r\nPress \"Get Antenna Information\" to try again., !)";
    controller.StartConnection();
    reply({0x01, 0x01});  // setup state: red, and the wait cursor ends while identification goes on
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp"),
              std::vector<std::string>{"DrawConnectLamp(1)"});
    EXPECT_EQ(g_SetupMode, 1);
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
    EXPECT_FALSE(timers.running(4));
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
    EXPECT_EQ(g_Connected, 0);
    EXPECT_EQ(g_BusyCursor, 0);
    for (int id = 1; id <= 42; ++id) EXPECT_FALSE(timers.running(id)) << id;
    EXPECT_EQ(timers.period(100), 1000ms);  // the scan reconnects when the port is back
    EXPECT_EQ(view.callsStartingWith("showConnectionControls"),
              (std::vector<std::string>{"showConnectionControls(1)", "showConnectionControls(0)"}));
    EXPECT_EQ(view.callsStartingWith("DrawSerialBox"),
              (std::vector<std::string>{"DrawSerialBox(1)", "DrawSerialBox(0)"}));
    // Nothing is connected: no lamp may go on claiming an antenna state.
    EXPECT_EQ(view.callsStartingWith("DrawConnectLamp"),
              std::vector<std::string>{"DrawConnectLamp(0)"});
    EXPECT_EQ(view.callsStartingWith("DrawStateLamps"),
              std::vector<std::string>{"DrawStateLamps(0)"});
    EXPECT_EQ(view.callsStartingWith("MessageBox"),
              std::vector<std::string>{"MessageBox(/dev/ttyUSB0 was disconnected.\r\nCheck the "
                                       "cable and the serial adapter., !)"});
    // Reported once: a second report after the disconnect changes nothing.
    controller.OnPortHangup("/dev/ttyUSB0");
    EXPECT_EQ(view.callsStartingWith("MessageBox").size(), 1u);
}
