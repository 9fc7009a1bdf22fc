#include "data/satellite_tables.h"

#include "data/antenna_values.h"

std::array<SatelliteRecord, kSatelliteTableSize> g_SatelliteTable{};
std::array<RegionRecord, kContinentCount * kRegionsPerContinent> g_RegionTable{};
std::array<SatelliteRecord, kMaxRegionSatellites> g_RegionSatellites{};
std::array<SatelliteRecord, kMaxRegionSatellites> g_EditSatellites{};

std::uint8_t g_CurContinent = 0;
std::uint8_t g_CurRegion = 0;
std::uint8_t g_DefaultSatIndex = 0;
std::uint8_t g_EditSatIndex = 0;
std::uint8_t g_RegionMode = 0;
std::array<std::uint8_t, kContinentCount> g_RegionCount{};
std::uint8_t g_RegionSelector = 0;
std::uint8_t g_SatelliteCount = 0;
std::uint32_t g_SifHeaderNumber = 0;
std::uint8_t g_DefaultDataLoaded = 0;
std::uint8_t g_LnbType = 0;
std::uint32_t g_LocalFreqSingle = 0;
std::uint32_t g_LocalFreqUniversalLow = 0;
std::uint32_t g_LocalFreqUniversalHigh = 0;
std::uint8_t g_DiseqcMode = 0;
std::uint8_t g_CurVerification = 0;
std::uint8_t g_CurPolMode = 0;
std::uint8_t g_CurToneMode = 0;

namespace {

const SatelliteRecord kNoSatellite{};
const RegionRecord kNoRegion{};

bool regionInTable(std::uint32_t c, std::uint32_t r) {
    return c < kContinentCount && r < kRegionsPerContinent;
}

}  // namespace

const SatelliteRecord& satelliteByNumber(std::uint32_t n) {
    if (n == 0 || n > kSatelliteTableSize) return kNoSatellite;
    return g_SatelliteTable[n - 1];
}

const RegionRecord& regionRecord(std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return kNoRegion;
    return g_RegionTable[c * kRegionsPerContinent + r];
}

RegionRecord* mutableRegionRecord(std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return nullptr;
    return &g_RegionTable[c * kRegionsPerContinent + r];
}

bool selectRegion(std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return false;
    g_CurContinent = static_cast<std::uint8_t>(c);
    g_CurRegion = static_cast<std::uint8_t>(r);
    const RegionRecord& region = regionRecord(c, r);
    g_DefaultSatIndex = region.defaultSatellite;
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        g_RegionSatellites[k] = satelliteByNumber(region.satelliteList[k]);
    }
    return prepareEditCopy(c, r);
}

bool prepareEditCopy(std::uint32_t c, std::uint32_t r) {
    if (!regionInTable(c, r)) return false;
    const RegionRecord& region = regionRecord(c, r);
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) {
        g_EditSatellites[k] = g_RegionSatellites[k];
        g_CurVerification = g_EditSatellites[k].verification;
        g_CurPolMode = g_EditSatellites[k].polarization;
        g_CurToneMode = g_EditSatellites[k].tone;
    }
    g_LnbType = region.lnbType;
    g_LocalFreqSingle = region.singleLocalFreq;
    g_LocalFreqUniversalLow = region.universalLowLocalFreq;
    g_LocalFreqUniversalHigh = region.universalHighLocalFreq;
    g_DiseqcMode = region.diseqcMode;
    LoadAntennaParameters(c, r);
    return true;
}

void setDefaultSatellite(std::uint8_t k) {
    g_DefaultSatIndex = k;
    if (RegionRecord* region = mutableRegionRecord(g_CurContinent, g_CurRegion)) {
        region->defaultSatellite = k;
    }
}

void resetSatelliteTables() {
    g_SatelliteTable.fill({});
    g_RegionTable.fill({});
    g_RegionSatellites.fill({});
    g_EditSatellites.fill({});
    g_CurContinent = 0;
    g_CurRegion = 0;
    g_DefaultSatIndex = 0;
    g_EditSatIndex = 0;
    g_RegionMode = 0;
    g_RegionCount.fill(0);
    g_RegionSelector = 0;
    g_SatelliteCount = 0;
    g_SifHeaderNumber = 0;
    g_DefaultDataLoaded = 0;
    g_LnbType = 0;
    g_LocalFreqSingle = 0;
    g_LocalFreqUniversalLow = 0;
    g_LocalFreqUniversalHigh = 0;
    g_DiseqcMode = 0;
    g_CurVerification = 0;
    g_CurPolMode = 0;
    g_CurToneMode = 0;
}

void LoadAntennaParameters(std::uint32_t c, std::uint32_t r) {
    if (mutableRegionRecord(c, r) == nullptr) return;
    const RegionRecord& region = regionRecord(c, r);
    if (g_AntennaModel >= 1 && g_AntennaModel <= kModelParamSets) {
        const ModelParams& params = region.modelParams[g_AntennaModel - 1];
        g_ParTrackingScale = params.trackingScale;
        g_ParDetectLevel = static_cast<int>(params.detectLevel);
        g_ParTrackingLevel = static_cast<int>(params.trackingLevel);
    }
    g_ParElAdjust = region.elAdjust;
    g_ParSkewAdjust = region.skewAdjust;
    g_ParSignalLostTime = static_cast<int>(region.signalLostTime);
    g_ParBreakTime = static_cast<int>(region.breakTime);
}
