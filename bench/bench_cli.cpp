// skyrelay-cli as processes, as a factory line runs it: 8 uploads of the largest sample at
// once on 8 paced simulators (each against its wire time, and the CPU it costs), look-angles
// from start to exit, and info on a paced simulator against the wire time of its chain.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "faults.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    double seconds = 0.0;
    double cpuMs = 0.0;
};

pid_t spawn(std::vector<std::string> args, const std::string& output = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

Finished await(pid_t pid, Clock::time_point started) {
    Finished done;
    struct rusage usage {};
    wait4(pid, &done.status, 0, &usage);
    done.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    done.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return done;
}

struct Sim {
    pid_t pid = -1;
    std::string link;
    std::string log;
};

Sim startSim(const fs::path& dir, int n) {
    Sim sim{-1, (dir / ("acu" + std::to_string(n))).string(),
            (dir / ("sim" + std::to_string(n) + ".log")).string()};
    sim.pid = spawn({SKYRELAY_SIM, "--pace", "--link", sim.link, "--log", sim.log});
    while (!fs::exists(sim.link)) std::this_thread::sleep_for(std::chrono::milliseconds{5});
    return sim;
}

void stopSim(const Sim& sim) {
    kill(sim.pid, SIGTERM);
    waitpid(sim.pid, nullptr, 0);
}

// The frames of a log with codes in [low, high]: their bytes on the wire, both directions,
// and the span from the start of the first to the end of the last.
struct Traffic {
    std::size_t bytes = 0;
    std::size_t replyBytes = 0;  // ACU>PC, the direction a pseudo-terminal paces
    int replies = 0;
    double firstStart = -1.0;
    double lastEnd = 0.0;
};

double byteSeconds(std::size_t count) {
    return std::chrono::duration<double>(SimFaults::wireTime(count)).count();
}

Traffic trafficOf(const std::string& log, int low, int high) {
    Traffic traffic;
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double at = 0.0;
        std::string direction;
        int code = 0;
        if (!(fields >> at >> direction >> code) || code < low || code > high) continue;
        const std::size_t bar = line.rfind(" | ");
        const std::size_t size = (line.size() - bar - 3 + 1) / 3;
        traffic.bytes += size;
        if (direction == "ACU>PC") {
            traffic.replyBytes += size;
            traffic.replies += 1;
        }
        // A received frame is logged once complete, a sent one as it starts out.
        const bool received = direction == "PC>ACU";
        const double start = received ? at - byteSeconds(size) : at;
        const double end = received ? at : at + byteSeconds(size);
        if (traffic.firstStart < 0) traffic.firstStart = start;
        traffic.lastEnd = std::max(traffic.lastEnd, end);
    }
    return traffic;
}

void eightUploads(const fs::path& dir) {
    constexpr int kLines = 8;
    std::vector<Sim> sims;
    for (int n = 0; n < kLines; ++n) sims.push_back(startSim(dir, n));
    std::vector<pid_t> clis;
    const Clock::time_point started = Clock::now();
    for (const Sim& sim : sims) {
        clis.push_back(
            spawn({SKYRELAY_CLI, "upload", SKYRELAY_DATA_DIR "/limits_six_continents.sif",
                   "--continent", "Europe", "--region", "0", "--port", sim.link}));
    }
    std::printf("skyrelay-cli: 8 uploads of limits_six_continents.sif at once, paced 57600 baud\n");
    for (int n = 0; n < kLines; ++n) {
        const Finished done = await(clis[n], started);
        stopSim(sims[n]);
        const Traffic upload = trafficOf(sims[n].log, 10, 13);
        const double wire = byteSeconds(upload.bytes);
        const double replyWire = byteSeconds(upload.replyBytes);
        const double took = upload.lastEnd - upload.firstStart;
        // Only the replies are paced: a pseudo-terminal delivers the commands at once. What
        // the upload takes beyond the replies' wire time is the turnaround of both programs.
        std::printf(
            "  line %d: exit %d, upload %.3f s; wire time %.3f s both ways, %.3f s of "
            "it the paced replies (%.2fx of those; %.2f ms turnaround per frame); "
            "process %.3f s, CPU %.1f ms\n",
            n + 1, WEXITSTATUS(done.status), took, wire, replyWire, took / replyWire,
            (took - replyWire) * 1e3 / std::max(upload.replies, 1), done.seconds, done.cpuMs);
    }
}

void lookAngles() {
    constexpr int kRuns = 50;
    std::vector<double> ms;
    for (int n = 0; n < kRuns; ++n) {
        const Clock::time_point started = Clock::now();
        const Finished done = await(
            spawn({SKYRELAY_CLI, "look-angles", "--site", "127.5E,37.5N", "--satellite", "116E"}),
            started);
        ms.push_back(done.seconds * 1e3);
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "skyrelay-cli look-angles, start to exit over %d runs: median %.2f ms, worst "
        "%.2f ms (target under 20 ms)\n",
        kRuns, ms[kRuns / 2], ms.back());
}

void info(const fs::path& dir) {
    const Sim sim = startSim(dir, 100);
    const Clock::time_point started = Clock::now();
    const Finished done = await(spawn({SKYRELAY_CLI, "info", "--port", sim.link}), started);
    stopSim(sim);
    const Traffic chain = trafficOf(sim.log, 1, 4);
    std::printf(
        "skyrelay-cli info on a paced simulator: exit %d, %.3f s start to exit, chain "
        "(1..4) %.3f s on the line for %.3f s of wire time, CPU %.1f ms\n",
        WEXITSTATUS(done.status), done.seconds, chain.lastEnd - chain.firstStart,
        byteSeconds(chain.bytes), done.cpuMs);
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("bench_cli." + std::to_string(getpid()));
    fs::create_directories(dir);
    eightUploads(dir);
    lookAngles();
    info(dir);
    fs::remove_all(dir);
    return 0;
}
