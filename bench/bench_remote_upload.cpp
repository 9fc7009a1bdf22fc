// Update Default Data of the sample with every continent, timed from the click to the last
// acknowledgement: on the local pseudo-terminal and through a real ser2net on 127.0.0.1 in
// each of its modes; then through a relay that gives the link a satellite's round trip
// (0.6, 1.2 and 2.5 s, ±10 %), against the floor such a link allows: one round trip per
// record, since each waits for its answer, plus the bytes' time at 57600 baud.

#include <chrono>
#include <cstdio>
#include <string>

#include "line_relay.h"
#include "support/line_session.h"
#include "support/ser2net_server.h"

namespace {

using Mode = Ser2netServer::Mode;
using std::chrono::milliseconds;

// The commands of the upload and the bytes both ways, the status polls aside.
struct Counter : TrafficObserver {
    void onTraffic(TrafficKind kind, std::span<const std::uint8_t> bytes,
                   Clock::time_point) override {
        if (bytes.size() <= 2 || bytes[2] == cmd::StatusPoll) return;
        if (kind == TrafficKind::Sent) ++commands;
        if (kind == TrafficKind::Sent || kind == TrafficKind::Received) wireBytes += bytes.size();
    }
    int commands = 0;
    std::size_t wireBytes = 0;
};

struct Run {
    double seconds = -1;  // negative: it did not complete
    Counter counted;
};

Run upload(LineSession& session, const std::string& address) {
    Run run;
    if (session.open(address) != 1 || !session.identify()) return run;
    session.m_Controller.setTrafficObserver(&run.counted);
    const auto start = std::chrono::steady_clock::now();
    if (session.upload()) {
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    session.m_Controller.setTrafficObserver(nullptr);
    return run;
}

Run throughServer(std::optional<Mode> mode) {
    std::optional<Ser2netServer> server;
    if (mode) server.emplace(*mode);
    LineSession session(TlsOptions{server ? server->certificate() : "", false, "", ""});
    if (!session.ok() || (server && !server->start(session.device()))) return {};
    return upload(session, server ? server->address() : session.device());
}

Run throughRelay(milliseconds roundTrip) {
    Ser2netServer server(Mode::Raw);
    LineSession session;
    if (!session.ok() || !server.start(session.device())) return {};
    LineRelay relay(server.port(), roundTrip / 2, 0.1, 11);
    return upload(session, relay.address("tcp"));
}

void print(const char* line, const Run& run, double local) {
    if (run.seconds < 0) {
        std::printf("  %-34s did not complete\n", line);
        return;
    }
    std::printf("  %-34s %7.3f s   %+7.3f s against the local run\n", line, run.seconds,
                run.seconds - local);
}

}  // namespace

int main() {
    std::printf("Upload of all_continents.sif, click to last acknowledgement:\n");
    const double local = throughServer(std::nullopt).seconds;
    std::printf("  %-34s %7.3f s\n", "local pseudo-terminal", local);
    print("ser2net tcp://", throughServer(Mode::Raw), local);
    print("ser2net rfc2217://", throughServer(Mode::Telnet), local);
    print("ser2net rfc2217+tls://", throughServer(Mode::Tls), local);

    std::printf("Through ser2net tcp:// behind a long link (goal: at most 1.15 x the floor):\n");
    for (const milliseconds roundTrip :
         {milliseconds{600}, milliseconds{1200}, milliseconds{2500}}) {
        const Run run = throughRelay(roundTrip);
        if (run.seconds < 0) {
            std::printf("  %5lld ms round trip: did not complete\n",
                        static_cast<long long>(roundTrip.count()));
            continue;
        }
        const double floor =
            run.counted.commands * std::chrono::duration<double>(roundTrip).count() +
            static_cast<double>(run.counted.wireBytes) * 10 / 57600;
        std::printf("  %5lld ms round trip: %3d commands %8.3f s, floor %8.3f s, %.3f x\n",
                    static_cast<long long>(roundTrip.count()), run.counted.commands, run.seconds,
                    floor, run.seconds / floor);
    }
    return 0;
}
