// The Signal and Pointing window's store and view: the memory of 24 hours of samples, and the
// time to rebuild the view of all 86 400 of them, the reduction alone and with the charts'
// series set (Qt, offscreen).

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

#include "app/pointing_charts.h"
#include "link/pointing_samples.h"

namespace {

constexpr int kRounds = 50;
constexpr std::size_t kBuckets = 400;  // as the window asks for

long residentKiB() {
    long size = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * 4;  // pages of 4 KiB
}

// A day of a dish that searches, tracks and now and then loses the satellite.
void fillDay(PointingSamples& samples) {
    const std::int64_t start = 1'765'000'000'000;
    for (std::size_t s = 0; s < kPointingCapacity; ++s) {
        PointingSample sample;
        sample.atMs = start + static_cast<std::int64_t>(s) * 1000;
        const double t = static_cast<double>(s);
        sample.azimuth = static_cast<float>(180.0 + 40.0 * std::sin(t / 900.0));
        sample.elevation = static_cast<float>(30.0 + 2.0 * std::sin(t / 300.0));
        sample.skew = static_cast<float>(-10.0 + std::sin(t / 600.0));
        sample.signal = (s % 997) < 5 ? 180.0F : 800.0F;
        sample.state = (s % 3600) < 60 ? 3 : 4;
        sample.longitude = 127.0F;
        sample.latitude = 37.5F;
        samples.push(sample);
    }
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// CPU time rather than wall time: the machine may be busy with other work, and what the
// window costs is the processor time it takes.
template <class F>
double averageMs(F&& work) {
    const double before = threadCpuMs();
    for (int i = 0; i < kRounds; ++i) work();
    return (threadCpuMs() - before) / kRounds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const long before = residentKiB();
    auto samples = std::make_unique<PointingSamples>();
    fillDay(*samples);
    const long after = residentKiB();
    std::printf(
        "bench_pointing: %zu samples of %zu bytes = %.2f MiB held; resident set grew by "
        "%.2f MiB\n",
        samples->size(), sizeof(PointingSample),
        static_cast<double>(samples->size() * sizeof(PointingSample)) / (1024.0 * 1024.0),
        static_cast<double>(after - before) / 1024.0);

    const std::int64_t from = (*samples)[0].atMs;
    const std::int64_t to = (*samples)[samples->size() - 1].atMs;
    PointingView view;
    const double reduce = averageMs([&] { reduceView(*samples, from, to, kBuckets, view); });
    std::printf(
        "reducing 86 400 samples to %zu buckets: %.3f ms CPU (%zu signal points, %zu bands)\n",
        kBuckets, reduce, view.series[0].size(), view.bands.size());

    PointingCharts charts;
    charts.resize(900, 600);
    charts.show();
    // Each round a second further on, as the window sees it: every series really changes.
    int round = 0;
    const auto rebuildOnce = [&] {
        const std::int64_t shift = 1000 * (++round);
        reduceView(*samples, from + shift, to + shift, kBuckets, view);
        charts.showView(view, from + shift, to + shift);
    };
    const double rebuild = averageMs(rebuildOnce);
    std::printf(
        "rebuilding the view of 86 400 samples (reduction and chart series): %.3f ms CPU "
        "(target < 5 ms)\n",
        rebuild);
    const double drawn = averageMs([&] {
        rebuildOnce();
        (void)charts.grab();
    });
    std::printf("the same and painting the four charts: %.3f ms CPU\n", drawn);
    return 0;
}
