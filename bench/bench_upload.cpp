// Update Default Data of the largest sample against the simulator with both directions paced
// at 57600 baud in real time: how close the upload comes to the time the bytes need on the
// wire. Also the time to read a 2000-line satellite information file and how much faster
// than the line the frame assembly runs.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acu_simulator.h"
#include "data/sif_reader.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "memory_link.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"
#include "wire/frame.h"
#include "wire/frame_assembler.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

constexpr double kLineBytesPerSecond = 57600.0 / 10.0;  // start, 8 data, stop bits

std::vector<std::uint8_t> readSample(const char* name) {
    std::ifstream in(std::string(SKYRELAY_DATA_DIR) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The program's side of the cable at the line rate: each byte reaches the unit one byte time
// after the one before, never before it was written.
class PacedPort : public BytePort {
public:
    PacedPort(MemoryLink& line, const microseconds& now) : m_Line(line), m_Now(now) {}

    int WriteByte(std::uint8_t byte) override {
        const microseconds start = m_WireFreeAt > m_Now ? m_WireFreeAt : m_Now;
        m_WireFreeAt = start + SimFaults::wireTime(1);
        m_Pending.push_back({m_WireFreeAt, byte});
        return 1;
    }
    void ClosePort() override { m_Line.ClosePort(); }

    void release() {
        while (!m_Pending.empty() && m_Pending.front().due <= m_Now) {
            m_Line.WriteByte(m_Pending.front().byte);
            m_Pending.pop_front();
        }
    }

private:
    struct Byte {
        microseconds due;
        std::uint8_t byte;
    };
    MemoryLink& m_Line;
    const microseconds& m_Now;
    microseconds m_WireFreeAt{0};
    std::deque<Byte> m_Pending;
};

// With realTime false the clock moves in steps of kVirtualStep however long the work takes:
// the upload's own pacing without the machine's share of it.
constexpr microseconds kVirtualStep{10};

void benchUpload(bool realTime) {
    const std::vector<std::uint8_t> file = readSample("limits_six_continents.sif");
    AcuSimulator acu;
    acu.faults().pace = true;
    std::size_t bytesToUnit = 0;
    std::size_t bytesFromUnit = 0;
    acu.setFrameObserver([&](AcuSimulator::Direction direction, std::span<const std::uint8_t> f) {
        (direction == AcuSimulator::Direction::FromProgram ? bytesToUnit : bytesFromUnit) +=
            f.size();
    });
    CommQueue queue;
    MemoryLink line(acu, queue);
    microseconds now{0};
    PacedPort port(line, now);
    RecorderView view;
    ManualTimers timers;
    AcuController controller(port, queue, view, timers);
    view.state = &controller.state();
    line.setOnData([&] { controller.OnCommRead(); });
    std::optional<Outcome> ended;
    controller.setOutcomeListener([&](const Outcome& outcome) { ended = outcome; });
    if (controller.loadDefaultData(file, "limits_six_continents.sif")) {
        std::printf("bench_upload: data/limits_six_continents.sif did not load\n");
        return;
    }

    // Until the operation under way ends: the line, the unit and the timers on one clock.
    const auto run = [&] {
        ended.reset();
        const Clock::time_point start = Clock::now();
        const microseconds from = now;
        while (!ended && now < from + std::chrono::seconds{60}) {
            const microseconds real =
                realTime ? from + std::chrono::duration_cast<microseconds>(Clock::now() - start)
                         : now + kVirtualStep;
            const std::chrono::milliseconds tick =
                std::chrono::duration_cast<std::chrono::milliseconds>(real) - timers.now();
            line.advance(real - now);
            now = real;
            port.release();
            timers.advance(tick, [&](int id) { controller.OnTimer(id); });
            if (realTime) std::this_thread::yield();
        }
        return realTime ? std::chrono::duration<double>(Clock::now() - start).count()
                        : std::chrono::duration<double>(now - from).count();
    };
    controller.StartConnection();
    run();
    controller.OnSetupMode();
    run();
    bytesToUnit = bytesFromUnit = 0;
    controller.updateDefaultData(0, 0);
    const double elapsed = run();
    const bool finished = ended && ended->ending == Ending::Done;
    const double wire = static_cast<double>(bytesToUnit + bytesFromUnit) / kLineBytesPerSecond;
    const LinkState& state = controller.state();
    std::printf(
        "bench_upload: upload of limits_six_continents.sif (%u regions, %u satellites), "
        "%s%s\n",
        static_cast<unsigned>(state.ProgressTotal - state.data.SatelliteCount),
        static_cast<unsigned>(state.data.SatelliteCount),
        realTime ? "real time" : "simulated clock in 10 us steps",
        finished ? "" : " DID NOT FINISH");
    std::printf("  bytes to the ACU %zu, from the ACU %zu\n", bytesToUnit, bytesFromUnit);
    std::printf("  elapsed %.3f s, wire time both ways %.3f s, ratio %.4f (target <= 1.02)\n",
                elapsed, wire, elapsed / wire);
}

void benchParse() {
    std::vector<std::uint8_t> file = readSample("limits_six_continents.sif");
    const std::size_t lines =
        static_cast<std::size_t>(std::count(file.begin(), file.end(), std::uint8_t{'\n'}));
    for (std::size_t n = lines; n < kSifMaxLines; ++n) {
        for (char c : std::string("# padding\r\n")) file.push_back(static_cast<std::uint8_t>(c));
    }
    const auto base = std::make_unique<SatelliteTables>();
    constexpr int kRounds = 200;
    bool whole = true;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kRounds; ++i) whole = whole && readSatelliteInformation(file, *base).tables;
    const double each =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRounds;
    std::printf("bench_upload: reading a %zu-line file (%zu bytes): %.3f ms%s (target < 5 ms)\n",
                kSifMaxLines, file.size(), each, whole ? "" : " REFUSED");
}

void benchAssembly() {
    // Replies as the upload and the status poll bring them, back to back.
    std::vector<std::uint8_t> stream;
    std::array<std::uint8_t, kFrameBufferSize> frame{};
    const std::vector<std::vector<std::uint8_t>> payloads = {
        {0x0B}, {0x0C}, std::vector<std::uint8_t>(81, 0x27), std::vector<std::uint8_t>(46, 0x30)};
    while (stream.size() < 8 * 1024 * 1024) {
        for (const auto& payload : payloads) {
            const std::size_t size = encodeFrame(payload, frame);
            stream.insert(stream.end(), frame.begin(), frame.begin() + static_cast<long>(size));
        }
    }
    FrameAssembler assembler;
    std::size_t frames = 0;
    const Clock::time_point start = Clock::now();
    for (std::uint8_t byte : stream) {
        if (assembler.push(byte) == FrameAssembler::Result::Frame) ++frames;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rate = static_cast<double>(stream.size()) / seconds;
    std::printf("bench_upload: frame assembly %.1f MB/s (%zu frames), %.0f times the line rate\n",
                rate / 1e6, frames, rate / kLineBytesPerSecond);
}

}  // namespace

// Real-time figures mean little on a loaded machine; the load is printed beside them.
void printLoad() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    if (in >> one)
        std::printf("bench_upload: load average %s on %u cores\n", one.c_str(),
                    std::thread::hardware_concurrency());
}

int main() {
    printLoad();
    benchParse();
    benchAssembly();
    benchUpload(false);
    benchUpload(true);
    return 0;
}
