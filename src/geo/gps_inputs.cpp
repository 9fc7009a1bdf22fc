#include "geo/gps_inputs.h"

#include <charconv>
#include <cmath>

#include "data/satellite_tables.h"
#include "wire/display_text.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// "%c" of a stored byte; the byte 0 of a position never reported shows nothing.
std::string letterText(char letter) {
    return letter == 0 ? std::string() : std::string(1, letter);
}

char firstLetter(const std::string& text) {
    return text.empty() ? char{0} : text.front();
}

}  // namespace

double textToReal(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t mantissa = at;
    at = skipDigits(text, at);
    bool digits = at > mantissa;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = at + 1;
        const std::size_t end = skipDigits(text, fraction);
        if (digits || end > fraction) {
            digits = true;
            at = end;
        }
    }
    if (!digits) return 0.0;
    // An exponent counts only when digits follow it: "12e" reads as 12.
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t end = skipDigits(text, exponent);
        if (end > exponent) at = end;
    }
    const std::string_view number = text.substr(mantissa, at - mantissa);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Like the C library: too large is infinite (the angles then show "---"), too small 0.
        const bool tiny = number.find("e-") != std::string_view::npos ||
                          number.find("E-") != std::string_view::npos;
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

AntennaGpsTexts antennaGpsTexts(std::uint32_t continent, std::uint32_t region) {
    const RegionRecord& r = regionRecord(continent, region);
    return {formatText("%3.2f", r.gpsLongitude), letterText(r.gpsEastWest),
            formatText("%3.2f", r.gpsLatitude), letterText(r.gpsNorthSouth)};
}

namespace {

void readSatellite(const TypedPosition& satellite) {
    g_CalcSatLongitude = textToReal(satellite.degrees);
    g_CalcSatLonHemisphere = satellite.firstItemSelected ? 'E' : 'W';
}

}  // namespace

void ReadAntennaGpsInputs(const TypedPosition& satellite, const AntennaGpsTexts& antenna) {
    readSatellite(satellite);
    g_CalcSiteLongitude = textToReal(antenna.longitude);
    g_CalcSiteLonHemisphere = firstLetter(antenna.longitudeHemisphere);
    g_CalcSiteLatitude = textToReal(antenna.latitude);
    g_CalcSiteLatHemisphere = firstLetter(antenna.latitudeHemisphere);
}

void ReadRegionGpsInputs(const TypedPosition& satellite, const TypedPosition& longitude,
                         const TypedPosition& latitude) {
    readSatellite(satellite);
    g_CalcSiteLongitude = textToReal(longitude.degrees);
    g_CalcSiteLonHemisphere = longitude.firstItemSelected ? 'E' : 'W';
    g_CalcSiteLatitude = textToReal(latitude.degrees);
    g_CalcSiteLatHemisphere = latitude.firstItemSelected ? 'N' : 'S';
}

std::optional<SatelliteLongitude> satelliteLongitudeFor(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= g_RegionSatellites.size()) {
        return std::nullopt;
    }
    const SatelliteRecord& satellite = g_RegionSatellites[static_cast<std::size_t>(position)];
    return SatelliteLongitude{formatText("%3.1f", satellite.longitude), satellite.eastWest == 'E'};
}
