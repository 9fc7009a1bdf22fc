#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <list>
#include <random>
#include <string>
#include <thread>
#include <vector>

// A long link on 127.0.0.1, such as a satellite link between shore and a ship's serial
// server, without the kernel's netem (often missing): the program connects to port(), the
// relay connects on to targetPort and holds every chunk `hold` (± jitter, a fraction of it)
// in each direction, so the round trip is twice the hold. A chunk never overtakes an earlier
// one, and a close travels as late as the data before it.
//
// stopForwarding() is a link that dies without closing: nothing more is forwarded, and the
// relay's sockets drop whatever reaches them unanswered, so TCP at either end hears nothing,
// as when the satellite link loses its carrier. New connections are not answered either.
// resumeForwarding() is the carrier back: what was held moves on, and each end finds out for
// itself what became of its connection (a serial server may keep a dead one for hours).
class LineRelay {
public:
    using Clock = std::chrono::steady_clock;
    // The relay looks this often for chunks due: a hold's own error stays under it.
    static constexpr auto kTick = std::chrono::milliseconds{1};

    LineRelay(int targetPort, std::chrono::milliseconds hold, double jitter = 0.0,
              unsigned seed = 1);
    ~LineRelay();
    LineRelay(const LineRelay&) = delete;
    LineRelay& operator=(const LineRelay&) = delete;

    int port() const { return m_Port; }  // 0 when the relay could not listen
    // The address to open through the relay, e.g. address("rfc2217+tls").
    std::string address(const std::string& scheme) const;
    void stopForwarding() { m_Stop = true; }
    void resumeForwarding() { m_Stop = false; }

private:
    struct Chunk {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;  // empty: the sender closed
    };
    struct Pair {
        int fd[2];                   // the client's side, the server's side
        std::deque<Chunk> queue[2];  // what fd[i] sent, on its way to the other side
        bool ended[2] = {false, false};
    };

    void run();
    bool accept();  // false when no connection was waiting
    void receive(Pair& pair, int side);
    bool deliver(Pair& pair, int side);

    int m_Target;
    std::chrono::milliseconds m_Hold;
    double m_Jitter;
    std::mt19937 m_Random;
    int m_Listener = -1;
    int m_Port = 0;
    std::atomic<bool> m_Quit{false};
    std::atomic<bool> m_Stop{false};
    std::list<Pair> m_Pairs;  // touched by the relay's thread only
    std::thread m_Thread;
};
