// "Write" and "Read" of the LCD texts: their gates, the wait cursor and what crosses the line.

#include "lcd/lcd_data.h"
#include "support/link_fixture.h"
#include "support/replies.h"

using namespace std::chrono_literals;

namespace {

class LcdOperations : public LinkFixture {};

}  // namespace

// The setup gate's refusal text is checked with the factory setting; here, that both
// operations pass through it and need the link. The read's pieces are the exchange test's.
TEST_F(LcdOperations, WriteSendsFivePiecesAndReadWaitsTenSecondsForTheFirst) {
    controller.OnLcdWrite();
    controller.OnLcdRead();
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].refusedBy, RefusedBy::Link);
    connect();
    controller.OnLcdWrite();
    controller.OnLcdRead();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(view.calls.size(), 2u);
    EXPECT_EQ(view.callsStartingWith("MessageBox( Not Setup mode").size(), 2u);
    EXPECT_EQ(outcomes[1].refusedBy, RefusedBy::SetupGate);

    reply(statusReply(6));  // stop/setup reported by the ACU
    LcdDataBlock block{};
    for (std::size_t line = 0; line < 14; ++line) {
        for (std::size_t i = 0; i < lcdLineSize(line); ++i) {
            block[lcdLineOffset(line) + i] = static_cast<std::uint8_t>('a' + line);
        }
    }
    controller.setLcdData(block);
    controller.OnLcdWrite();
    EXPECT_TRUE(view.busyCursor);
    EXPECT_EQ(timers.period(33), 2000ms);
    advance(2000);  // unanswered: the same piece again
    for (std::uint8_t code = 33; code <= 36; ++code) reply({code});
    EXPECT_TRUE(view.busyCursor);
    reply({37});
    EXPECT_FALSE(view.busyCursor);
    EXPECT_EQ(outcomes.back().operation, Operation::LcdWrite);
    EXPECT_EQ(outcomes.back().ending, Ending::Done);
    // 37 cm: Single/Initialize, Multi/Initialize, Single/Version, Multi/Version.
    const Bytes first = concat({{33}, Bytes(20, 'a')});
    EXPECT_EQ(port.payloads(),
              (std::vector<Bytes>{
                  first, first,
                  concat({{34}, Bytes(20, 'b'), Bytes(20, 'c'), Bytes(20, 'd'), Bytes(20, 'e')}),
                  concat({{35}, Bytes(20, 'f'), Bytes(20, 'g'), Bytes(20, 'h'), Bytes(20, 'i')}),
                  concat({{36}, Bytes(20, 'j'), Bytes(20, 'k'), Bytes(20, 'l'), Bytes(20, 'm')}),
                  concat({{37}, Bytes(12, 'n')})}));

    port.written.clear();
    controller.OnLcdRead();
    EXPECT_TRUE(view.busyCursor);
    EXPECT_EQ(port.payloads(), std::vector<Bytes>{Bytes{38}});
    EXPECT_EQ(timers.period(38), 10000ms);
}
