// Update Default Data of the sample with every continent, timed from the click to the last
// acknowledgement: on the local pseudo-terminal, and through a real ser2net on 127.0.0.1 in
// each of its modes; then both again with the unit answering 800 ms late, the round trip of
// a satellite link (400 ms each way).

#include <chrono>
#include <cstdio>
#include <string>

#include "support/line_session.h"
#include "support/ser2net_server.h"

namespace {

using Mode = Ser2netServer::Mode;

// Seconds the upload took, or a negative figure when it did not complete.
double uploadSeconds(std::optional<Mode> mode, std::chrono::milliseconds replyDelay) {
    std::optional<Ser2netServer> server;
    if (mode) server.emplace(*mode);
    Session session(TlsOptions{server ? server->certificate() : "", false, "", ""}, replyDelay);
    if (!session.ok() || (server && !server->start(session.device()))) return -1;
    if (session.open(server ? server->address() : session.device()) != 1 || !session.identify()) {
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    if (!session.upload()) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* line, std::optional<Mode> mode, std::chrono::milliseconds delay,
            double local) {
    const double seconds = uploadSeconds(mode, delay);
    if (seconds < 0) {
        std::printf("  %-34s did not complete\n", line);
        return;
    }
    std::printf("  %-34s %7.3f s", line, seconds);
    if (local > 0) std::printf("   %+7.3f s against the local run", seconds - local);
    std::printf("\n");
}

}  // namespace

int main() {
    using std::chrono::milliseconds;
    std::printf("Upload of all_continents.sif (19 records), click to last acknowledgement:\n");
    for (const milliseconds delay : {milliseconds{0}, milliseconds{800}}) {
        std::printf(" unit answering %lld ms late:\n", static_cast<long long>(delay.count()));
        const double local = uploadSeconds(std::nullopt, delay);
        std::printf("  %-34s %7.3f s\n", "local pseudo-terminal", local);
        report("ser2net tcp://", Mode::Raw, delay, local);
        report("ser2net rfc2217://", Mode::Telnet, delay, local);
        report("ser2net rfc2217+tls://", Mode::Tls, delay, local);
    }
    return 0;
}
