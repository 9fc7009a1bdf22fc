// Each fault the unit itself applies does what it says; the transport faults (split, pace,
// hang-up) are tested with the links that apply them.

#include "sim_harness.h"

namespace {

class Faults : public SimHarness {};

TEST_F(Faults, SilentUnitNeverAnswersNorStartsAnything) {
    acu.faults().silent = true;
    for (std::uint8_t code : {1, 2, 14, 21, 30}) command({code});
    acu.advance(30s);
    acu.announceDefaultData();
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(acu.framesReceived(), 0u);
    EXPECT_FALSE(acu.diagnosisRunning());
}

TEST_F(Faults, IgnoresTheCountedCommandsOfOneCodeWithoutActingOnThem) {
    acu.faults().ignoreNext(14, 2);
    acu.faults().ignoreNext(17);
    acu.faults().ignoreNext(1, SimFaults::kEvery);
    for (int i = 0; i < 100; ++i) command({0x01});
    command({0x0E});
    command({0x0F});
    command({0x0E});
    command({0x0E});
    command({0x11, 0x04});
    EXPECT_EQ(acu.state().current.record.defaultSatellite, 1);
    EXPECT_EQ(codes(), (std::vector<int>{15, 14}));
    EXPECT_EQ(acu.framesReceived(), 105u);
    command({0x11, 0x04});
    EXPECT_EQ(acu.state().current.record.defaultSatellite, 4);
}

TEST_F(Faults, CorruptsTheChecksumOfTheNextReplyOfACodeOrOfEveryReplyAndSendsGarbage) {
    acu.faults().corruptNext(1);
    command({0x14, 0x00});
    command({0x01});
    command({0x01});
    acu.faults().corruptAll = true;
    command({0x0F});
    acu.faults().corruptAll = false;
    acu.faults().garbage = true;
    command({0x0F});
    EXPECT_EQ(out, concat({{0x02, 0x01, 0x14, 0x15, 0x03},
                           {0x02, 0x02, 0x01, 0x04, 0x08, 0x03},  // one off
                           {0x02, 0x02, 0x01, 0x04, 0x07, 0x03},
                           {0x02, 0x01, 0x0F, 0x11, 0x03},
                           {0x00, 0xFF, 0x55, 0x03, 0xAA},  // garbage before every reply
                           {0x02, 0x01, 0x0F, 0x10, 0x03}}));
}

TEST_F(Faults, DelayedRepliesAskedOrNotComeAfterTheDelayInOrder) {
    acu.faults().replyDelay = 300ms;
    command({0x01});
    acu.advance(100ms);
    command({0x0F});
    EXPECT_EQ(acu.delayedReplies(), 2u);
    acu.advance(199ms);
    EXPECT_TRUE(out.empty());
    acu.advance(1ms);
    EXPECT_EQ(codes(), (std::vector<int>{1}));
    acu.advance(100ms);
    EXPECT_EQ(codes(), (std::vector<int>{1, 15}));

    out.clear();
    acu.settings().diagnosis.step = 100ms;
    command({0x15});  // at 400 ms: the reply out at 700, the first item at 800
    acu.advance(399ms);
    EXPECT_EQ(codes(), (std::vector<int>{21}));
    acu.advance(1ms);
    EXPECT_EQ(codes(), (std::vector<int>{21, 22}));
}

}  // namespace
