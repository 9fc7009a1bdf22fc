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

AntennaGpsTexts antennaGpsTexts(const SatelliteData& data) {
    const RegionRecord& r = currentRegion(data);
    return {formatText("%3.2f", r.gpsLongitude), letterText(r.gpsEastWest),
            formatText("%3.2f", r.gpsLatitude), letterText(r.gpsNorthSouth)};
}

namespace {

LookAngleInputs withSatellite(const TypedPosition& satellite) {
    LookAngleInputs inputs;
    inputs.satLongitude = typedReal(satellite.degrees);
    inputs.satLonHemisphere = satellite.firstItemSelected ? 'E' : 'W';
    return inputs;
}

}  // namespace

LookAngleInputs ReadAntennaGpsInputs(const TypedPosition& satellite,
                                     const AntennaGpsTexts& antenna) {
    LookAngleInputs inputs = withSatellite(satellite);
    inputs.siteLongitude = typedReal(antenna.longitude);
    inputs.siteLonHemisphere = firstLetter(antenna.longitudeHemisphere);
    inputs.siteLatitude = typedReal(antenna.latitude);
    inputs.siteLatHemisphere = firstLetter(antenna.latitudeHemisphere);
    return inputs;
}

LookAngleInputs ReadRegionGpsInputs(const TypedPosition& satellite, const TypedPosition& longitude,
                                    const TypedPosition& latitude) {
    LookAngleInputs inputs = withSatellite(satellite);
    inputs.siteLongitude = typedReal(longitude.degrees);
    inputs.siteLonHemisphere = longitude.firstItemSelected ? 'E' : 'W';
    inputs.siteLatitude = typedReal(latitude.degrees);
    inputs.siteLatHemisphere = latitude.firstItemSelected ? 'N' : 'S';
    return inputs;
}

std::optional<SatelliteLongitude> satelliteLongitudeFor(const SatelliteData& data, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= data.RegionSatellites.size()) {
        return std::nullopt;
    }
    const SatelliteRecord& satellite = data.RegionSatellites[static_cast<std::size_t>(position)];
    return SatelliteLongitude{formatText("%3.1f", satellite.longitude), satellite.eastWest == 'E'};
}
