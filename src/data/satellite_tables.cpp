#include "data/satellite_tables.h"

namespace {

const SatelliteRecord kNoSatellite{};
const RegionRecord kNoRegion{};

bool regionInTable(std::uint32_t c, std::uint32_t r) {
    return c < kContinentCount && r < kRegionsPerContinent;
}

}  // namespace

const SatelliteRecord& satelliteByNumber(const SatelliteTables& tables, std::uint32_t n) {
    if (n == 0 || n > kSatelliteTableSize) return kNoSatellite;
    return tables.SatelliteTable[n - 1];
}

const RegionRecord& regionRecord(const SatelliteTables& tables, std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return kNoRegion;
    return tables.RegionTable[c * kRegionsPerContinent + r];
}

RegionRecord* mutableRegionRecord(SatelliteTables& tables, std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return nullptr;
    return &tables.RegionTable[c * kRegionsPerContinent + r];
}

const RegionRecord& currentRegion(const SatelliteData& data) {
    return regionRecord(data, data.CurContinent, data.CurRegion);
}

bool selectRegion(SatelliteData& data, std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return false;
    data.CurContinent = static_cast<std::uint8_t>(c);
    data.CurRegion = static_cast<std::uint8_t>(r);
    const RegionRecord& region = regionRecord(data, c, r);
    data.DefaultSatIndex = region.defaultSatellite;
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        data.RegionSatellites[k] = satelliteByNumber(data, region.satelliteList[k]);
    }
    return prepareEditCopy(data, c, r);
}

bool prepareEditCopy(SatelliteData& data, std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return false;
    const RegionRecord& region = regionRecord(data, c, r);
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        data.EditSatellites[k] = data.RegionSatellites[k];
        data.CurVerification = data.EditSatellites[k].verification;
        data.CurPolMode = data.EditSatellites[k].polarization;
        data.CurToneMode = data.EditSatellites[k].tone;
    }
    data.LnbType = region.lnbType;
    data.LocalFreqSingle = region.singleLocalFreq;
    data.LocalFreqUniversalLow = region.universalLowLocalFreq;
    data.LocalFreqUniversalHigh = region.universalHighLocalFreq;
    data.DiseqcMode = region.diseqcMode;
    return true;
}

void setDefaultSatellite(SatelliteData& data, std::uint8_t k) {
    data.DefaultSatIndex = k;
    if (RegionRecord* region = mutableRegionRecord(data, data.CurContinent, data.CurRegion)) {
        region->defaultSatellite = k;
    }
}

void LoadAntennaParameters(const SatelliteTables& tables, std::uint8_t antennaModel,
                           std::uint32_t c, std::uint32_t r, AntennaParameters& parameters) {
    if (!regionInTable(c, r)) return;
    const RegionRecord& region = regionRecord(tables, c, r);
    if (antennaModel >= 1 && antennaModel <= kModelParamSets) {
        const ModelParams& params = region.modelParams[antennaModel - 1];
        parameters.ParTrackingScale = params.trackingScale;
        parameters.ParDetectLevel = params.detectLevel;
        parameters.ParTrackingLevel = params.trackingLevel;
    }
    parameters.ParElAdjust = region.elAdjust;
    parameters.ParSkewAdjust = region.skewAdjust;
    parameters.ParSignalLostTime = region.signalLostTime;
    parameters.ParBreakTime = region.breakTime;
}
