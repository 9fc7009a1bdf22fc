#include <gtest/gtest.h>

#include <sstream>

#include "link/frame_text.h"
#include "support/bytes.h"

namespace {

// The bytes a line shows after its bar, read back: each case writes its frame only once.
Bytes hexAfterBar(const std::string& line) {
    Bytes bytes;
    std::istringstream hex(line.substr(line.find('|') + 1));
    for (unsigned value = 0; hex >> std::hex >> value;)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

std::string lineOf(TrafficKind kind, const Bytes& bytes, long long micros = 0) {
    return trafficLine(makeTrafficEntry(std::chrono::microseconds{micros}, kind, bytes));
}

}  // namespace

TEST(FrameDecoder, WritesOneLinePerFrameWithItsFieldsDecoded) {
    using enum TrafficKind;
    const std::pair<TrafficKind, std::string> cases[] = {
        {Sent, "     0.000000 PC>ACU   4 Region satellite request: index 3 | 02 02 04 03 09 03"},
        {Sent,
         "     0.000000 PC>ACU   6 Region count announcement: mode 7, counts 4 | "
         "02 03 06 07 04 14 03"},
        {Sent,
         "     0.000000 PC>ACU   6 Region count announcement: mode 3, selector 2 | "
         "02 03 06 03 02 0E 03"},
        {Sent, "     0.000000 PC>ACU  17 Target satellite change: target 2 | 02 02 11 02 15 03"},
        {Sent,
         "     0.000000 PC>ACU  19 Set local frequency: Single Band 10000 MHz | "
         "02 04 13 00 27 10 4E 03"},
        {Sent, "     0.000000 PC>ACU  26 Move azimuth: AZ 10.50 | 02 04 1A 2B 04 1A 67 03"},
        {Sent, "     0.000000 PC>ACU  28 Move skew: Skew -2.25 | 02 04 1C 2D 00 E1 2E 03"},
        {Received,
         "     0.000000 ACU>PC   1 Link check: state 4 Satellite Tracking | "
         "02 02 01 04 07 03"},
        {Received, "     0.000000 ACU>PC  18 Edit satellite information done | 02 01 12 13 03"},
        {Received,
         "     0.000000 ACU>PC   4 Region satellite: index 0, sat 12 \"ASTRA 1\" 19.2E, VL "
         "10744/22000/1, VH 11778/27500/2, HL 0/0/0, HH 0/0/0, DVB Lock, pol Auto, tone Auto | "
         "02 2B 04 00 0C 41 53 54 52 41 20 31 20 20 20 00 C0 45 29 F8 55 F0 00 01 2E 02 6B 6C 00 "
         "02 00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 DD 03"},
        {Received,
         "     0.000000 ACU>PC  23 Diagnosis item result: item 2 Gyro Sensor Check PASS | "
         "02 03 17 02 50 6C 03"},
        {Rejected,
         "     0.000000 ACU>PC  25 Rejected, checksum 1B instead of 1A: Go to position "
         "done | 02 01 19 1B 03"},
        {Rejected,
         "     0.000000 ACU>PC  25 Rejected, end byte 02 instead of 03: Go to position "
         "done | 02 01 19 1A 02"},
        {Discarded, "     0.000000 ACU>PC   - Discarded 3 bytes before an STX | 55 AA 03"},
        {Received, "     0.000000 ACU>PC  43 Unknown code 43 | 02 01 2B 2C 03"},
        // A reply shorter than its code.
        {Received,
         "     0.000000 ACU>PC   1 Link check: short frame, 1 of 2 bytes | 02 01 01 02 03"},
        {LinkOpened, "     0.000000 ------   - Link opened"},
    };
    for (const auto& [kind, line] : cases) {
        const Bytes frame = kind == LinkOpened ? Bytes{} : hexAfterBar(line);
        EXPECT_EQ(lineOf(kind, frame), line);
    }
    // The marker names the port it opened, in the line and in CSV, with no hex.
    const TrafficEntry opened = makeTrafficEntry(std::chrono::microseconds{0},
                                                 TrafficKind::LinkOpened, ascii("/dev/ttyUSB0"));
    EXPECT_EQ(trafficLine(opened), "     0.000000 ------   - Link opened on /dev/ttyUSB0");
    EXPECT_EQ(trafficCsvLine(opened), "0.000,------,-,\"Link opened on /dev/ttyUSB0\",");
}

TEST(FrameDecoder, Reply14AtItsTimeAndAsCsv) {
    const std::string line =
        "    12.345678 ACU>PC  14 Status: target 1, state 4 Satellite Tracking, signal 512, "
        "AZ 123.45 EL 45.00 Skew -3.20, GPS Link 127.00E 37.50N, receiver 13.20V 18V 0kHz | "
        "02 19 0E 01 04 02 00 01 31 9C 45 0E A6 4E 05 28 01 00 2B 30 39 2B 11 94 2D 01 40 43 03";
    EXPECT_EQ(lineOf(TrafficKind::Received, hexAfterBar(line), 12'345'678), line);

    const TrafficEntry entry = makeTrafficEntry(std::chrono::microseconds{1'500}, TrafficKind::Sent,
                                                Bytes{0x02, 0x01, 0x0E, 0x0F, 0x03});
    EXPECT_EQ(trafficCsvLine(entry), "1.500,PC>ACU,14,\"Status poll\",02 01 0E 0F 03");
}
