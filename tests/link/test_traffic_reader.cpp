// Reading back the traffic lines of a trace, a saved Traffic Monitor and the simulator's log
// (a whole recording is read back by the replay tests of the simulator).

#include <gtest/gtest.h>

#include "link/traffic_reader.h"

TEST(TrafficReader, RefusesALineThatDoesNotParseByItsNumber) {
    // Blank lines, notes and CR LF ends are skipped but counted.
    const std::string good =
        "# noted by hand\r\n\n     0.000100 PC>ACU  14 Poll | 02 01 0E 0F 03\n";
    std::string tooLong = "     0.000100 ACU>PC   - Dropped | 00";  // 260 bytes, one too many
    for (int i = 0; i < 259; ++i) tooLong += " 00";
    const struct {
        std::string text;
        std::size_t line;
        const char* error;
    } cases[] = {
        {"# skyrelay traffic format 2\n", 1,
         "a recording in line format 2; this program reads format 1"},
        {"# skyrelay traffic format 1\n# skyrelay traffic format x", 2,
         "a format line without a number"},
        {"time_ms,direction,code,meaning,hex", 1,
         "the Traffic Monitor's CSV; save the monitor as text to replay it"},
        {good + "0.1 PC>ACU  14 Poll | 02 01 0E 0F 03", 4,
         "no time in seconds with six decimals at the start"},
        {good + "     0.000099 PC>ACU  14 Poll | 02 01 0E 0F 03", 4, "the time goes back"},
        {"     0.000100 PC<ACU  14 Poll | 02 01 0E 0F 03", 1,
         "no direction PC>ACU, ACU>PC or ------ after the time"},
        {"     0.000100 PC>ACU 256 Poll | 02 01 0E 0F 03", 1, "no code 0..255 or '-'"},
        {"     0.000100 PC>ACU  14 ", 1, "no meaning after the code"},
        {"     0.000100 ------  14 Link opened", 1, "a link marker with bytes"},
        {"     0.000100 PC>ACU  14 Poll", 1, "no bytes: the line has no ' | '"},
        {"     0.000100 PC>ACU  14 Poll | 02 01 0E 0G 03", 1, "'0G' is not a byte in hex"},
        {"     0.000100 PC>ACU  14 Poll | 02 01 0E 0F 3", 1, "'3' is not a byte in hex"},
        {"     0.000100 PC>ACU  14 Poll | ", 1, "no bytes after the '|'"},
        {"     0.000100 PC>ACU  15 Poll | 02 01 0E 0F 03", 1,
         "the code column does not match the frame's third byte"},
        {"     0.000100 ACU>PC  14 Status | 02 01", 1,
         "the code column does not match the frame's third byte"},
        {tooLong, 1, "more bytes than the longest frame"},
    };
    for (const auto& c : cases) {
        const TrafficReading reading =
            readTrafficText({reinterpret_cast<const std::uint8_t*>(c.text.data()), c.text.size()});
        EXPECT_EQ(reading.errorLine, c.line) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
    }
}
