// A session recorded through the program's trace plays back on the simulator: the program
// going through the same steps against the replay writes the same trace again.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "data/sif_reader.h"
#include "link/controller.h"
#include "link/process_state.h"
#include "link/trace_file.h"
#include "link/traffic_reader.h"
#include "memory_link.h"
#include "replay.h"
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

// The controller on the simulator through the in-memory cable, both on one manual clock,
// writing the program's trace timed by that clock.
struct Session : TrafficObserver {
    Session() {
        ResetProcessState();
        std::string error;
        EXPECT_TRUE(trace.open(path.string(), error)) << error;
        link.setOnData([this] { controller.OnCommRead(); });
        controller.setTrafficObserver(this);
    }
    ~Session() override {
        std::filesystem::remove(path);
        ResetProcessState();
    }
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
    std::string traceText() {
        trace.close();
        return readText(path);
    }

    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "skyrelay_replay_trace.txt";
    AcuSimulator acu;
    CommQueue queue;
    MemoryLink link{acu, queue};
    RecorderView view;
    ManualTimers timers;
    AcuController controller{link, queue, view, timers};
    TraceFile trace;
    std::chrono::microseconds origin{0};
};

// The faults a session is recorded under (its replay brings them back by itself), what it
// does, and lines its recording must show.
struct Script {
    const char* name;
    std::function<void(AcuSimulator&)> faults;
    std::function<void(Session&)> drive;
    std::vector<const char*> shows;
};

const Script kScripts[] = {
    {"self_test",
     [](AcuSimulator& acu) {
         acu.faults().corruptNext(cmd::StatusPoll, 2);
         acu.faults().splitAt = {3};
         acu.settings().diagnosis.failingItem = 4;
         acu.settings().diagnosis.step = 100ms;
     },
     [](Session& s) {
         s.controller.StartConnection();
         s.run(2500ms);
         s.controller.OnSetupMode();
         s.run(200ms);
         s.controller.OnDiagnosisStartStop();
         s.run(2600ms);
     },
     {"ACU>PC  14 Rejected, checksum",
      "ACU>PC  23 Diagnosis item result: item 4 AZ CW Limit Check FAIL",
      "PC>ACU  24 Diagnosis stop"}},
    {"upload",
     [](AcuSimulator& acu) {
         acu.faults().corruptNext(cmd::LinkCheck, 1);
         acu.faults().garbage = true;
         acu.faults().splitAt = {2, 5};
     },
     [](Session& s) {
         std::ifstream sif(std::string(SKYRELAY_DATA_DIR) + "/oceania_region7.sif",
                           std::ios::binary);
         ASSERT_EQ(loadSatelliteInformation(Bytes(std::istreambuf_iterator<char>(sif), {})),
                   std::nullopt);
         s.controller.StartConnection();
         s.run(2500ms);
         s.controller.OnSetupMode();
         s.run(200ms);
         s.controller.updateDefaultData();
         s.run(800ms);
     },
     {"ACU>PC   1 Rejected, checksum", "ACU>PC   - Discarded 2 bytes before an STX | 00 FF",
      "PC>ACU  12 Satellite record", "ACU>PC  13 Default data upload ended"}},
};

// Every line without its time.
std::vector<std::string> untimed(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(line.find(' ', line.find_first_not_of(' '))));
    }
    return lines;
}

std::string record(const Script& script) {
    Session session;
    script.faults(session.acu);
    script.drive(session);
    const std::string text = session.traceText();
    // SKYRELAY_RECORDINGS_OUT=DIR keeps each recording, to renew the ones under tests/.
    if (const char* out = std::getenv("SKYRELAY_RECORDINGS_OUT")) {
        std::ofstream(std::filesystem::path(out) / (std::string(script.name) + ".txt")) << text;
    }
    return text;
}

// Drives the script against a replay of recording; the trace it wrote, and the replay.
std::pair<std::string, std::unique_ptr<Replay>> replay(const std::string& recording,
                                                       const Script& script) {
    const TrafficReading reading = readTrafficText(
        {reinterpret_cast<const std::uint8_t*>(recording.data()), recording.size()});
    EXPECT_TRUE(reading.ok()) << "line " << reading.errorLine << ": " << reading.error;
    auto unit = std::make_unique<Replay>(reading.entries, Replay::Settings{});
    Session session;
    session.acu.setReplay(unit.get());
    script.drive(session);
    return {session.traceText(), std::move(unit)};
}

}  // namespace

