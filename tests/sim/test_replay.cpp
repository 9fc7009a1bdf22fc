// A session recorded through the program's trace plays back on the simulator: the program
// going through the same steps against the replay writes the same trace again.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "data/sif_reader.h"
#include "link/controller.h"
#include "link/trace_file.h"
#include "link/traffic_reader.h"
#include "memory_link.h"
#include "sim_harness.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<TrafficEntry> entriesOf(const std::string& text) {
    const TrafficReading reading =
        readTrafficText({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_TRUE(reading.ok()) << "line " << reading.errorLine << ": " << reading.error;
    return reading.entries;
}

// The controller on the simulator through the in-memory cable, both on one manual clock,
// writing the program's trace timed by that clock (to a file of this process's own: ctest runs
// the tests side by side).
struct Session : TrafficObserver {
    explicit Session(Replay* replay) {
        view.state = &controller.state();
        std::string error;
        EXPECT_TRUE(trace.open(path.string(), error)) << error;
        link.setOnData([this] { controller.OnCommRead(); });
        controller.setTrafficObserver(this);
        acu.setReplay(replay);
    }
    ~Session() override { std::filesystem::remove(path); }
    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point) override {
        if (kind == TrafficKind::LinkOpened) origin = acu.now();
        trace.write(makeTrafficEntry(acu.now() - origin, kind, bytes));
    }
    // A millisecond at a time: the unit and the line, then the program's timers, then what
    // the unit answered to the commands those timers sent.
    void run(std::chrono::milliseconds span) {
        for (auto done = 0ms; done < span; done += 1ms) {
            link.advance(1ms);
            timers.advance(1ms, [this](int id) { controller.OnTimer(id); });
            link.flush();
        }
    }

    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("skyrelay_replay_" + std::to_string(getpid()) + ".txt");
    AcuSimulator acu;
    CommQueue queue;
    MemoryLink link{acu, queue};
    RecorderView view;
    ManualTimers timers;
    AcuController controller{link, queue, view, timers};
    TraceFile trace;
    std::chrono::microseconds origin{0};
};

// The two recorded sessions: line faults and the self test with a failing item, or an
// upload under line noise. Recording, the unit gets the faults (a replay brings them back by
// itself). Returns the trace the program wrote.
std::string runSession(const std::string& name, Replay* replay) {
    const bool upload = name == "upload";
    Session s(replay);
    SimFaults& faults = s.acu.faults();
    if (replay == nullptr && upload) {
        faults.corruptNext(cmd::LinkCheck, 1);
        faults.garbage = true;
        faults.splitAt = {2, 5};
    } else if (replay == nullptr) {
        faults.corruptNext(cmd::StatusPoll, 2);
        faults.splitAt = {3};
        s.acu.settings().diagnosis.failingItem = 4;
        s.acu.settings().diagnosis.step = 100ms;
    }
    std::ifstream sif(std::string(SKYRELAY_DATA_DIR) + "/oceania_region7.sif", std::ios::binary);
    if (upload) {
        EXPECT_FALSE(s.controller.loadDefaultData(Bytes(std::istreambuf_iterator<char>(sif), {}),
                                                  "oceania_region7.sif"));
    }
    s.controller.StartConnection();
    s.run(2500ms);
    s.controller.OnSetupMode();
    s.run(200ms);
    // Nothing selected on the Administrator page: the selector positions go out as -1.
    upload ? s.controller.updateDefaultData(-1, -1) : s.controller.OnDiagnosisStartStop();
    s.run(upload ? 800ms : 2600ms);
    s.trace.close();
    return readText(s.path);
}

const char* const kSessions[] = {"self_test", "upload"};

}  // namespace

