// skyrelay-exporter: a fleet's antenna control units on Prometheus, read-only.

#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "exporter/acu_watcher.h"
#include "exporter/acus_document.h"
#include "exporter/event_loop.h"
#include "exporter/exporter_options.h"
#include "exporter/fleet_config.h"
#include "exporter/http_server.h"
#include "exporter/metrics_page.h"
#include "exporter/web_security.h"
#include "serial/network_address.h"

namespace {

constexpr int kExitFailure = 1;

const char* const kLandingPage = R"(<!DOCTYPE html>
<html><head><title>Skyrelay exporter</title></head><body>
<h1>Skyrelay exporter</h1>
<p><a href="/metrics">Metrics</a> &middot; <a href="/api/v1/acus">ACUs (JSON)</a>
&middot; <a href="/-/healthy">Health</a></p>
</body></html>
)";

void raiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

std::optional<FleetConfig> loadConfig(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        std::cerr << "skyrelay-exporter: " << fileName << ": " << std::strerror(errno) << "\n";
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    FleetConfigReading reading = readFleetConfig(text);
    if (!reading.config) {
        std::cerr << "skyrelay-exporter: " << configErrorText(fileName, reading.error) << "\n";
        return std::nullopt;
    }
    // A certificate or key that cannot be used fails every connection attempt; better said
    // once at start-up, with its line, than found by a technician in a back-off log.
    for (std::size_t i = 0; i < reading.config->acus.size(); ++i) {
        const FleetAcu& acu = reading.config->acus[i];
        if (std::string problem = tlsFilesProblem(acu.tls); !problem.empty()) {
            std::cerr << "skyrelay-exporter: "
                      << configErrorText(fileName,
                                         {acu.line, "acus[" + std::to_string(i + 1) + "]", problem})
                      << "\n";
            return std::nullopt;
        }
    }
    return reading.config;
}

HttpResponse answer(const std::vector<std::unique_ptr<AcuWatcher>>& watchers,
                    const std::string& path) {
    const auto snapshots = [&watchers] {
        std::vector<AcuSnapshot> all;
        all.reserve(watchers.size());
        for (const auto& watcher : watchers) all.push_back(watcher->snapshot());
        return all;
    };
    if (path == "/metrics")
        return {200, kMetricsContentType, renderMetrics(snapshots(), WallClock::now())};
    if (path == "/api/v1/acus") {
        return {200, "application/json",
                acusDocument(snapshots(), WallClock::now())
                        .dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
                    "\n"};
    }
    if (path == "/-/healthy") return {200, "text/plain; charset=utf-8", "Healthy\n"};
    if (path == "/") return {200, "text/html; charset=utf-8", kLandingPage};
    return {404, "text/plain; charset=utf-8", "Not found: try /metrics\n"};
}

}  // namespace

int main(int argc, char** argv) {
    ExporterOptions options;
    if (const auto done = parseExporterOptions(argc, argv, options)) return *done;
    const std::optional<ListenAddress> listen = parseListenAddress(options.listenAddress);
    if (!listen) {
        std::cerr << "skyrelay-exporter: --web.listen-address: '" << options.listenAddress
                  << "' is not HOST:PORT, [IPV6]:PORT or :PORT\n";
        return kExitFailure;
    }
    const std::optional<FleetConfig> config = loadConfig(options.configFile);
    if (!config) return kExitFailure;
    WebSecurity security;
    if (!options.webConfigFile.empty()) {
        std::string problem;
        auto loaded = loadWebSecurity(options.webConfigFile, problem);
        if (!loaded) {
            std::cerr << "skyrelay-exporter: " << problem << "\n";
            return kExitFailure;
        }
        security = std::move(*loaded);
    }

    // Blocked before any thread starts, so that they reach only the loop's signalfd.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A scraper that hangs up mid-answer is the server's to notice, not a reason to end.
    signal(SIGPIPE, SIG_IGN);
    raiseOpenFileLimit();

    EventLoop loop;
    std::vector<std::unique_ptr<AcuWatcher>> watchers;
    for (const FleetAcu& acu : config->acus) {
        watchers.push_back(std::make_unique<AcuWatcher>(loop, acu, options.reconnectDelay));
    }
    HttpServer server(loop,
                      [&watchers](const std::string& path) { return answer(watchers, path); });
    std::string error;
    if (!server.start(*listen, security, error)) {
        std::cerr << "skyrelay-exporter: cannot listen on " << error << "\n";
        return kExitFailure;
    }
    std::cerr << "skyrelay-exporter: listening on " << server.scheme() << "://"
              << server.boundAddress() << "/metrics"
              << (security.users.empty() ? "" : " (basic authentication)") << std::endl;
    for (auto& watcher : watchers) watcher->start();
    loop.run();
    for (auto& watcher : watchers) watcher->stop();
    return 0;
}
