#include "link/pointing_samples.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "link/reply_decode.h"

namespace {

// Replies further apart than this mean the link was down or the poll stopped (setup mode):
// the state band ends a poll period after the last reply instead of running across the gap.
constexpr std::int64_t kBandGapMs = 5000;
constexpr std::int64_t kPollPeriodMs = 1000;

float signedDegrees(double degrees, char hemisphere, char negative) {
    // A hemisphere byte of 0 is a position never reported.
    if (hemisphere == 0) return kNotReported;
    return static_cast<float>(hemisphere == negative ? -degrees : degrees);
}

}  // namespace

PointingSample statusSample(const StatusReply& status, std::int64_t atMs) {
    PointingSample sample;
    sample.atMs = atMs;
    sample.signal = static_cast<float>(status.signalLevel);
    sample.azimuth = static_cast<float>(status.az);
    sample.elevation = static_cast<float>(status.el);
    sample.skew = static_cast<float>(status.skew);
    sample.longitude = signedDegrees(status.gpsLongitude, status.gpsEastWest, 'W');
    sample.latitude = signedDegrees(status.gpsLatitude, status.gpsNorthSouth, 'S');
    sample.state = status.antennaMode;
    return sample;
}

PointingSample setupSample(const SetupReply& setup, std::int64_t atMs) {
    PointingSample sample;
    sample.atMs = atMs;
    sample.azimuth = static_cast<float>(setup.az);
    sample.elevation = static_cast<float>(setup.el);
    sample.skew = static_cast<float>(setup.skew);
    sample.state = setup.antennaMode;
    return sample;
}

std::int64_t pointingClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

PointingSamples::PointingSamples(std::size_t capacity)
    : m_Capacity(std::max<std::size_t>(1, capacity)) {}

void PointingSamples::push(PointingSample sample) {
    if (m_Size > 0) sample.atMs = std::max(sample.atMs, (*this)[m_Size - 1].atMs);
    if (m_Ring.size() < m_Capacity) {
        m_Ring.push_back(sample);
        ++m_Size;
    } else if (m_Size < m_Capacity) {
        m_Ring[(m_First + m_Size) % m_Capacity] = sample;
        ++m_Size;
    } else {
        m_Ring[m_First] = sample;
        m_First = (m_First + 1) % m_Capacity;
        // Marks go with the samples they came among.
        while (!m_Reconnects.empty() && m_Reconnects.front() < (*this)[0].atMs) {
            m_Reconnects.pop_front();
        }
    }
    ++m_Pushed;
}

void PointingSamples::linkOpened(std::int64_t atMs) {
    // Kept only when later than the last sample, so the marks stay in order as the samples do.
    if (m_Size > 0) atMs = std::max(atMs, (*this)[m_Size - 1].atMs);
    m_Reconnects.push_back(atMs);
    // Openings with no reply in between (a silent unit retried for hours) are bounded too.
    if (m_Reconnects.size() > m_Capacity) m_Reconnects.pop_front();
}

void PointingSamples::clear() {
    m_First = 0;
    m_Size = 0;
    m_Ring.clear();
    m_Reconnects.clear();
}

std::size_t PointingSamples::lowerBound(std::int64_t atMs) const {
    std::size_t low = 0;
    std::size_t high = m_Size;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if ((*this)[mid].atMs < atMs) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

const PointingSample* PointingSamples::nearest(std::int64_t atMs) const {
    if (m_Size == 0) return nullptr;
    const std::size_t after = lowerBound(atMs);
    if (after == m_Size) return &(*this)[m_Size - 1];
    if (after == 0) return &(*this)[0];
    const PointingSample& later = (*this)[after];
    const PointingSample& earlier = (*this)[after - 1];
    return later.atMs - atMs < atMs - earlier.atMs ? &later : &earlier;
}

namespace {

// The lowest and highest value of one channel in the bucket being filled.
struct Extremes {
    std::int64_t minAt = 0;
    float min = 0.0F;
    std::int64_t maxAt = 0;
    float max = 0.0F;
    bool any = false;

    void take(std::int64_t at, float value) {
        if (std::isnan(value)) return;
        if (!any || value < min) {
            min = value;
            minAt = at;
        }
        if (!any || value > max) {
            max = value;
            maxAt = at;
        }
        any = true;
    }
    void flushInto(std::vector<ChartPoint>& points) {
        if (!any) return;
        if (minAt == maxAt) {
            points.push_back({minAt, min});
        } else if (minAt < maxAt) {
            points.push_back({minAt, min});
            points.push_back({maxAt, max});
        } else {
            points.push_back({maxAt, max});
            points.push_back({minAt, min});
        }
        any = false;
    }
};

void addBands(const PointingSamples& samples, std::size_t first, std::size_t end,
              std::vector<StateBand>& bands) {
    samples.forEach(first, end, [&bands](const PointingSample& sample) {
        const bool gap = !bands.empty() && sample.atMs - bands.back().toMs > kBandGapMs;
        if (gap) bands.back().toMs += kPollPeriodMs;
        if (bands.empty() || gap || bands.back().state != sample.state) {
            // A band runs on to where the next one starts.
            if (!bands.empty() && !gap) bands.back().toMs = sample.atMs;
            bands.push_back({sample.atMs, sample.atMs, sample.state});
        } else {
            bands.back().toMs = sample.atMs;
        }
    });
}

}  // namespace

void reduceView(const PointingSamples& samples, std::int64_t fromMs, std::int64_t toMs,
                std::size_t buckets, PointingView& out) {
    for (auto& points : out.series) points.clear();
    out.bands.clear();
    out.reconnects.clear();
    for (const std::int64_t at : samples.reconnects()) {
        if (at >= fromMs && at <= toMs) out.reconnects.push_back(at);
    }
    const std::size_t first = samples.lowerBound(fromMs);
    const std::size_t end = samples.lowerBound(toMs + 1);
    if (first >= end) return;
    addBands(samples, first, end, out.bands);

    buckets = std::max<std::size_t>(1, buckets);
    const bool whole = end - first <= 2 * buckets;
    const std::int64_t span = std::max<std::int64_t>(1, toMs - fromMs + 1);
    const auto bucketCount = static_cast<std::int64_t>(buckets);
    // Where the bucket being filled ends; the division runs once per bucket, not per sample.
    const auto edgeAfter = [&](std::int64_t at) {
        const std::int64_t bucket = (at - fromMs) * bucketCount / span;
        return fromMs + ((bucket + 1) * span + bucketCount - 1) / bucketCount;
    };
    std::array<Extremes, kPointingChannels> extremes{};
    const auto flush = [&] {
        for (std::size_t c = 0; c < kPointingChannels; ++c) extremes[c].flushInto(out.series[c]);
    };
    std::int64_t edge = edgeAfter(samples[first].atMs);
    samples.forEach(first, end, [&](const PointingSample& sample) {
        if (sample.atMs >= edge) {
            flush();
            edge = edgeAfter(sample.atMs);
        }
        extremes[0].take(sample.atMs, sample.signal);
        extremes[1].take(sample.atMs, sample.azimuth);
        extremes[2].take(sample.atMs, sample.elevation);
        extremes[3].take(sample.atMs, sample.skew);
        if (whole) flush();
    });
    for (std::size_t c = 0; c < kPointingChannels; ++c) extremes[c].flushInto(out.series[c]);
}
