#include "exporter/link_values.h"

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "link/link_state.h"
#include "wire/display_text.h"

namespace {

std::string targetName(const SatelliteData& data) {
    if (data.DefaultSatIndex >= data.RegionSatellites.size()) return "";
    return withoutSpacesAround(
        utf8Text(satelliteNameText(data.RegionSatellites[data.DefaultSatIndex])));
}

double signedDegrees(double degrees, char hemisphere, char negative) {
    return hemisphere == negative ? -degrees : degrees;
}

}  // namespace

AcuIdentity identityFromLink(const LinkState& link, WallClock::time_point at) {
    const ProductInformationTexts product = productInformationTexts(link.product);
    AcuIdentity identity;
    identity.product = withoutSpacesAround(utf8Text(product.antennaModel));
    identity.firmware = withoutSpacesAround(product.acuSwVersion);
    identity.serial = withoutSpacesAround(utf8Text(product.serialNumber));
    identity.region = withoutSpacesAround(utf8Text(regionNameText(currentRegion(link.data))));
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
