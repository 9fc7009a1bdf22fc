// The in-memory cable: command bytes into the unit, replies into the program's receive
// queue, with the transport faults (split, pace, hang-up) on the manual clock.

#include "memory_link.h"
#include "sim_harness.h"

namespace {

class MemoryLinkTest : public ::testing::Test {
protected:
    MemoryLinkTest() {
        link.setOnData([this] { ++notifications; });
        link.setOnHangup([this] { ++hangups; });
    }

    void send(const Bytes& payload) {
        for (std::uint8_t byte : frameOf(payload)) EXPECT_EQ(link.WriteByte(byte), 1);
    }
    // Sends, then lets the reader see what came back, as the program does.
    void exchange(const Bytes& payload) {
        send(payload);
        link.flush();
    }
    Bytes drain() {
        Bytes got;
        std::uint8_t byte = 0;
        while (queue.get(byte)) got.push_back(byte);
        return got;
    }

    AcuSimulator acu;
    CommQueue queue;
    MemoryLink link{acu, queue};
    int notifications = 0;
    int hangups = 0;
};

TEST_F(MemoryLinkTest, ReplyLandsInTheReceiveQueueAfterTheWrite) {
    send({0x01});
    EXPECT_EQ(queue.used(), 0u);  // not inside the write: the sender starts its timer first
    link.flush();
    EXPECT_EQ(drain(), (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));
    EXPECT_EQ(notifications, 1);
}

TEST_F(MemoryLinkTest, AnAdvanceHandsOverWhatIsDueFirst) {
    send({0x01});
    link.advance(10ms);
    EXPECT_EQ(drain().size(), 6u);
    EXPECT_EQ(notifications, 1);
}

TEST_F(MemoryLinkTest, AReaderThatAnswersAtOnceGetsEveryReplyInOrder) {
    // As the program does: reply 1 makes it send command 2 from inside its reader.
    Bytes seen;
    link.setOnData([this, &seen] {
        const Bytes got = drain();
        seen.insert(seen.end(), got.begin(), got.end());
        if (got.size() > 2 && got[2] == 0x01) send({0x02});
    });
    exchange({0x01});
    ASSERT_EQ(seen.size(), 6u + 54u);
    EXPECT_EQ(Bytes(seen.begin(), seen.begin() + 6), (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));
    EXPECT_EQ(seen[6], 0x02);
    EXPECT_EQ(seen[7], 50);
    EXPECT_EQ(seen[8], 0x02);
}

TEST_F(MemoryLinkTest, UnaskedRepliesLandWhenTheyAreSent) {
    acu.settings().diagnosis.step = 100ms;
    exchange({0x15});
    drain();
    link.advance(99ms);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1ms);
    EXPECT_EQ(drain(), (Bytes{0x02, 0x02, 0x16, 0x01, 0x19, 0x03}));
}

TEST_F(MemoryLinkTest, SplitRepliesArriveInPiecesAGapApart) {
    acu.faults().splitAt = {4, 2};
    exchange({0x01});
    EXPECT_EQ(drain(), (Bytes{0x02, 0x02}));
    link.advance(4ms);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1ms);
    EXPECT_EQ(drain(), (Bytes{0x01, 0x04}));
    link.advance(5ms);
    EXPECT_EQ(drain(), (Bytes{0x07, 0x03}));
    EXPECT_EQ(notifications, 3);
}

TEST_F(MemoryLinkTest, PacedRepliesTakeTheirWireTime) {
    acu.faults().pace = true;
    send({0x01});
    EXPECT_EQ(queue.used(), 0u);
    link.advance(173us);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1us);
    EXPECT_EQ(drain(), (Bytes{0x02}));
    link.advance(694us);  // 868 us: four bytes and a bit
    EXPECT_EQ(drain(), (Bytes{0x02, 0x01, 0x04}));
    link.advance(1us);
    EXPECT_EQ(drain(), (Bytes{0x07}));
    link.advance(172us);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1us);  // 1042 us
    EXPECT_EQ(drain(), (Bytes{0x03}));
}

TEST_F(MemoryLinkTest, PacedRepliesQueueBehindEachOtherOnTheWire) {
    acu.faults().pace = true;
    send({0x02});  // 54 bytes: 9375 us
    send({0x01});  // 6 more: 1042 us
    link.advance(9374us);
    EXPECT_EQ(drain().size(), 53u);
    link.advance(10417us - 9374us);
    EXPECT_EQ(drain().size(), 7u);
}

TEST_F(MemoryLinkTest, HangsUpRightAfterTheChosenFrameWithoutAnswering) {
    acu.faults().hangupAfterFrames = 2;
    exchange({0x01});
    EXPECT_EQ(drain().size(), 6u);
    for (std::uint8_t byte : frameOf({0x0E})) link.WriteByte(byte);
    EXPECT_TRUE(link.hungUp());
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(hangups, 1);
    EXPECT_EQ(link.WriteByte(0x02), 0);
    link.advance(1s);
    EXPECT_EQ(hangups, 1);
}

TEST_F(MemoryLinkTest, HangsUpAtTheChosenMoment) {
    acu.faults().hangupAfter = 1500ms;
    link.advance(1499ms);
    EXPECT_FALSE(link.hungUp());
    link.advance(1ms);
    EXPECT_TRUE(link.hungUp());
    EXPECT_EQ(hangups, 1);
    link.advance(10s);
    EXPECT_EQ(acu.now(), 11500ms);
}

TEST_F(MemoryLinkTest, HangupDropsWhatIsStillOnTheWire) {
    acu.faults().pace = true;
    send({0x02});
    link.advance(1ms);
    link.hangUp();
    link.advance(1s);
    EXPECT_EQ(drain().size(), 5u);  // 1000 us of wire time
    EXPECT_EQ(link.pendingBytes(), 0u);
}

TEST_F(MemoryLinkTest, AClosedPortTakesNothingUntilReopened) {
    link.ClosePort();
    EXPECT_EQ(link.WriteByte(0x02), 0);
    acu.announceDefaultData();
    EXPECT_EQ(queue.used(), 0u);
    link.reopen();
    exchange({0x01});
    EXPECT_EQ(drain().size(), 6u);
}

TEST_F(MemoryLinkTest, BytesTheQueueCannotTakeWaitForRoom) {
    // 8191 bytes fill the ring; status replies are 29 bytes each.
    for (int i = 0; i < 283; ++i) send({0x0E});
    link.flush();
    EXPECT_EQ(queue.used(), 282u * 29u);
    EXPECT_EQ(link.pendingBytes(), 29u);
    drain();
    link.advance(1ms);
    EXPECT_EQ(queue.used(), 29u);
    EXPECT_EQ(link.pendingBytes(), 0u);
}

}  // namespace
