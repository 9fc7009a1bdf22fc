#include "geo/gps_inputs.h"

#include "data/satellite_tables.h"
#include "wire/display_text.h"
#include "wire/number_text.h"

namespace {

// The page's texts are narrow; the one number reader reads wide text.
double typedReal(std::string_view text) {
    return wideToReal(std::u16string(text.begin(), text.end()));
}

// "%c" of a stored byte; the byte 0 of a position never reported shows nothing.
std::string letterText(char letter) {
    return letter == 0 ? std::string() : std::string(1, letter);
}

char firstLetter(const std::string& text) {
    return text.empty() ? char{0} : text.front();
}

}  // namespace

AntennaGpsTexts antennaGpsTexts(std::uint32_t continent, std::uint32_t region) {
    const RegionRecord& r = regionRecord(continent, region);
    return {formatText("%3.2f", r.gpsLongitude), letterText(r.gpsEastWest),
            formatText("%3.2f", r.gpsLatitude), letterText(r.gpsNorthSouth)};
}

namespace {

void readSatellite(const TypedPosition& satellite) {
    g_CalcSatLongitude = typedReal(satellite.degrees);
    g_CalcSatLonHemisphere = satellite.firstItemSelected ? 'E' : 'W';
}

}  // namespace

void ReadAntennaGpsInputs(const TypedPosition& satellite, const AntennaGpsTexts& antenna) {
    readSatellite(satellite);
    g_CalcSiteLongitude = typedReal(antenna.longitude);
    g_CalcSiteLonHemisphere = firstLetter(antenna.longitudeHemisphere);
    g_CalcSiteLatitude = typedReal(antenna.latitude);
    g_CalcSiteLatHemisphere = firstLetter(antenna.latitudeHemisphere);
}

void ReadRegionGpsInputs(const TypedPosition& satellite, const TypedPosition& longitude,
                         const TypedPosition& latitude) {
    readSatellite(satellite);
    g_CalcSiteLongitude = typedReal(longitude.degrees);
    g_CalcSiteLonHemisphere = longitude.firstItemSelected ? 'E' : 'W';
    g_CalcSiteLatitude = typedReal(latitude.degrees);
    g_CalcSiteLatHemisphere = latitude.firstItemSelected ? 'N' : 'S';
}

std::optional<SatelliteLongitude> satelliteLongitudeFor(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= g_RegionSatellites.size()) {
        return std::nullopt;
    }
    const SatelliteRecord& satellite = g_RegionSatellites[static_cast<std::size_t>(position)];
    return SatelliteLongitude{formatText("%3.1f", satellite.longitude), satellite.eastWest == 'E'};
}