// Recorded again, each session writes its kept recording to the microsecond (one manual
// clock), and played back against that recording it goes the same way.
TEST(Replay, ASessionRecordedWithFaultsGoesTheSameWayAgainAgainstItsReplay) {
    std::string all;
    for (const std::string name : kSessions) {
        SCOPED_TRACE(name);
        const std::string recorded = runSession(name, nullptr);
        all += recorded;
        // SKYRELAY_RECORDINGS_OUT=DIR keeps each recording, to renew the ones under tests/.
        if (const char* out = std::getenv("SKYRELAY_RECORDINGS_OUT")) {
            std::ofstream(std::filesystem::path(out) / (name + ".txt")) << recorded;
        }
        EXPECT_EQ(recorded,
                  readText(std::filesystem::path(SKYRELAY_RECORDINGS_DIR) / (name + ".txt")));
        Replay replay(entriesOf(recorded), {});
        EXPECT_EQ(runSession(name, &replay), recorded);
        EXPECT_TRUE(replay.finished());
        EXPECT_EQ(replay.differed(), 0u);
    }
    for (const char* fault : {"ACU>PC  14 Rejected, checksum", "ACU>PC   - Discarded 2 bytes",
                              "23 Diagnosis item result: item 4 AZ CW Limit Check FAIL",
                              "ACU>PC  13 Default data upload ended"}) {
        EXPECT_NE(all.find(fault), std::string::npos) << fault;
    }
}

TEST(Replay, ACommandThatDiffersFromTheRecordingIsNamedWithBothFrames) {
    std::string recording = readText(std::filesystem::path(SKYRELAY_RECORDINGS_DIR) / "upload.txt");
    // The region record's first name byte, 'T' (54) of "TASMAN-SEA", recorded as 'U' (55).
    const std::size_t at = recording.find("02 3E 0B 02 07 54");
    ASSERT_NE(at, std::string::npos);
    const std::string sent = recording.substr(at, recording.find('\n', at) - at);
    recording[at + 16] = '5';
    Replay replay(entriesOf(recording), {});
    runSession("upload", &replay);
    EXPECT_EQ(replay.differed(), 1u);
    EXPECT_NE(replay.summary().find("\n  command 11 (Region record) #1 differs:\n    recorded " +
                                    recording.substr(at, sent.size()) + "\n    received " + sent),
              std::string::npos)
        << replay.summary();
}

TEST_F(SimHarness, ReplayKeepsRecordedDelaysOrNoneAndLeavesTheRestToTheModelOrToSilence) {
    const auto recording = entriesOf(
        "     0.000000 PC>ACU  14 Status poll | 02 01 0E 0F 03\n"
        "     0.010000 ACU>PC  14 Rejected | 02 01 0E 00 03\n"
        "     0.510000 ACU>PC  22 Diagnosis item under test: item 1 | 02 02 16 01 19 03\n");
    const Bytes rejected{0x02, 0x01, 0x0E, 0x00, 0x03};
    const Bytes item{0x02, 0x02, 0x16, 0x01, 0x19, 0x03};
    const struct {
        Replay::Settings settings;
        Bytes atOnce, after10ms, after510ms;
        std::size_t secondPoll;  // bytes answered to a command the recording does not hold
        std::string note;
    } cases[] = {
        {{Replay::Rest::Model, false}, {}, rejected, item, 29, "the model answers it"},
        {{Replay::Rest::Silent, true}, concat({rejected, item}), {}, {}, 0, "left unanswered"},
    };
    for (const auto& c : cases) {
        Replay replay(recording, c.settings);
        std::vector<std::string> notes;
        replay.setNotice([&notes](const std::string& note) { notes.push_back(note); });
        out.clear();
        acu.setReplay(&replay);
        const auto sent = [this] { return std::exchange(out, {}); };
        command({0x0E});
        EXPECT_EQ(sent(), c.atOnce);
        acu.advance(10ms);
        EXPECT_EQ(sent(), c.after10ms);
        acu.advance(500ms);
        EXPECT_EQ(sent(), c.after510ms);
        command({0x0E});
        EXPECT_EQ(sent().size(), c.secondPoll);
        EXPECT_EQ(notes, (std::vector<std::string>{
                             "replay: end of the recording: 1 command answered from it, 0 "
                             "differed from the recorded bytes",
                             "replay: command 14 (Status poll) #2 is not in the recording: " +
                                 c.note + ", and every later one with this code"}));
    }
}
