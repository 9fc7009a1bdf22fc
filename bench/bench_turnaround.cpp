// How long the controller takes from a reply in the receive queue to the next command of the
// chain on the port, without a traffic observer, with the Traffic Monitor's recorder, and
// with the recorder writing a trace file as well. Prints nanoseconds per turnaround.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "acu_simulator.h"
#include "link/controller.h"
#include "link/trace_file.h"
#include "link/traffic_ring.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// A round must be short enough that on a loaded machine some rounds run undisturbed; with
// the port's system calls a chain takes about a hundred times longer, so its rounds are
// shorter and more numerous.
struct RoundSize {
    int chains;
    int rounds;
};
constexpr RoundSize kCoreRounds{500, 30};
constexpr RoundSize kPortRounds{8, 400};

// Keeps nothing, or (like the serial port) writes every byte by its own write(2), here to
// /dev/null, so the figures show the bare core and the core with the port's system calls.
class CapturePort : public BytePort {
public:
    int WriteByte(std::uint8_t byte) override {
        if (capture) written.push_back(byte);
        if (fd >= 0 && write(fd, &byte, 1) != 1) return 0;
        return 1;
    }
    bool capture = false;
    Bytes written;
    int fd = -1;
};

struct Bench {
    CapturePort port;
    CommQueue queue;
    RecorderView view;
    ManualTimers timers;
    AcuController controller{port, queue, view, timers};

    Bench() { view.state = &controller.state(); }
    void deliver(const Bytes& bytes) {
        queue.putChunk(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        controller.OnCommRead();
    }
};

// The identification chain as the simulator answers it: reply 1, 2, 3 and one reply 4 per
// satellite of the region, each of which makes the controller send the next command.
std::vector<Bytes> recordChain() {
    Bench bench;
    AcuSimulator acu;
    Bytes reply;
    acu.setOutput([&reply](std::span<const std::uint8_t> bytes) {
        reply.insert(reply.end(), bytes.begin(), bytes.end());
    });
    std::vector<Bytes> replies;
    bench.port.capture = true;
    bench.controller.StartConnection();
    for (;;) {
        const Bytes command = bench.port.written;
        bench.port.written.clear();
        if (command.size() < 3 || command[2] == 14) break;
        reply.clear();
        acu.receive(command);
        replies.push_back(reply);
        bench.deliver(reply);
    }
    return replies;
}

// One controller with its observer, and the fastest round it ran: the machine is shared, and
// the fastest round is the one least disturbed by others.
struct Subject {
    Subject(TrafficObserver* observer, int fd) {
        bench.port.fd = fd;
        bench.controller.StartConnection();
        bench.controller.setTrafficObserver(observer);
    }
    void round(const std::vector<Bytes>& chain, int chains) {
        const auto start = Clock::now();
        for (int n = 0; n < chains; ++n) {
            for (const Bytes& reply : chain) bench.deliver(reply);
            bench.view.calls.clear();
        }
        const auto elapsed = std::chrono::duration<double, std::nano>(Clock::now() - start);
        best = std::min(best, elapsed.count() / (chains * static_cast<double>(chain.size())));
    }
    Bench bench;
    double best = 1e18;
};

}  // namespace

int main() {
    const std::vector<Bytes> chain = recordChain();
    std::printf("bench_turnaround: identification chain of %zu replies, fastest round\n",
                chain.size());

    TrafficRecorder recorder;
    TrafficRecorder traced;
    TraceFile trace;
    std::string error;
    const bool tracing = trace.open("/dev/null", error);
    if (tracing) traced.setTrace(&trace);

    const int devNull = open("/dev/null", O_WRONLY);
    for (const int fd : {-1, devNull}) {
        Subject none(nullptr, fd);
        Subject monitored(&recorder, fd);
        Subject withTrace(&traced, fd);
        const RoundSize size = fd < 0 ? kCoreRounds : kPortRounds;
        // Taken in turns, so a busy spell of the machine hits all three alike.
        for (int round = 0; round < size.rounds; ++round) {
            none.round(chain, size.chains);
            monitored.round(chain, size.chains);
            if (tracing) withTrace.round(chain, size.chains);
        }
        trace.drain();
        std::printf("%s (%d chains x %d rounds)\n",
                    fd < 0 ? " core alone, port keeps nothing"
                           : " with one write(2) per byte, as the serial port writes",
                    size.chains, size.rounds);
        std::printf("  no observer            %8.0f ns per reply-to-command turnaround\n",
                    none.best);
        std::printf("  Traffic Monitor        %8.0f ns  (%+.1f %%, %+.0f ns)\n", monitored.best,
                    (monitored.best / none.best - 1.0) * 100.0, monitored.best - none.best);
        if (tracing) {
            // Replies come far faster here than 57600 baud can bring them, so the trace
            // writer falls behind and drops lines, as it should, rather than slow the link.
            std::printf("  monitor and --trace    %8.0f ns  (%+.1f %%)\n", withTrace.best,
                        (withTrace.best / none.best - 1.0) * 100.0);
        }
    }
    if (tracing) {
        std::printf("  trace lines dropped while the writer was behind: %llu\n",
                    static_cast<unsigned long long>(trace.lost()));
    }
    if (devNull >= 0) close(devNull);
    return 0;
}
