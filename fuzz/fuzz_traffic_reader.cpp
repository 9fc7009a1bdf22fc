// The recording reader on any bytes, and the replay built from what it reads: it must refuse
// with a line number or read, and a replay must answer any command from what it holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/traffic_reader.h"
#include "replay.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TrafficReading reading = readTrafficText(std::span(data, size));
    if (!reading.ok()) {
        require(reading.errorLine >= 1 && reading.entries.empty());
        return 0;
    }
    Replay replay(reading.entries, {});
    std::vector<Replay::Output> outputs;
    for (const TrafficEntry& entry : reading.entries) {
        require(entry.size <= kMaxFrameSize);
        if (entry.kind != TrafficKind::Sent) continue;
        // Asked back with its own bytes, every recorded command is answered as recorded.
        require(replay.answer(entry.bytes(), outputs) == Replay::Verdict::Recorded);
    }
    require(replay.finished() && replay.differed() == 0);
    return 0;
}
