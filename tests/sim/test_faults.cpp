// Each fault that the unit itself applies does what it says; the transport faults
// (split, pace, hang-up) are tested with the links that apply them.

#include "link/frame_assembler.h"
#include "sim_harness.h"

namespace {

class Faults : public SimHarness {};

TEST_F(Faults, SilentUnitNeverAnswersNorStartsAnything) {
    acu.faults().silent = true;
    for (std::uint8_t code : {1, 2, 14, 21, 30}) command({code});
    acu.advance(30s);
    acu.announceDefaultData();
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(acu.framesReceived(), 0u);
    EXPECT_FALSE(acu.diagnosisRunning());
}

TEST_F(Faults, IgnoresTheNextCommandsOfACodeOnly) {
    acu.faults().ignoreNext(14, 2);
    command({0x0E});
    command({0x01});
    command({0x0E});
    command({0x0E});
    EXPECT_EQ(codes(), (std::vector<int>{1, 14}));
    EXPECT_EQ(acu.framesReceived(), 4u);
}

TEST_F(Faults, IgnoredCommandsChangeNothing) {
    acu.faults().ignoreNext(17);
    command({0x11, 0x04});
    EXPECT_EQ(acu.state().current.record.defaultSatellite, 1);
    command({0x11, 0x04});
    EXPECT_EQ(acu.state().current.record.defaultSatellite, 4);
}

TEST_F(Faults, IgnoringEveryCommandOfACodeNeverRunsOut) {
    acu.faults().ignoreNext(1, SimFaults::kEvery);
    for (int i = 0; i < 100; ++i) command({0x01});
    command({0x0F});
    EXPECT_EQ(codes(), (std::vector<int>{15}));
}

TEST_F(Faults, CorruptsTheChecksumOfTheNextReplyOfACode) {
    acu.faults().corruptNext(1);
    command({0x14, 0x00});
    command({0x01});
    command({0x01});
    EXPECT_EQ(output(), concat({{0x02, 0x01, 0x14, 0x15, 0x03},
                                {0x02, 0x02, 0x01, 0x04, 0x08, 0x03},  // one off
                                {0x02, 0x02, 0x01, 0x04, 0x07, 0x03}}));
}

TEST_F(Faults, CorruptsEveryReplyWhenAskedTo) {
    acu.faults().corruptAll = true;
    command({0x01});
    command({0x0F});
    EXPECT_EQ(output(),
              concat({{0x02, 0x02, 0x01, 0x04, 0x08, 0x03}, {0x02, 0x01, 0x0F, 0x11, 0x03}}));
}

TEST_F(Faults, ACorruptedReplyIsDroppedByTheProgramsAssembler) {
    acu.faults().corruptNext(14);
    command({0x0E});
    FrameAssembler assembler;
    int frames = 0;
    int dropped = 0;
    for (std::uint8_t byte : output()) {
        const auto result = assembler.push(byte);
        frames += result == FrameAssembler::Result::Frame;
        dropped += result == FrameAssembler::Result::Dropped;
    }
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(dropped, 1);
}

TEST_F(Faults, GarbageGoesOutBeforeEveryReplyAndTheFrameIsStillFound) {
    acu.faults().garbage = true;
    command({0x01});
    command({0x0F});
    EXPECT_EQ(writes, (std::vector<Bytes>{{0x00, 0xFF, 0x55, 0x03, 0xAA},
                                          {0x02, 0x02, 0x01, 0x04, 0x07, 0x03},
                                          {0x00, 0xFF, 0x55, 0x03, 0xAA},
                                          {0x02, 0x01, 0x0F, 0x10, 0x03}}));
    FrameAssembler assembler;
    std::vector<Bytes> found;
    for (std::uint8_t byte : output()) {
        if (assembler.push(byte) == FrameAssembler::Result::Frame)
            found.push_back(bytesOf(assembler.payload()));
    }
    EXPECT_EQ(found, (std::vector<Bytes>{{0x01, 0x04}, {0x0F}}));
}

TEST_F(Faults, DelayedRepliesComeAfterTheDelayInOrder) {
    acu.faults().replyDelay = 300ms;
    command({0x01});
    acu.advance(100ms);
    command({0x0F});
    EXPECT_EQ(acu.delayedReplies(), 2u);
    acu.advance(199ms);
    EXPECT_TRUE(writes.empty());
    acu.advance(1ms);
    EXPECT_EQ(codes(), (std::vector<int>{1}));
    acu.advance(99ms);
    EXPECT_EQ(codes(), (std::vector<int>{1}));
    acu.advance(1ms);
    EXPECT_EQ(codes(), (std::vector<int>{1, 15}));
}

TEST_F(Faults, DelayHoldsBackUnaskedRepliesToo) {
    acu.faults().replyDelay = 250ms;
    acu.settings().diagnosis.step = 100ms;
    command({0x15});
    acu.advance(349ms);
    EXPECT_EQ(codes(), (std::vector<int>{21}));  // sent at 0, out at 250
    acu.advance(1ms);
    EXPECT_EQ(codes(), (std::vector<int>{21, 22}));  // sent at 100, out at 350
}

TEST(FaultCounts, HangupIsDueAfterTheFramesOrTheTime) {
    SimFaults faults;
    EXPECT_FALSE(faults.hangupDue(1000, 1h));
    faults.hangupAfterFrames = 3;
    EXPECT_FALSE(faults.hangupDue(2, 0ms));
    EXPECT_TRUE(faults.hangupDue(3, 0ms));
    faults.hangupAfterFrames.reset();
    faults.hangupAfter = 1500ms;
    EXPECT_FALSE(faults.hangupDue(0, 1499ms));
    EXPECT_TRUE(faults.hangupDue(0, 1500ms));
}

TEST(FaultCounts, WireTimeIsTenBitsAByteAt57600Baud) {
    EXPECT_EQ(SimFaults::wireTime(1), 174us);   // 173.6 rounded up
    EXPECT_EQ(SimFaults::wireTime(6), 1042us);  // 1041.7
    EXPECT_EQ(SimFaults::wireTime(54), 9375us);
    EXPECT_EQ(SimFaults::wireTime(5760), 1s);
}

}  // namespace
