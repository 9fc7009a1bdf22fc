// What Skyrelay costs while nobody touches it: CPU time per minute with the main window up
// and no unit answering (the port scan running), connected to the simulator (the status
// poll running), connected with the Signal and Pointing window open, and connected with the
// Traffic Monitor open. The simulator runs as a process of its own, so only Skyrelay's own
// time is counted.

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/skyrelay_app.h"
#include "link/controller.h"
#include "serial/port_list.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSettleMs = 3000;  // start-up, the first scan, identification
constexpr int kDefaultWindowSeconds = 15;

// Runs the event loop as the application would, asleep until something is due (QTest::qWait
// would wake every few milliseconds and measure itself).
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU seconds the process spends per minute while the event loop runs for windowSeconds.
double cpuPerMinute(int windowSeconds) {
    const double cpuBefore = cpuSeconds();
    const auto wallBefore = Clock::now();
    runFor(windowSeconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    return (cpuSeconds() - cpuBefore) * 60.0 / wall;
}

void report(const char* what, double perMinute, int systemReads) {
    std::printf(
        "%-34s %8.1f ms CPU per minute  (%.3f %% of a core), %d reads of the system's "
        "ports\n",
        what, perMinute * 1000.0, perMinute / 60.0 * 100.0, systemReads);
}

struct Simulator {
    pid_t pid = -1;
    std::string device;

    bool start() {
        int out[2];
        if (pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char* argv[] = {const_cast<char*>(SKYRELAY_SIM_PATH), nullptr};
        const int spawned = posix_spawn(&pid, SKYRELAY_SIM_PATH, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (spawned != 0) {
            close(out[0]);
            pid = -1;
            return false;
        }
        char c = 0;
        while (read(out[0], &c, 1) == 1 && c != '\n') device += c;
        close(out[0]);
        return !device.empty();
    }
    ~Simulator() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Run as root, the scan would open this machine's own UARTs and write into them; as an
    // ordinary user outside the dialout group it cannot, which is the idle case to measure.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
        std::fputs("bench_idle: cannot drop root\n", stderr);
        return 1;
    }
    // Offscreen unless told otherwise: under xvfb-run with QT_QPA_PLATFORM=xcb the windows are
    // drawn and sent to an X server, as a technician's are.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    char runtimeDir[] = "/tmp/skyrelay-bench-XXXXXX";
    if (mkdtemp(runtimeDir) != nullptr) qputenv("XDG_RUNTIME_DIR", runtimeDir);
    SkyrelayApp app(argc, argv);
    const char* given = std::getenv("SKYRELAY_BENCH_SECONDS");
    const int windowSeconds =
        given != nullptr ? std::max(1, std::atoi(given)) : kDefaultWindowSeconds;
    std::printf("bench_idle: %d s per case, scaled to a minute\n", windowSeconds);

    // What the scan cost when it read the system's ports every second.
    {
        const double before = cpuSeconds();
        constexpr int kReads = 20;
        for (int i = 0; i < kReads; ++i) (void)systemSerialPorts();
        report("reading the ports every second", (cpuSeconds() - before) / kReads * 60.0, 60);
    }

    {
        auto window = std::make_unique<MainWindow>(QStringList{});
        window->setMessageBoxHook([](const QString&, MessageIcon) {});
        window->show();
        runFor(kSettleMs);
        const int readsBefore = window->discovery().systemReads();
        const double perMinute = cpuPerMinute(windowSeconds);
        report("idle, disconnected (scan running)", perMinute,
               window->discovery().systemReads() - readsBefore);
    }

    Simulator sim;
    double connectedIdle = 0.0;
    if (!sim.start()) {
        std::fputs("bench_idle: the simulator did not start\n", stderr);
        return 1;
    }
    {
        auto window = std::make_unique<MainWindow>(QStringList{QString::fromStdString(sim.device)});
        window->setMessageBoxHook([](const QString&, MessageIcon) {});
        window->show();
        runFor(kSettleMs);
        if (window->controller().state().Connected != 1) {
            std::fputs("bench_idle: not connected to the simulator\n", stderr);
            return 1;
        }
        const int readsBefore = window->discovery().systemReads();
        const double perMinute = cpuPerMinute(windowSeconds);
        connectedIdle = perMinute;
        report("idle, connected (status poll)", perMinute,
               window->discovery().systemReads() - readsBefore);

        // The same link with the Signal and Pointing window open and redrawing.
        window->openSignalPointing();
        runFor(kSettleMs);
        const int readsOpen = window->discovery().systemReads();
        const double withCharts = cpuPerMinute(windowSeconds);
        report("connected, Signal and Pointing open", withCharts,
               window->discovery().systemReads() - readsOpen);
        std::printf("%-34s %8.3f %% of a core more than idle and connected (target < 0.5 %%)\n",
                    "  the open charts cost", (withCharts - perMinute) / 60.0 * 100.0);
    }
    {
        // The Traffic Monitor open on a fresh link (the charts closed), taking in every poll.
        auto window = std::make_unique<MainWindow>(QStringList{QString::fromStdString(sim.device)});
        window->setMessageBoxHook([](const QString&, MessageIcon) {});
        window->show();
        window->openTrafficMonitor();
        runFor(kSettleMs);
        if (window->controller().state().Connected != 1) {
            std::fputs("bench_idle: not connected to the simulator\n", stderr);
            return 1;
        }
        const int readsBefore = window->discovery().systemReads();
        const double withMonitor = cpuPerMinute(windowSeconds);
        report("connected, Traffic Monitor open", withMonitor,
               window->discovery().systemReads() - readsBefore);
        std::printf("%-34s %8.3f %% of a core more than idle and connected (target < 0.3 %%)\n",
                    "  the open monitor costs", (withMonitor - connectedIdle) / 60.0 * 100.0);
    }
    rmdir(runtimeDir);
    return 0;
}
