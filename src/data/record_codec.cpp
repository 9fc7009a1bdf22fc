#include "data/record_codec.h"

void writeSatelliteRecord(PayloadWriter& out, const SatelliteRecord& sat) {
    out.U8(sat.number);
    out.CHARS(sat.name);
    out.X10(sat.longitude);
    out.U8(static_cast<std::uint8_t>(sat.eastWest));
    for (std::uint32_t value : {sat.vLowFreq, sat.vLowSymbolRate, sat.vLowNid, sat.vHighFreq,
                                sat.vHighSymbolRate, sat.vHighNid, sat.hLowFreq, sat.hLowSymbolRate,
                                sat.hLowNid, sat.hHighFreq, sat.hHighSymbolRate, sat.hHighNid}) {
        out.BE16(value);
    }
    out.U8(sat.verification);
    out.U8(sat.polarization);
    out.U8(sat.tone);
}

SatelliteRecord readSatelliteRecord(PayloadReader& in) {
    SatelliteRecord sat;
    sat.number = in.U8();
    in.CHARS(sat.name);
    sat.longitude = in.X10();
    sat.eastWest = static_cast<char>(in.U8());
    for (std::uint32_t* value :
         {&sat.vLowFreq, &sat.vLowSymbolRate, &sat.vLowNid, &sat.vHighFreq, &sat.vHighSymbolRate,
          &sat.vHighNid, &sat.hLowFreq, &sat.hLowSymbolRate, &sat.hLowNid, &sat.hHighFreq,
          &sat.hHighSymbolRate, &sat.hHighNid}) {
        *value = in.BE16();
    }
    sat.verification = in.U8();
    sat.polarization = in.U8();
    sat.tone = in.U8();
    return sat;
}

void writeRegionBody(PayloadWriter& out, const RegionRecord& region) {
    out.CHARS(region.name);
    // A count above the list's capacity would make the receiver read the tail as list bytes;
    // only the entries that exist are announced.
    out.U8(static_cast<std::uint32_t>(region.listedSatellites()));
    out.U8(region.defaultSatellite);
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) out.U8(region.satelliteList[k]);
    out.U8(region.lnbType);
    out.BE16(region.singleLocalFreq);
    out.BE16(region.universalLowLocalFreq);
    out.BE16(region.universalHighLocalFreq);
    out.U8(region.diseqcMode);
    for (const ModelParams& params : region.modelParams) {
        out.X100(params.trackingScale);
        out.BE16(params.detectLevel);
        out.BE16(params.trackingLevel);
    }
    out.SGN100(region.elAdjust);
    out.SGN100(region.skewAdjust);
    out.BE16(region.signalLostTime);
    out.BE16(region.breakTime);
    out.X100(region.gpsLongitude);
    out.U8(static_cast<std::uint8_t>(region.gpsEastWest));
    out.X100(region.gpsLatitude);
    out.U8(static_cast<std::uint8_t>(region.gpsNorthSouth));
}

RegionRecord readRegionBody(PayloadReader& in) {
    RegionRecord region;
    in.CHARS(region.name);
    region.satelliteCount = in.U8();
    region.defaultSatellite = in.U8();
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) region.satelliteList[k] = in.U8();
    region.lnbType = in.U8();
    region.singleLocalFreq = in.BE16();
    region.universalLowLocalFreq = in.BE16();
    region.universalHighLocalFreq = in.BE16();
    region.diseqcMode = in.U8();
    for (ModelParams& params : region.modelParams) {
        params.trackingScale = in.X100();
        params.detectLevel = in.BE16();
        params.trackingLevel = in.BE16();
    }
    region.elAdjust = in.SGN100();
    region.skewAdjust = in.SGN100();
    region.signalLostTime = in.BE16();
    region.breakTime = in.BE16();
    region.gpsLongitude = in.X100();
    region.gpsEastWest = static_cast<char>(in.U8());
    region.gpsLatitude = in.X100();
    region.gpsNorthSouth = static_cast<char>(in.U8());
    return region;
}