TEST(Replay, ASessionRecordedWithFaultsGoesTheSameWayAgainAgainstItsReplay) {
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.name);
        const std::string recorded = record(script);
        for (const char* line : script.shows) {
            EXPECT_NE(recorded.find(line), std::string::npos) << "no '" << line << "'";
        }
        const auto [again, unit] = replay(recorded, script);
        EXPECT_EQ(untimed(again), untimed(recorded));
        EXPECT_TRUE(unit->finished());
        EXPECT_EQ(unit->differed(), 0u);
        EXPECT_EQ(unit->answered(), unit->recordedCommands());
    }
}

TEST(Replay, KeptRecordingsStillPlayBack) {
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.name);
        const std::string recorded = readText(std::filesystem::path(SKYRELAY_RECORDINGS_DIR) /
                                              (std::string(script.name) + ".txt"));
        ASSERT_FALSE(recorded.empty());
        // On the one manual clock even the times come back: every delay was kept.
        const auto [again, unit] = replay(recorded, script);
        EXPECT_EQ(again, recorded);
        EXPECT_EQ(unit->differed(), 0u);
    }
}

TEST(Replay, ACommandThatDiffersFromTheRecordingIsNamedWithBothFrames) {
    const Script& upload = kScripts[1];
    std::string recording = readText(std::filesystem::path(SKYRELAY_RECORDINGS_DIR) / "upload.txt");
    // The region record's first name byte, 'T' (54) of "TASMAN-SEA", recorded as 'U' (55).
    const std::string sent = "02 3E 0B 02 07 54";
    const std::size_t at = recording.find(sent);
    ASSERT_NE(at, std::string::npos);
    const std::string line = recording.substr(at, recording.find('\n', at) - at);
    std::string changed = line;
    changed.replace(15, 2, "55");
    recording.replace(at, line.size(), changed);

    const auto [again, unit] = replay(recording, upload);
    EXPECT_EQ(unit->differed(), 1u);
    EXPECT_NE(unit->summary().find("\n  command 11 (Region record) #1 differs:\n    recorded " +
                                   changed + "\n    received " + line),
              std::string::npos)
        << unit->summary();
}

TEST_F(SimHarness, ReplayKeepsRecordedDelaysOrNoneAndLeavesTheRestToTheModelOrToSilence) {
    const std::string recording =
        "     0.000000 PC>ACU  14 Status poll | 02 01 0E 0F 03\n"
        "     0.010000 ACU>PC  14 Rejected, too short | 02 01 0E 00 03\n"
        "     0.510000 ACU>PC  22 Diagnosis item under test: item 1 | 02 02 16 01 19 03\n";
    const Bytes rejected{0x02, 0x01, 0x0E, 0x00, 0x03};
    const Bytes item{0x02, 0x02, 0x16, 0x01, 0x19, 0x03};
    const struct {
        Replay::Rest rest;
        bool fast;
        Bytes atOnce, after10ms, after510ms;
        std::size_t secondPoll;  // bytes sent for the command the recording does not hold
        const char* note;
    } cases[] = {
        {Replay::Rest::Model, false, {}, rejected, item, 29, "the model answers it"},
        {Replay::Rest::Silent, true, concat({rejected, item}), {}, {}, 0, "left unanswered"},
    };
    for (const auto& c : cases) {
        const TrafficReading reading = readTrafficText(
            {reinterpret_cast<const std::uint8_t*>(recording.data()), recording.size()});
        Replay unit(reading.entries, {c.rest, c.fast});
        std::vector<std::string> notes;
        unit.setNotice([&notes](const std::string& note) { notes.push_back(note); });
        AcuSimulator fresh;
        fresh.setOutput(
            [this](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); });
        fresh.setReplay(&unit);
        const auto sent = [this] { return std::exchange(out, {}); };

        fresh.receive(frameOf({0x0E}));
        EXPECT_EQ(sent(), c.atOnce);
        fresh.advance(10ms);
        EXPECT_EQ(sent(), c.after10ms);
        fresh.advance(500ms);
        EXPECT_EQ(sent(), c.after510ms);
        EXPECT_EQ(notes.at(0),
                  "replay: end of the recording: 1 command answered from it, 0 "
                  "differed from the recorded bytes");

        fresh.receive(frameOf({0x0E}));
        EXPECT_EQ(sent().size(), c.secondPoll);
        EXPECT_EQ(notes.at(1), std::string("replay: command 14 (Status poll) #2 is not in the "
                                           "recording: ") +
                                   c.note + ", and every later one with this code");
    }
}
