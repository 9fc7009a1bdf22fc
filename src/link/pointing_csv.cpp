#include "link/pointing_csv.h"

#include <cmath>
#include <ctime>

#include "link/frame_text.h"
#include "wire/display_text.h"

namespace {

std::string field(const char* format, float value) {
    return std::isnan(value) ? std::string() : formatText(format, static_cast<double>(value));
}

std::string localTime(std::int64_t atMs) {
    // Floor division, so a time before 1970 still gets a millisecond part of 0..999.
    std::int64_t seconds = atMs / 1000;
    std::int64_t millis = atMs % 1000;
    if (millis < 0) {
        millis += 1000;
        seconds -= 1;
    }
    const auto whole = static_cast<std::time_t>(seconds);
    std::tm parts{};
    localtime_r(&whole, &parts);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return formatText("%s.%03d", text, static_cast<int>(millis));
}

}  // namespace

std::string pointingCsvHeader() {
    return "time,state,signal,azimuth,elevation,skew,longitude,latitude";
}

std::string pointingCsvLine(const PointingSample& sample) {
    std::string state = antennaModeName(sample.state);
    if (state.empty()) state = std::to_string(sample.state);
    return localTime(sample.atMs) + "," + state + "," + field("%.0f", sample.signal) + "," +
           field("%.2f", sample.azimuth) + "," + field("%.2f", sample.elevation) + "," +
           field("%.2f", sample.skew) + "," + field("%.2f", sample.longitude) + "," +
           field("%.2f", sample.latitude);
}
