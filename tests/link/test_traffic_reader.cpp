// Reading back the traffic lines of a trace, a saved Traffic Monitor and the simulator's log.

#include <gtest/gtest.h>

#include "link/traffic_reader.h"
#include "support/bytes.h"

namespace {

TrafficReading read(const std::string& text) {
    return readTrafficText({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

}  // namespace

TEST(TrafficReader, TakesTimeDirectionAndBytesAndTellsWhatTheProgramMadeOfThem) {
    const TrafficReading reading = read(
        "     0.000000 ------   - Link opened\r\n"
        "\n"
        "# noted by hand\n"
        "     0.000120 PC>ACU   1 Link check | 02 01 01 02 03\n"
        "     0.001000 ACU>PC   - Discarded 2 bytes before an STX | 00 ff\n"
        "     0.002000 ACU>PC   1 Rejected, checksum 08 instead of 07: a | b | 02 02 01 04 08 03\n"
        "  1234.500000 ACU>PC   1 Link check: state 4 | 02 02 01 04 07 03\n"
        "     0.000000 ------   - Link opened");
    ASSERT_TRUE(reading.ok()) << reading.errorLine << ": " << reading.error;
    const struct {
        long long at;
        TrafficKind kind;
        Bytes bytes;
    } expected[] = {
        {0, TrafficKind::LinkOpened, {}},
        {120, TrafficKind::Sent, {0x02, 0x01, 0x01, 0x02, 0x03}},
        {1000, TrafficKind::Discarded, {0x00, 0xFF}},
        {2000, TrafficKind::Rejected, {0x02, 0x02, 0x01, 0x04, 0x08, 0x03}},
        {1'234'500'000, TrafficKind::Received, {0x02, 0x02, 0x01, 0x04, 0x07, 0x03}},
        {0, TrafficKind::LinkOpened, {}},
    };
    ASSERT_EQ(reading.entries.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const TrafficEntry& entry = reading.entries[i];
        EXPECT_EQ(entry.at.count(), expected[i].at) << i;
        EXPECT_EQ(entry.kind, expected[i].kind) << i;
        EXPECT_EQ(Bytes(entry.bytes().begin(), entry.bytes().end()), expected[i].bytes) << i;
    }
}

TEST(TrafficReader, RefusesALineThatDoesNotParseByItsNumber) {
    const std::string good = "     0.000100 PC>ACU  14 Status poll | 02 01 0E 0F 03\n";
    const struct {
        std::string text;
        std::size_t line;
        const char* error;
    } cases[] = {
        {"# skyrelay traffic format 2\n" + good, 1,
         "a recording in line format 2; this program reads format 1"},
        {"# skyrelay traffic format 1\n" + good + "# skyrelay traffic format x\n", 3,
         "a format line without a number"},
        {"time_ms,direction,code,meaning,hex\n", 1,
         "the Traffic Monitor's CSV; save the monitor as text to replay it"},
        {good + "0.1 PC>ACU  14 Status poll | 02 01 0E 0F 03\n", 2,
         "no time in seconds with six decimals at the start"},
        {"     0.000100 PC<ACU  14 Status poll | 02 01 0E 0F 03\n", 1,
         "no direction PC>ACU, ACU>PC or ------ after the time"},
        {"     0.000100 PC>ACU 256 Status poll | 02 01 0E 0F 03\n", 1, "no code 0..255 or '-'"},
        {"     0.000100 PC>ACU  14 \n", 1, "no meaning after the code"},
        {"     0.000100 ------  14 Link opened\n", 1, "a link marker with bytes"},
        {"     0.000100 PC>ACU  14 Status poll\n", 1, "no bytes: the line has no ' | '"},
        {"     0.000100 PC>ACU  14 Status poll | 02 01 0E 0G 03\n", 1, "'0G' is not a byte in hex"},
        {"     0.000100 PC>ACU  14 Status poll | 02 01 0E 0F 3\n", 1, "'3' is not a byte in hex"},
        {"     0.000100 PC>ACU  14 Status poll | \n", 1, "no bytes after the '|'"},
        {"     0.000100 PC>ACU  15 Status poll | 02 01 0E 0F 03\n", 1,
         "the code column does not match the frame's third byte"},
        {"     0.000100 ACU>PC  14 Status | 02 01\n", 1,
         "the code column does not match the frame's third byte"},
        {good + "     0.000099 PC>ACU  14 Status poll | 02 01 0E 0F 03\n", 2, "the time goes back"},
    };
    for (const auto& c : cases) {
        const TrafficReading reading = read(c.text);
        EXPECT_EQ(reading.errorLine, c.line) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
        EXPECT_TRUE(reading.entries.empty()) << c.text;
    }

    std::string tooLong = "     0.000100 ACU>PC   - Discarded | 00";
    for (int i = 1; i < 260; ++i) tooLong += " 00";
    EXPECT_EQ(read(tooLong).error, "more bytes than the longest frame");
}
