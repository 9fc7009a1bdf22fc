#pragma once

#include "acu_state.h"

// Where a dish at the given GPS position must point to see a geostationary satellite:
// azimuth clockwise from north in [0, 360), elevation above the horizon, and the feed's
// polarisation skew. A spherical earth is plenty for a simulated antenna.
AntennaAngles lookAngles(const GpsFix& site, const SatelliteRecord& satellite);
