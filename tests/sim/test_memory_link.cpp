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

TEST_F(MemoryLinkTest, ReplyLandsAfterTheWriteSplitInPiecesAGapApartAndNotOnAClosedPort) {
    send({0x01});
    EXPECT_EQ(queue.used(), 0u);  // the sender starts its timer first
    link.flush();
    EXPECT_EQ(drain(), (Bytes{0x02, 0x02, 0x01, 0x04, 0x07, 0x03}));

    acu.faults().splitAt = {4, 2};
    send({0x01});
    link.flush();
    EXPECT_EQ(drain(), (Bytes{0x02, 0x02}));
    link.advance(4ms);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1ms);
    EXPECT_EQ(drain(), (Bytes{0x01, 0x04}));
    link.advance(5ms);
    EXPECT_EQ(drain(), (Bytes{0x07, 0x03}));
    EXPECT_EQ(notifications, 4);

    acu.faults().splitAt.clear();
    link.ClosePort();
    EXPECT_EQ(link.WriteByte(0x02), 0);
    acu.announceDefaultData();
    EXPECT_EQ(queue.used(), 0u);
    link.reopen();
    acu.announceDefaultData();  // an unasked reply, handed over on the clock
    link.advance(1ms);
    EXPECT_EQ(drain(), (Bytes{0x02, 0x01, 0x06, 0x07, 0x03}));
}

TEST_F(MemoryLinkTest, PacedRepliesTakeTheirWireTimeOneBehindTheOther) {
    acu.faults().pace = true;
    send({0x01});  // 10 bits a byte at 57600 baud: one every 173.6 us
    link.advance(173us);
    EXPECT_EQ(queue.used(), 0u);
    link.advance(1us);
    EXPECT_EQ(drain(), (Bytes{0x02}));
    link.advance(868us);  // 1042 us: the last byte
    EXPECT_EQ(drain(), (Bytes{0x02, 0x01, 0x04, 0x07, 0x03}));

    send({0x02});  // 54 bytes: 9375 us
    send({0x01});  // 6 more: 10417 us in all
    link.advance(9374us);
    EXPECT_EQ(drain().size(), 53u);
    link.advance(10417us - 9374us);
    EXPECT_EQ(drain().size(), 7u);
}

TEST_F(MemoryLinkTest, HangsUpRightAfterTheChosenFrameWithoutAnswering) {
    acu.faults().hangupAfterFrames = 2;
    int logged = 0;  // what the simulator's --log would show as sent
    acu.setFrameObserver([&logged](AcuSimulator::Direction direction, auto) {
        logged += direction == AcuSimulator::Direction::ToProgram ? 1 : 0;
    });
    send({0x01});
    link.flush();
    EXPECT_EQ(drain().size(), 6u);
    for (std::uint8_t byte : frameOf({0x0E})) link.WriteByte(byte);
    EXPECT_TRUE(link.hungUp());
    EXPECT_EQ(queue.used(), 0u);
    EXPECT_EQ(link.WriteByte(0x02), 0);
    link.advance(1s);
    EXPECT_EQ(hangups, 1);
    EXPECT_EQ(logged, 1);  // the answer to frame 1 only
}

TEST_F(MemoryLinkTest, HangsUpAtTheChosenMomentDroppingWhatIsStillOnTheWire) {
    acu.faults().pace = true;
    acu.faults().hangupAfter = 1ms;
    send({0x02});
    link.advance(999us);
    EXPECT_FALSE(link.hungUp());
    link.advance(1us);
    EXPECT_TRUE(link.hungUp());
    link.advance(1s);
    EXPECT_EQ(drain().size(), 5u);  // 1000 us of wire time
    EXPECT_EQ(link.pendingBytes(), 0u);
    EXPECT_EQ(hangups, 1);
    EXPECT_EQ(acu.now(), 1001ms);  // the unit's clock runs on
}

TEST_F(MemoryLinkTest, BytesTheQueueCannotTakeWaitForRoom) {
    for (int i = 0; i < 283; ++i) send({0x0E});  // 29 bytes each; the ring holds 8191
    link.flush();
    EXPECT_EQ(queue.used(), 282u * 29u);
    EXPECT_EQ(link.pendingBytes(), 29u);
    drain();
    link.advance(1ms);
    EXPECT_EQ(queue.used(), 29u);
    EXPECT_EQ(link.pendingBytes(), 0u);
}

}  // namespace
