#include "exporter/link_values.h"

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "link/link_state.h"
#include "wire/display_text.h"

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string targetName(const SatelliteData& data) {
    if (data.DefaultSatIndex >= data.RegionSatellites.size()) return "";
    return trimmed(utf8Text(satelliteNameText(data.RegionSatellites[data.DefaultSatIndex])));
}

double signedDegrees(double degrees, char hemisphere, char negative) {
    return hemisphere == negative ? -degrees : degrees;
}

}  // namespace

AcuIdentity identityFromLink(const LinkState& link, WallClock::time_point at) {
    const ProductInformationTexts product = productInformationTexts(link.product);
    AcuIdentity identity;
    identity.product = trimmed(utf8Text(product.antennaModel));
    identity.firmware = trimmed(product.acuSwVersion);
    identity.serial = trimmed(utf8Text(product.serialNumber));
    identity.region = trimmed(utf8Text(regionNameText(currentRegion(link.data))));
    identity.target = targetName(link.data);
    identity.at = at;
    return identity;
}

AcuStatus statusFromLink(const LinkState& link, WallClock::time_point at) {
    const RegionRecord& region = currentRegion(link.data);
    AcuStatus status;
    status.antennaMode = link.AntennaMode;
    status.targetPosition = link.data.DefaultSatIndex;
    status.target = targetName(link.data);
    status.signalLevel = link.antenna.SignalLevel;
    status.azimuth = link.antenna.CurrentAz;
    status.elevation = link.antenna.CurrentEl;
    status.skew = link.antenna.CurrentSkew;
    status.gpsLink = link.antenna.GpsLinkState;
    status.latitude = signedDegrees(region.gpsLatitude, region.gpsNorthSouth, 'S');
    status.longitude = signedDegrees(region.gpsLongitude, region.gpsEastWest, 'W');
    status.receiverVolts = link.product.ReceiverV;
    status.at = at;
    return status;
}
