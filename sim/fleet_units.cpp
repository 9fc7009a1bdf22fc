#include "fleet_units.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "wire/fixed_text.h"

namespace {

// Waters the fleet sails, each with the place its positions scatter around. Every satellite
// of the unit's table is in view from all of them.
struct Waters {
    const char16_t* region;
    double longitude;  // east positive
    double latitude;   // north positive
};
constexpr std::array<Waters, 5> kWaters = {{
    {u"NW-EUROPE", 4.48, 51.90},
    {u"BALTIC", 18.65, 54.40},
    {u"MED-WEST", 2.17, 41.38},
    {u"N-ATLANTIC", -25.67, 37.74},
    {u"CANARIES", -15.40, 28.10},
}};
// How far a unit's position lies from its waters' place, in degrees either way.
constexpr double kScatter = 1.5;

// A number in [0, 1) that only depends on the unit and the purpose, so that the fleet is the
// same on every run without a random generator's state.
double spread(std::size_t number, unsigned salt) {
    std::uint32_t x = static_cast<std::uint32_t>(number) * 2654435761u ^ (salt * 40503u);
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return (x & 0xFFFFFF) / static_cast<double>(0x1000000);
}

}  // namespace

void makeFleetUnit(AcuSimulator& acu, std::size_t number) {
    AcuState& state = acu.state();
    char serial[16];
    std::snprintf(serial, sizeof serial, "SR60-24%05zu", number % 100000);
    state.product.serialNumber.fill(0);
    for (std::size_t i = 0; serial[i] != 0 && i < state.product.serialNumber.size(); ++i) {
        state.product.serialNumber[i] = static_cast<std::uint8_t>(serial[i]);
    }

    const std::size_t watersIndex = (number - 1) % kWaters.size();
    const Waters& waters = kWaters[watersIndex];
    RegionRecord& region = state.current.record;
    storeFixedText(region.name, waters.region);
    state.current.region = static_cast<std::uint8_t>(watersIndex + 1);
    state.current.regionCount = static_cast<std::uint8_t>(kWaters.size());
    region.defaultSatellite = static_cast<std::uint8_t>((number - 1) % 3);

    const double longitude = waters.longitude + (2 * spread(number, 1) - 1) * kScatter;
    const double latitude = waters.latitude + (2 * spread(number, 2) - 1) * kScatter;
    state.gps.longitude = std::round(std::fabs(longitude) * 100) / 100;
    state.gps.eastWest = longitude < 0 ? 'W' : 'E';
    state.gps.latitude = std::round(std::fabs(latitude) * 100) / 100;
    state.gps.northSouth = latitude < 0 ? 'S' : 'N';
    region.gpsLongitude = state.gps.longitude;
    region.gpsEastWest = state.gps.eastWest;
    region.gpsLatitude = state.gps.latitude;
    region.gpsNorthSouth = state.gps.northSouth;

    acu.settings().motion.signalWander = kFleetSignalWander;
    acu.settings().motion.wanderPhase = 2 * 3.14159265358979 * spread(number, 3);
    acu.factoryState() = state;
    acu.settleOnTarget();
}
