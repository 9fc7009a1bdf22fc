#include "data/sif_text.h"
#include "lcd/lcd_data.h"
#include "support/link_fixture.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class Exchanges : public LinkFixture {
protected:
    // The (continent, region) of every region record written, in order.
    std::vector<std::pair<int, int>> regionsSent(int code) const {
        std::vector<std::pair<int, int>> sent;
        for (const Bytes& payload : port.payloads()) {
            if (payload[0] == code) sent.emplace_back(payload[1], payload[2]);
        }
        return sent;
    }
    // A file of the scope line given with oneRegionLines()'s region block at each place, and
    // its two satellites, loaded.
    void load(const std::string& scope, const std::vector<std::pair<int, int>>& places) {
        std::vector<std::string> lines = oneRegionLines();
        lines[7] = scope;
        std::vector<std::string> block(lines.begin() + 8, lines.begin() + 15);
        auto at = lines.erase(lines.begin() + 8, lines.begin() + 15);
        for (const auto& [continent, region] : places) {
            block[1] = std::to_string(continent) + " " + std::to_string(region);
            at = lines.insert(at, block.begin(), block.end()) + 7;
        }
        ASSERT_EQ(controller.loadDefaultData(sifBytes(lines), "t.sif"), std::nullopt);
    }
    void put(const Bytes& bytes) {
        ASSERT_TRUE(queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    }
    // Answers every command of the upload with its one-byte reply until the chain stops.
    void acknowledgeUntilQuiet() {
        for (std::size_t answered = 0; answered < port.payloads().size(); ++answered) {
            reply({port.payloads()[answered][0]});
        }
    }
};

}  // namespace

TEST_F(Exchanges, AnUploadSendsTheRegionsOfItsScopeInOrderThenTheSatellites) {
    using Regions = std::vector<std::pair<int, int>>;
    const struct {
        const char* scope;
        Regions places;
        Regions regions;
        std::vector<int> codes;
        const char* lastStep;
    } cases[] = {
        // Nine steps of five announced: the figure runs past 100, as continents without regions
        // still have their region 0 sent.
        {"12 2 0 0 0 0 1",
         Regions{{0, 0}, {0, 1}, {5, 0}},
         Regions{{0, 0}, {0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}},
         {10, 11, 11, 11, 11, 11, 11, 11, 12, 12, 13},
         "StepProgress(Update,9,180)"},
        {"8 3",
         Regions{{2, 0}, {2, 1}, {2, 2}},
         Regions{{2, 0}, {2, 1}, {2, 2}},
         {10, 11, 11, 11, 12, 12, 13},
         "StepProgress(Update,5,100)"},
    };
    connectInSetupMode();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastStep);
        load(c.scope, c.places);
        forget();
        controller.updateDefaultData(2, -1);
        acknowledgeUntilQuiet();
        EXPECT_EQ(regionsSent(11), c.regions);
        EXPECT_EQ(port.codes(), c.codes);
        EXPECT_EQ(view.callsStartingWith("OpenProgress"),
                  std::vector<std::string>{"OpenProgress(Update,5)"});
        EXPECT_EQ(view.callsStartingWith("StepProgress").back(), c.lastStep);
        EXPECT_EQ(view.callsStartingWith("CloseProgress"),
                  std::vector<std::string>{"CloseProgress(Update)"});
    }
}

TEST_F(Exchanges, TheAcusOwnChainEndsByIdentifyingItAgain) {
    load("3 7", {{3, 7}});  // one region: continent 3, region 7
    reply({0x06});
    acknowledgeUntilQuiet();
    EXPECT_EQ(regionsSent(7), (std::vector<std::pair<int, int>>{{3, 7}}));
    EXPECT_EQ(port.codes(), (std::vector<int>{7, 8, 8, 9}));
    EXPECT_EQ(state().BusyCursor, 1);
    advance(1000);  // the link check resumes through its timer
    EXPECT_EQ(port.codes().back(), 1);
}

