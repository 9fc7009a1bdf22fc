#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

struct SetupReply;
struct StatusReply;

// What the dish reported over time: signal, position, state and GPS position from every reply
// that carries them, for the "Signal and Pointing" window. Kept apart from the window so that
// the samples are there from the first reply on, whether the window was ever opened or not.

// A field the reply did not carry (reply 16 has no signal and no GPS position).
inline constexpr float kNotReported = std::numeric_limits<float>::quiet_NaN();

struct PointingSample {
    std::int64_t atMs = 0;  // wall clock, milliseconds since 1970 (UTC)
    float signal = kNotReported;
    float azimuth = 0.0F;
    float elevation = 0.0F;
    float skew = 0.0F;
    float longitude = kNotReported;  // signed degrees, east positive
    float latitude = kNotReported;   // signed degrees, north positive
    std::uint8_t state = 0;          // the antenna mode
};

PointingSample statusSample(const StatusReply& status, std::int64_t atMs);
PointingSample setupSample(const SetupReply& setup, std::int64_t atMs);
// The wall clock as the samples carry it.
std::int64_t pointingClockMs();

// 24 hours at the status poll's one reply a second.
inline constexpr std::size_t kPointingCapacity = 86400;

// A bounded ring of samples, oldest first. Times never go backwards in it: a sample stamped
// before the newest one (the wall clock was set back) takes the newest one's time, so the
// lookups by time below stay sound.
class PointingSamples {
public:
    explicit PointingSamples(std::size_t capacity = kPointingCapacity);

    void push(PointingSample sample);
    // A link was opened: the charts mark the moment.
    void linkOpened(std::int64_t atMs);
    void clear();

    std::size_t size() const { return m_Size; }
    std::size_t capacity() const { return m_Capacity; }
    // Samples pushed since start-up, cleared or not: a reader compares it to see news.
    std::uint64_t pushed() const { return m_Pushed; }
    // Sample i, 0 the oldest kept.
    const PointingSample& operator[](std::size_t i) const {
        return m_Ring[(m_First + i) % m_Capacity];
    }
    // Calls f on samples first..end-1 in order, a contiguous stretch of the ring at a time.
    template <class F>
    void forEach(std::size_t first, std::size_t end, F&& f) const {
        while (first < end) {
            const std::size_t at = (m_First + first) % m_Capacity;
            const std::size_t run = std::min(end - first, m_Capacity - at);
            for (std::size_t i = at; i < at + run; ++i) f(m_Ring[i]);
            first += run;
        }
    }
    // The first sample at or after atMs (size() when none).
    std::size_t lowerBound(std::int64_t atMs) const;
    // The sample nearest to atMs, or nullptr when there is none.
    const PointingSample* nearest(std::int64_t atMs) const;
    // The link openings, those older than the oldest sample dropped once the ring is full.
    const std::deque<std::int64_t>& reconnects() const { return m_Reconnects; }

private:
    std::size_t m_Capacity;
    std::vector<PointingSample> m_Ring;  // grows to the capacity, then is reused
    std::size_t m_First = 0;
    std::size_t m_Size = 0;
    std::uint64_t m_Pushed = 0;
    std::deque<std::int64_t> m_Reconnects;
};

// The charts, in the order of PointingView::series.
enum class PointingChannel : std::uint8_t { Signal, Azimuth, Elevation, Skew };
inline constexpr std::size_t kPointingChannels = 4;

struct ChartPoint {
    std::int64_t atMs = 0;
    float value = 0.0F;
    bool operator==(const ChartPoint&) const = default;
};

// A stretch of time in one antenna state.
struct StateBand {
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    std::uint8_t state = 0;
    bool operator==(const StateBand&) const = default;
};

// What the time charts draw for a range of time.
struct PointingView {
    std::array<std::vector<ChartPoint>, kPointingChannels> series;
    std::vector<StateBand> bands;
    std::vector<std::int64_t> reconnects;
};

// The samples from fromMs to toMs as at most two points per bucket and channel: a bucket's
// lowest and highest value, in the order they came, so that a one-second drop of the signal
// still shows on a chart of a whole day. A range holding no more than two points a bucket is
// given whole. Values not reported are left out. out's vectors are reused.
void reduceView(const PointingSamples& samples, std::int64_t fromMs, std::int64_t toMs,
                std::size_t buckets, PointingView& out);
