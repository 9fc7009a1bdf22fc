// skyrelay-acu-sim: the simulated antenna control unit on a pseudo-terminal.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "acu_simulator.h"
#include "fleet_units.h"
#include "frame_log.h"
#include "link/traffic_reader.h"
#include "pty_server.h"
#include "sim_options.h"
#include "skyrelay_version.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitSetup = 1;
// How often the main thread looks at the server and the clock between signals.
constexpr long kWaitSliceNs = 100'000'000;

// Makes linkPath point at the terminal; an old link of ours is replaced, a real file is not.
bool makeLink(const std::string& target, const std::string& linkPath) {
    struct stat info {};
    if (lstat(linkPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            std::cerr << "skyrelay-acu-sim: " << linkPath << " exists and is not a link\n";
            return false;
        }
        unlink(linkPath.c_str());
    }
    if (symlink(target.c_str(), linkPath.c_str()) != 0) {
        std::cerr << "skyrelay-acu-sim: " << linkPath << ": " << std::strerror(errno) << "\n";
        return false;
    }
    return true;
}

// Two descriptors a unit: a large fleet needs more than the usual soft limit of 1024.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

// The recording behind --replay, or nothing with the reason on stderr.
std::unique_ptr<Replay> loadReplay(const SimOptions& options) {
    std::ifstream file(options.replayPath, std::ios::binary);
    if (!file) {
        std::cerr << "skyrelay-acu-sim: cannot read " << options.replayPath << "\n";
        return nullptr;
    }
    const std::vector<std::uint8_t> text{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
    const TrafficReading reading = readTrafficText(text);
    if (!reading.ok()) {
        std::cerr << "skyrelay-acu-sim: " << options.replayPath << ": line " << reading.errorLine
                  << ": " << reading.error << "\n";
        return nullptr;
    }
    auto replay = std::make_unique<Replay>(reading.entries, options.replay);
    if (replay->recordedCommands() == 0) {
        std::cerr << "skyrelay-acu-sim: " << options.replayPath << ": no command in it\n";
        return nullptr;
    }
    // Runs on the server thread; the main thread only writes here after joining it.
    replay->setNotice([](const std::string& text) { std::cerr << text << std::endl; });
    return replay;
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "skyrelay-acu-sim: " << error << "\nTry 'skyrelay-acu-sim --help'.\n";
        return kExitUsage;
    }
    if (options.help) {
        std::cout << simUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "skyrelay-acu-sim " << kSkyrelayVersion << "\n";
        return 0;
    }

    // Blocked before any thread starts, so every thread inherits the mask and the signals
    // reach only the sigtimedwait below, outside any handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const std::size_t unitCount = options.units.value_or(1);
    const bool fleet = options.units.has_value();
    if (fleet && !options.replayPath.empty()) {
        std::cerr << "skyrelay-acu-sim: --replay plays back one unit, not --units\n";
        return kExitUsage;
    }
    // A unit's own name for a path given once: the path itself for a single unit, the path
    // followed by the unit's number in a fleet.
    const auto unitPath = [fleet](const std::string& path, std::size_t unit) {
        return fleet ? path + std::to_string(unit + 1) : path;
    };
    if (fleet) raiseOpenFileLimit();

    std::unique_ptr<Replay> replay;
    if (!options.replayPath.empty() && !(replay = loadReplay(options))) return kExitSetup;

    std::vector<std::unique_ptr<AcuSimulator>> units;
    std::vector<std::unique_ptr<std::ofstream>> logs(unitCount);
    for (std::size_t unit = 0; unit < unitCount; ++unit) {
        units.push_back(std::make_unique<AcuSimulator>());
        AcuSimulator& acu = *units.back();
        applySimOptions(options, acu);
        if (fleet) makeFleetUnit(acu, unit + 1);
        if (options.logPath.empty()) continue;
        const std::string logPath = unitPath(options.logPath, unit);
        logs[unit] = std::make_unique<std::ofstream>(logPath, std::ios::out | std::ios::trunc);
        if (!*logs[unit]) {
            std::cerr << "skyrelay-acu-sim: cannot write " << logPath << "\n";
            return kExitSetup;
        }
        // Runs on the server thread, which alone writes the logs until it is joined.
        acu.setFrameObserver([&log = *logs[unit], &acu](AcuSimulator::Direction direction,
                                                        std::span<const std::uint8_t> frame) {
            log << frameLogLine(acu.now(), direction, frame) << std::endl;
        });
    }
    if (replay) units.front()->setReplay(replay.get());

    std::vector<AcuSimulator*> served;
    for (auto& unit : units) served.push_back(unit.get());
    PtyServer server(served);
    if (!server.open(error)) {
        std::cerr << "skyrelay-acu-sim: " << error << "\n";
        return kExitSetup;
    }
    for (std::size_t unit = 0; unit < unitCount; ++unit) {
        std::cout << server.slavePath(unit) << "\n";
    }
    std::cout << std::flush;
    std::vector<std::string> links;
    for (std::size_t unit = 0; unit < unitCount && !options.linkPath.empty(); ++unit) {
        links.push_back(unitPath(options.linkPath, unit));
        if (!makeLink(server.slavePath(unit), links.back())) {
            for (const std::string& made : links) unlink(made.c_str());
            return kExitSetup;
        }
    }
    server.start();

    const auto started = std::chrono::steady_clock::now();
    bool announced = !options.announceAfter;
    const timespec slice{0, kWaitSliceNs};
    while (!server.finished()) {
        if (sigtimedwait(&stopSignals, nullptr, &slice) > 0) break;
        if (!announced && std::chrono::steady_clock::now() - started >= *options.announceAfter) {
            for (std::size_t unit = 0; unit < unitCount; ++unit) {
                server.withSimulator(unit, [](AcuSimulator& acu) { acu.announceDefaultData(); });
            }
            announced = true;
        }
    }

    server.stop();
    if (replay && !replay->finished()) std::cerr << replay->summary() << std::endl;
    for (const std::string& link : links) unlink(link.c_str());
    return 0;
}