TEST_F(Exchanges, DiagnosisLampsFollowTheItems) {
    const std::uint32_t& lamps = state().antenna.DiagLamps;
    connectInSetupMode();
    controller.OnDiagnosisStartStop();
    reply({0x15});
    EXPECT_EQ(lamps, 0u);

    reply({0x16, 0x01});  // item 1 under test: bits 19..18 = 01
    EXPECT_EQ(lamps, 0x40000u);
    reply({0x17, 0x01, 'P'});  // passed: 10
    EXPECT_EQ(lamps, 0x80000u);
    reply({0x16, 0x0A});
    reply({0x17, 0x0A, 'F'});  // item 10 failed: bits 1..0 = 11
    EXPECT_EQ(lamps, 0x80003u);
    reply({0x17, 0x0C, 'P'});  // no item 12: nothing changes, the lamps are redrawn
    EXPECT_EQ(lamps, 0x80003u);
    reply({0x16, 0x01});  // the under-test bit ORed into "passed" reads "failed"
    EXPECT_EQ(view.callsStartingWith("DiagLamps").back(), "DiagLamps(786435)");

    // Item 7 (bits 7..6) is the skew test: ignored for a model 1 or a skewless antenna.
    // The product reply says model 1, then model 2 and skewless.
    for (const auto& [model, skewless] : {std::pair<std::uint8_t, std::uint8_t>{1, 0}, {2, 1}}) {
        Bytes product = productInfoReply();
        product[2] = model;
        product[3] = skewless;
        reply(product);
        view.calls.clear();
        reply({0x16, 0x07});
        reply({0x17, 0x07, 'F'});
        EXPECT_EQ(lamps, 0xC0003u);
        EXPECT_TRUE(view.calls.empty());
    }
    reply(productInfoReply());  // model 3
    reply({0x17, 0x07, 'P'});
    EXPECT_EQ(lamps, 0xC0083u);

    reply({0x16, 0x0B});  // end of the test: the program stops it
    EXPECT_EQ(port.payloads().back(), (Bytes{0x18}));
    reply({0x18});
    EXPECT_EQ(state().DiagIdle, 1);
    EXPECT_FALSE(timers.running(24));
    EXPECT_EQ(view.callsStartingWith("DiagIdle"), std::vector<std::string>{"DiagIdle(1)"});
    EXPECT_EQ(view.callsStartingWith("StateLamps").back(), "StateLamps(6)");
    // Started, then the run to its stop, with the results in the lamp word.
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].operation, Operation::DiagnosisStart);
    EXPECT_EQ(outcomes[1].operation, Operation::Diagnosis);
    EXPECT_EQ(outcomes[1].value, 0xC0083u);
}

TEST_F(Exchanges, LcdReadRunsInFiveChainedPieces) {
    connectInSetupMode();
    controller.OnLcdRead();
    reply(concat({{38}, Bytes(20, 'A')}));
    reply(concat({{39}, Bytes(80, 'B')}));
    reply(concat({{40}, Bytes(80, 'C')}));
    reply(concat({{41}, Bytes(80, 'D')}));
    reply(concat({{42}, Bytes(12, 'E')}));
    EXPECT_EQ(port.codes(), (std::vector<int>{38, 39, 40, 41, 42}));
    EXPECT_EQ(bytesOf(state().LcdData), concat({Bytes(20, 'A'), Bytes(80, 'B'), Bytes(80, 'C'),
                                                Bytes(80, 'D'), Bytes(12, 'E')}));
    const auto calls = view.calls;
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"LcdData()", "BusyCursor(0)",
                                        "MessageBox( LCD display data read complete !!! )"}));
    EXPECT_EQ(outcomes.back().operation, Operation::LcdRead);
    EXPECT_EQ(outcomes.back().ending, Ending::Done);
}

TEST_F(Exchanges, RepliesAreTakenAsTheyArriveEvenFromInsideABoxAndCompletionsSaySo) {
    for (int id : {18, 19, 20, 25, 26, 27, 28, 29}) timers.start(id, 1000ms);
    // Only the bytes present at a notification are taken, and a part frame waits for the rest.
    deliver({0x02, 0x01, 0x19});
    EXPECT_TRUE(timers.running(25));
    put({0x1A, 0x03});
    controller.OnCommRead();
    put({0x02, 0x01, 0x1A, 0x1B, 0x03});  // arrives after: left for its own notification
    EXPECT_FALSE(timers.running(25));
    EXPECT_TRUE(timers.running(26));
    controller.OnCommRead();
    EXPECT_FALSE(timers.running(26));

    // While the box of reply 29 is open the event loop delivers the next notification:
    // a reply 18 and the first half of a reply 27.
    int nested = 0;
    view.onMessageBox = [&](const std::string&) {
        if (nested++ > 0) return;
        put({0x02, 0x01, 0x12, 0x13, 0x03, 0x02, 0x01});
        controller.OnCommRead();
    };
    reply({29});
    EXPECT_FALSE(timers.running(18));
    deliver({0x1B, 0x1C, 0x03});  // the rest of reply 27
    for (std::uint8_t code : {19, 20, 28}) reply({code});
    for (int id : {18, 19, 20, 27, 28, 29}) EXPECT_FALSE(timers.running(id)) << id;
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(view.callsStartingWith("MessageBox").size(), 4u);  // 29, 18, 19 and 20 say so
}
