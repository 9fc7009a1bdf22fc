#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/trace_file.h"
#include "link/traffic_ring.h"
#include "support/link_fixture.h"

namespace {

TrafficEntry entryAt(long long micros) {
    return makeTrafficEntry(std::chrono::microseconds{micros}, TrafficKind::Sent,
                            Bytes{0x02, 0x01, 0x0E, 0x0F, 0x03});
}

// Writes down what the controller shows, kind and bytes.
struct TapRecorder : TrafficObserver {
    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point) override {
        events.emplace_back(kind, bytesOf(bytes));
    }
    std::vector<std::pair<TrafficKind, Bytes>> events;
};

class TrafficTapTest : public LinkFixture {};

}  // namespace

TEST(TrafficRing, KeepsTheNewestWithTheirBytesAndCountsWhatItPushedOut) {
    // Three events of up to 259 bytes each: the packed bytes wrap around many times.
    TrafficRing ring(3);
    const std::size_t sizes[] = {259, 5, 259, 259, 100, 259, 1, 0, 259, 64, 259, 259, 7};
    std::vector<Bytes> pushed;
    for (const std::size_t size : sizes) {
        const Bytes bytes = counting(size, static_cast<std::uint8_t>(pushed.size() * 31));
        ring.push(std::chrono::microseconds{size}, TrafficKind::Received, bytes);
        pushed.push_back(bytes);
        for (std::uint64_t s = ring.firstSequence(); s < ring.endSequence(); ++s) {
            ASSERT_EQ(bytesOf(ring.find(s)->bytes()), pushed[s]) << "event " << s;
        }
    }
    EXPECT_EQ(ring.dropped(), 10u);
    EXPECT_EQ(ring.find(9), nullptr);
    EXPECT_EQ(ring.find(10)->at.count(), 259);
    EXPECT_EQ(ring.find(13), nullptr);

    // Cleared, nothing is found, and sequence numbers and the dropped count go on.
    ring.clear();
    EXPECT_EQ(ring.find(12), nullptr);
    ring.push(entryAt(7));
    EXPECT_EQ(ring.find(13)->at.count(), 7);
    EXPECT_EQ(ring.dropped(), 10u);
}

TEST_F(TrafficTapTest, ShowsFramesBothWaysAndWhatTheAssemblyDropped) {
    TapRecorder tap;
    controller.setTrafficObserver(&tap);
    controller.StartConnection();
    // Noise, then reply 1 (which sends command 2), then reply 25 with its checksum one off.
    deliver({0x55, 0xAA, 0x02, 0x02, 0x01, 0x04, 0x07, 0x03, 0x02, 0x01, 0x19, 0x1B, 0x03, 0x00});

    const std::vector<std::pair<TrafficKind, Bytes>> expected = {
        {TrafficKind::LinkOpened, ascii("/dev/ttyUSB0")},  // the marker names the device
        {TrafficKind::Sent, {0x02, 0x01, 0x01, 0x02, 0x03}},
        {TrafficKind::Discarded, {0x55, 0xAA}},
        {TrafficKind::Received, {0x02, 0x02, 0x01, 0x04, 0x07, 0x03}},
        {TrafficKind::Sent, {0x02, 0x01, 0x02, 0x03, 0x03}},
        {TrafficKind::Rejected, {0x02, 0x01, 0x19, 0x1B, 0x03}},
        {TrafficKind::Discarded, {0x00}},
    };
    EXPECT_EQ(tap.events, expected);
}

TEST(TraceFile, AppendsOneLinePerEventAndWritesTheQueueWhenClosed) {
    TraceFile bad;
    std::string error;
    EXPECT_FALSE(bad.open("/nonexistent-folder/trace.txt", error));
    EXPECT_EQ(error, "No such file or directory");
    bad.write(entryAt(0));  // goes nowhere, and does not fault

    // More than half the backlog after the drain, so the writer is also woken by the queue's
    // size, and closing must still write every line.
    constexpr std::size_t kEvents = TraceFile::kTraceBacklog / 2 + 100;
    const auto path = std::filesystem::temp_directory_path() / "skyrelay_trace_test.txt";
    std::filesystem::remove(path);
    {
        std::ofstream(path) << "earlier session\n";
        TraceFile trace;
        ASSERT_TRUE(trace.open(path.string(), error));
        trace.write(entryAt(1'000'001));
        trace.drain();
        for (std::size_t i = 0; i < kEvents; ++i) trace.write(entryAt(2'000'000));
        trace.close();
        EXPECT_EQ(trace.lost(), 0u);
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), kEvents + 2);
    EXPECT_EQ(lines[0], "earlier session");
    EXPECT_EQ(lines[1], "     1.000001 PC>ACU  14 Status poll | 02 01 0E 0F 03");
    for (std::size_t i = 2; i < lines.size(); ++i)
        ASSERT_EQ(lines[i], "     2.000000 PC>ACU  14 Status poll | 02 01 0E 0F 03") << i;
    std::filesystem::remove(path);
}

TEST(TraceFile, SaysOnceThatLinesAreDroppedAndCountsThemAtTheEnd) {
    const struct {
        const char* name;
        bool spaceBackBeforeTheEnd;
        std::vector<std::string> lines;
    } cases[] = {
        {"the disk stays full", false, {}},
        {"the disk takes the count", true,
         {"# 3 trace lines were not written (No space left on device)"}},
    };
    const auto path = std::filesystem::temp_directory_path() / "skyrelay_trace_full_test.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        bool full = true;
        TraceFile trace;
        trace.setSink([&full](std::FILE* file, const std::string& text) {
            if (full) return ENOSPC;
            std::fputs(text.c_str(), file);
            return std::fflush(file);
        });
        std::string error;
        ASSERT_TRUE(trace.open(path.string(), error));
        EXPECT_FALSE(trace.takeDropNotice());
        trace.write(entryAt(1));
        trace.drain();
        EXPECT_TRUE(trace.takeDropNotice());
        trace.write(entryAt(2));
        trace.write(entryAt(3));
        trace.drain();
        EXPECT_FALSE(trace.takeDropNotice());
        full = !c.spaceBackBeforeTheEnd;
        trace.close();
        EXPECT_EQ(trace.lost(), 3u);
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        EXPECT_EQ(lines, c.lines);
    }
    std::filesystem::remove(path);
}
