#include "link/round_trip.h"

#include <algorithm>
#include <cmath>

void RoundTripEstimate::sample(ms roundTrip) {
    const auto r = static_cast<double>(std::max(roundTrip, ms{0}).count());
    if (!m_Measured) {
        m_SmoothedMs = r;
        m_VariationMs = r / 2;
        m_Measured = true;
    } else {
        // The variation first, against the smoothed value as it was.
        m_VariationMs = 0.75 * m_VariationMs + 0.25 * std::abs(m_SmoothedMs - r);
        m_SmoothedMs = 0.875 * m_SmoothedMs + 0.125 * r;
    }
    m_BackOffs = 0;
}

void RoundTripEstimate::backOff() {
    // Past the cap another doubling changes nothing.
    if (m_BackOffs < 8) ++m_BackOffs;
}

RoundTripEstimate::ms RoundTripEstimate::timeout() const {
    double wait = static_cast<double>(kInitialTimeout.count());
    if (m_Measured) {
        wait = m_SmoothedMs + std::max(static_cast<double>(kMargin.count()), 4 * m_VariationMs);
    }
    wait = std::ldexp(wait, m_BackOffs);
    return std::min(ms{static_cast<ms::rep>(std::ceil(wait))}, kMaxTimeout);
}
