#pragma once

#include <chrono>

// How long an answer may take on a network line, estimated as TCP estimates its retransmission
// timeout: a smoothed round trip plus four times its variation, from the round trips of
// commands sent only once (a reply to a command sent twice could answer either send). A local
// terminal needs none of this: its answers come in milliseconds and the protocol's periods
// stand as they are.
class RoundTripEstimate {
public:
    using ms = std::chrono::milliseconds;
    // Before the first answer: long enough for a geostationary hop under load, so the first
    // command of a link is not sent twice.
    static constexpr ms kInitialTimeout{4000};
    // A wait never grows beyond this, however slow the line looked: a lost reply is then
    // noticed in seconds.
    static constexpr ms kMaxTimeout{10000};
    // The least margin over the smoothed round trip, as TCP keeps at least a second: a late
    // answer costs a command sent twice or an exchange given up, while a lost one (rare, the
    // network carries every byte or hangs up) only costs this much longer a wait.
    static constexpr ms kMargin{1000};

    // A reply came roundTrip after the only send of its command.
    void sample(ms roundTrip);
    // An answer did not come within timeout(): waits double until the next sample.
    void backOff();
    // The wait for an answer now, at most kMaxTimeout.
    ms timeout() const;
    // The period of a command timer whose local period is local: never shorter than it.
    ms periodFor(ms local) const { return local > timeout() ? local : timeout(); }
    bool measured() const { return m_Measured; }
    // A new line: nothing is known of it.
    void reset() { *this = RoundTripEstimate{}; }

private:
    bool m_Measured = false;
    double m_SmoothedMs = 0;
    double m_VariationMs = 0;
    int m_BackOffs = 0;
};
