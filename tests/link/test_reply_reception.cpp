#include "link/link_state.h"
#include "support/link_fixture.h"

using namespace std::chrono_literals;

namespace {

class ReplyReception : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        timers.start(25, 1000ms);
        timers.start(26, 1000ms);
    }
    void put(const Bytes& bytes) {
        ASSERT_TRUE(queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    }
};

}  // namespace

TEST_F(ReplyReception, TakesOnlyTheBytesPresentAtTheNotificationAndKeepsAPartFrame) {
    deliver({0x02, 0x01, 0x19});
    EXPECT_TRUE(timers.running(25));
    put({0x1A, 0x03});
    controller.OnCommRead();
    put({0x02, 0x01, 0x1A, 0x1B, 0x03});  // arrives after: left for its own notification
    EXPECT_FALSE(timers.running(25));
    EXPECT_TRUE(timers.running(26));
    controller.OnCommRead();
    EXPECT_FALSE(timers.running(26));
    EXPECT_EQ(queue.used(), 0u);
}

TEST_F(ReplyReception, AMessageBoxThatDeliversMoreFramesKeepsAssemblyConsistent) {
    // While the box of reply 29 is open the event loop delivers the next notification:
    // a reply 18 and the first half of a reply 26.
    int nested = 0;
    view.onMessageBox = [&](const std::string&) {
        if (nested++ > 0) return;
        put({0x02, 0x01, 0x12, 0x13, 0x03, 0x02, 0x01});
        controller.OnCommRead();
    };
    timers.start(29, 1000ms);
    timers.start(18, 1000ms);
    deliver({0x02, 0x01, 0x1D, 0x1E, 0x03});
    EXPECT_FALSE(timers.running(29));
    EXPECT_FALSE(timers.running(18));
    EXPECT_EQ(
        view.callsStartingWith("MessageBox"),
        (std::vector<std::string>{"MessageBox( Set Antenna Parameter Complete !!! , !)",
                                  "MessageBox( Edit Satellite Information Complete !!! , !)"}));
    deliver({0x1A, 0x1B, 0x03});  // the rest of reply 26
    EXPECT_FALSE(timers.running(26));
}
