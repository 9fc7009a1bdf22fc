#include "exporter/link_values.h"

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/antenna_values.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "link/link_state.h"
#include "wire/display_text.h"

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string targetName() {
    if (g_DefaultSatIndex >= g_RegionSatellites.size()) return "";
    return trimmed(utf8Text(satelliteNameText(g_RegionSatellites[g_DefaultSatIndex])));
}

double signedDegrees(double degrees, char hemisphere, char negative) {
    return hemisphere == negative ? -degrees : degrees;
}

}  // namespace

AcuIdentity identityFromLink(WallClock::time_point at) {
    const ProductInformationTexts product = productInformationTexts();
    AcuIdentity identity;
    identity.product = trimmed(utf8Text(product.antennaModel));
    identity.firmware = trimmed(product.acuSwVersion);
    identity.serial = trimmed(utf8Text(product.serialNumber));
    identity.region = trimmed(utf8Text(regionNameText(regionRecord(g_CurContinent, g_CurRegion))));
    identity.target = targetName();
    identity.at = at;
    return identity;
}

AcuStatus statusFromLink(WallClock::time_point at) {
    const RegionRecord& region = regionRecord(g_CurContinent, g_CurRegion);
    AcuStatus status;
    status.antennaMode = g_AntennaMode;
    status.targetPosition = g_DefaultSatIndex;
    status.target = targetName();
    status.signalLevel = g_SignalLevel;
    status.azimuth = g_CurrentAz;
    status.elevation = g_CurrentEl;
    status.skew = g_CurrentSkew;
    status.gpsLink = g_GpsLinkState;
    status.latitude = signedDegrees(region.gpsLatitude, region.gpsNorthSouth, 'S');
    status.longitude = signedDegrees(region.gpsLongitude, region.gpsEastWest, 'W');
    status.receiverVolts = g_ReceiverV;
    status.at = at;
    return status;
}
