// What the link thread pays to hand one event to the --trace writer when events come as the
// serial line brings them: one every millisecond or so, so the writer has long caught up
// before the next. Prints nanoseconds per event, the median and the mean.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "link/trace_file.h"

int main() {
    using Clock = std::chrono::steady_clock;
    constexpr int kEvents = 2000;  // two seconds at one event per millisecond
    TraceFile trace;
    std::string error;
    if (!trace.open("/dev/null", error)) {
        std::printf("bench_trace: cannot open /dev/null: %s\n", error.c_str());
        return 0;
    }
    const std::uint8_t poll[] = {0x02, 0x01, 0x0E, 0x0F, 0x03};
    const TrafficEntry entry =
        makeTrafficEntry(std::chrono::microseconds{1'000'000}, TrafficKind::Sent, poll);
    std::vector<double> costs;
    costs.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds{1});
        const auto start = Clock::now();
        trace.write(entry);
        costs.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
    }
    trace.close();
    std::sort(costs.begin(), costs.end());
    const double mean = std::accumulate(costs.begin(), costs.end(), 0.0) / kEvents;
    std::printf("bench_trace: one event a millisecond, %d events, %llu lost\n", kEvents,
                static_cast<unsigned long long>(trace.lost()));
    std::printf("  write() median %8.0f ns, mean %8.0f ns per event\n", costs[kEvents / 2], mean);
    return 0;
}
