#include "line_relay.h"

#include <arpa/inet.h>
#include <linux/filter.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// A socket filter that passes nothing: the kernel drops every segment for the socket before
// TCP sees it, so it neither answers nor acknowledges.
void deafen(int fd) {
    sock_filter dropAll = BPF_STMT(BPF_RET | BPF_K, 0);
    sock_fprog program{1, &dropAll};
    setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program);
}

void hearAgain(int fd) {
    const int unused = 0;
    setsockopt(fd, SOL_SOCKET, SO_DETACH_FILTER, &unused, sizeof unused);
}

void closeBoth(int (&fd)[2]) {
    for (int& side : fd) close(std::exchange(side, -1));
}

}  // namespace

LineRelay::LineRelay(int targetPort, std::chrono::milliseconds hold, double jitter, unsigned seed)
    : m_Target(targetPort), m_Hold(hold), m_Jitter(jitter), m_Random(seed) {
    m_Listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (bind(m_Listener, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        listen(m_Listener, 4) == 0 &&
        getsockname(m_Listener, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        m_Port = ntohs(address.sin_port);
    }
    m_Thread = std::thread([this] { run(); });
}

LineRelay::~LineRelay() {
    m_Quit = true;
    m_Thread.join();
    for (Pair& pair : m_Pairs) closeBoth(pair.fd);
    close(m_Listener);
}

std::string LineRelay::address(const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(m_Port);
}

bool LineRelay::accept() {
    const int client = ::accept4(m_Listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return false;
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in target = loopback(m_Target);
    if (connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        m_Pairs.push_back(Pair{{client, server}, {}, {false, false}});
    } else {
        close(server);
        close(client);
    }
    return true;
}

void LineRelay::receive(Pair& pair, int side) {
    std::deque<Chunk>& queue = pair.queue[side];
    std::uniform_real_distribution<double> spread(-m_Jitter, m_Jitter);
    const auto held =
        std::chrono::duration_cast<Clock::duration>(m_Hold * (1.0 + spread(m_Random)));
    const Clock::time_point due =
        std::max(Clock::now() + held, queue.empty() ? Clock::time_point{} : queue.back().due);
    std::uint8_t buffer[4096];
    const ssize_t n = recv(pair.fd[side], buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
        queue.push_back({due, {buffer, buffer + n}});
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        queue.push_back({due, {}});
        pair.ended[side] = true;
    }
}

bool LineRelay::deliver(Pair& pair, int side) {
    std::deque<Chunk>& queue = pair.queue[side];
    while (!queue.empty() && queue.front().due <= Clock::now()) {
        std::vector<std::uint8_t>& bytes = queue.front().bytes;
        if (bytes.empty()) return false;
        const ssize_t sent =
            send(pair.fd[1 - side], bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN) return false;
        if (sent < static_cast<ssize_t>(bytes.size())) {
            // The receiver is full: the rest waits for the next look.
            bytes.erase(bytes.begin(), bytes.begin() + std::max<ssize_t>(sent, 0));
            return true;
        }
        queue.pop_front();
    }
    return true;
}

void LineRelay::run() {
    bool deaf = false;
    while (!m_Quit.load()) {
        if (m_Stop.load() != deaf) {
            deaf = !deaf;
            // A connection the kernel completed but the relay has not taken yet would keep
            // answering on its own, so the backlog is taken before the relay goes deaf.
            while (deaf && accept()) {
            }
            const auto apply = deaf ? deafen : hearAgain;
            apply(m_Listener);
            for (Pair& pair : m_Pairs) std::for_each(pair.fd, pair.fd + 2, apply);
        }
        // Once deaf nothing moves any more; only the end is awaited.
        std::vector<pollfd> watched{{deaf ? -1 : m_Listener, POLLIN, 0}};
        for (Pair& pair : m_Pairs) {
            for (int side = 0; side < 2; ++side) {
                // A side that ended is not watched, or its end would show at every look.
                const bool watch = !deaf && !pair.ended[side];
                watched.push_back({watch ? pair.fd[side] : -1, POLLIN, 0});
            }
        }
        poll(watched.data(), watched.size(), static_cast<int>(kTick.count()));
        if (deaf) continue;
        if (watched[0].revents & POLLIN) accept();
        auto seen = watched.begin() + 1;
        for (auto pair = m_Pairs.begin(); pair != m_Pairs.end();) {
            bool open = true;
            for (int side = 0; side < 2; ++side) {
                if (seen != watched.end() && (seen++)->revents != 0) receive(*pair, side);
                open = open && deliver(*pair, side);
            }
            if (open) {
                ++pair;
            } else {
                closeBoth(pair->fd);
                pair = m_Pairs.erase(pair);
            }
        }
    }
}
