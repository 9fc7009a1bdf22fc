#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "data/sif_text.h"
#include "support/link_fixture.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class DefaultDataUpload : public LinkFixture {
protected:
    void load() {
        ASSERT_EQ(controller.loadDefaultData(sifBytes(oneRegionLines()), "t.sif"), std::nullopt);
    }
    // In setup mode, both selectors on their first entry.
    void startUpload() {
        reply({0x10, 0x06, '+', 0, 0, '+', 0, 0, '+', 0, 0});
        controller.updateDefaultData(0, 0);
    }
};

// The region and the two satellites of oneRegionLines(), as commands 11 and 12 carry them.
const Bytes kTasmanRecord = {
    0x0B, 0x02, 0x07,                                                    // code, continent, region
    'T',  'A',  'S',  'M',  'A',  'N',  ' ',  ' ',  ' ', ' ', ' ', ' ',  // name
    0x02, 0x01, 0x01, 0x02,                                              // count, default, list 1 2
    0x01, 0x29, 0xFE, 0x26, 0x16, 0x29, 0x68, 0x02,  // Universal 10750 9750 10600
    0x00, 0x96, 0x00, 0x3C, 0x00, 0x28,              // 1.50 60 40
    0x00, 0xAF, 0x00, 0x41, 0x00, 0x2D,              // 1.75 65 45
    0x00, 0xC8, 0x00, 0x46, 0x00, 0x32,              // 2.00 70 50
    '-',  0x00, 0xFA, '+',  0x00, 0x78,              // EL -2.50, skew +1.20
    0x00, 0x0A, 0x00, 0x1E,                          // lost 10, break 30
    0x3E, 0x80, 'E',  0x0F, 0x0A, 'S',               // 160.00 E, 38.50 S
};
const Bytes kAlphaRecord = {
    0x0C, 0x01, 'A',  'L',  'P',  'H',  'A',  ' ',  ' ',  ' ',  ' ',  ' ',   // code, number, name
    0x05, 0x14, 'E',                                                         // 130.0 E
    0x2C, 0xCE, 0x6B, 0x6C, 0x00, 0x65, 0x2F, 0x4E, 0x6B, 0x6C, 0x00, 0x65,  // V 11470, 12110
    0x2C, 0x7E, 0x6B, 0x6C, 0x00, 0x65, 0x2F, 0xA8, 0x6B, 0x6C, 0x00, 0x65,  // H 11390, 12200
    0x01, 0x00, 0x02,  // DVB Lock, Pol Auto, 22 kHz only
};
const Bytes kBetaRecord = {
    0x0C, 0x02, 'B',  'E',  'T',  'A',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  // code, number, name
    0x01, 0xE0, 'W',                                                        // 48.0 W
    0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06, 0x00, 0x07,
    0x00, 0x08, 0x00, 0x09, 0x00, 0x0A, 0x00, 0x0B, 0x00, 0x0C, 0x00, 0x01, 0x01,
};

}  // namespace

TEST_F(DefaultDataUpload, TheLoadedFileGoesOutRecordByRecordWhateverTheACUReported) {
    load();
    // Connected after loading: reply 3 names the loaded region with its own record and a
    // count of 5 Oceania regions, and reply 14 reports the antenna's GPS position.
    connect();
    reply(regionReply(2, 7));
    reply(statusReply());
    port.written.clear();
    startUpload();
    for (std::size_t answered = 0; answered < port.payloads().size(); ++answered) {
        reply({port.payloads()[answered][0]});  // each command's one-byte answer
    }
    EXPECT_EQ(port.payloads(), (std::vector<Bytes>{{0x0A, 0x04, 0xB3, 0, 0, 0, 0, 0, 0, 0x00, 0x00},
                                                   kTasmanRecord,
                                                   kAlphaRecord,
                                                   kBetaRecord,
                                                   {0x0D}}));
    EXPECT_EQ(view.callsStartingWith("StepProgress").back(), "StepProgress(Update,3,100)");
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].operation, Operation::Upload);
    EXPECT_EQ(outcomes[0].ending, Ending::Done);
    EXPECT_EQ(outcomes[0].value, 3u);  // records acknowledged
}

TEST(DefaultDataSelectors, ChoosingAContinentMakesItsRegionZeroCurrent) {
    SatelliteData data;
    data.RegionMode = 12;
    data.RegionCount = {2, 0, 0, 0, 0, 1};
    mutableRegionRecord(data, 5, 0)->defaultSatellite = 3;
    const auto regions = chooseContinent(data, 5);
    ASSERT_TRUE(regions);
    EXPECT_EQ(data.CurContinent, 5);
    EXPECT_EQ(data.CurRegion, 0);
    EXPECT_EQ(data.DefaultSatIndex, 3);
    EXPECT_FALSE(chooseContinent(data, 6));
}

// Giving up closes the progress and frees the window at any step (the operations test);
// the message names the step.
TEST_F(DefaultDataUpload, AStalledUploadSaysWhichStepGotNoAnswer) {
    load();
    connect();
    struct Case {
        int answered;  // replies given before the stall: 10, 11, 12 ...
        std::uint8_t unanswered;
        const char* step;
    };
    const Case cases[] = {
        {0, 10, "the start of the update (command 10)"},
        {1, 11, "region 7 of Oceania (command 11)"},
        {2, 12, "satellite 1 of 2 (command 12)"},
        {3, 12, "satellite 2 of 2 (command 12)"},
        {4, 13, "the end of the update (command 13)"},
    };
    for (const Case& c : cases) {
        view.calls.clear();
        port.written.clear();
        startUpload();
        for (int k = 0; k < c.answered; ++k) reply({port.payloads().back()[0]});
        advance(2000);
        EXPECT_EQ(view.callsStartingWith("MessageBox"),
                  std::vector<std::string>{std::string("MessageBox( Update Default Data stopped "
                                                       "!!! \r\n The ACU did not answer ") +
                                           c.step + ". , !)"});
        ASSERT_FALSE(outcomes.empty());
        EXPECT_EQ(outcomes.back().ending, Ending::Unanswered);
        EXPECT_EQ(outcomes.back().code, c.unanswered);
    }
}

TEST_F(DefaultDataUpload, AFactoryDefaultWhoseProgressStopsEndsAfterThirtySeconds) {
    connectInSetupMode();
    controller.OnFactorySetting();
    reply({0x1E, 0x00, 0x64});
    advance(29000);
    reply({0x1F, 0x00, 0x32});  // a report starts the wait again
    advance(29000);
    EXPECT_TRUE(view.callsStartingWith("CloseProgress").empty());
    advance(1000);
    EXPECT_EQ(view.callsStartingWith("CloseProgress"),
              std::vector<std::string>{"CloseProgress(Load)"});
    EXPECT_EQ(view.callsStartingWith("MessageBox"),
              std::vector<std::string>{"MessageBox( Factory Setting stopped !!! \r\n The ACU "
                                       "reported no progress for 30 seconds. , !)"});
    EXPECT_EQ(outcomes.back().ending, Ending::Unanswered);
    EXPECT_EQ(outcomes.back().code, 31);  // the progress report that stopped coming
    EXPECT_EQ(outcomes.back().sends, 0u);

    // A reset that ends in time leaves no watch behind.
    view.calls.clear();
    reply({0x1E, 0x00, 0x64});
    reply({0x20});
    EXPECT_FALSE(timers.running(31));
    advance(60000);
    EXPECT_TRUE(view.callsStartingWith("MessageBox").empty());
}
