#pragma once

#include <array>
#include <cstdint>

// The satellite data model: which satellites the antenna may look for and, per sales region,
// which of them belong to it and how the ACU is set up there. Every table starts all zeros;
// the data comes from a satellite information file or from the ACU.

enum class Verification : std::uint8_t {
    SignalLevel = 0,
    DvbLock = 1,
    DvbDecode = 2,
    DssDecode = 3
};
enum class PolarizationMode : std::uint8_t { Auto = 0, Only13V = 1, Only18V = 2 };
enum class ToneMode : std::uint8_t { Auto = 0, Only0kHz = 1, Only22kHz = 2 };
enum class LnbType : std::uint8_t { SingleBand = 0, Universal = 1 };
enum class DiseqcMode : std::uint8_t { NotUse = 0, ChangeBand = 1, ChangeSatellite = 2 };
enum class Continent : std::uint8_t {
    Europe = 0,
    Asia = 1,
    Oceania = 2,
    NAmerica = 3,
    SAmerica = 4,
    Africa = 5
};

inline constexpr std::size_t kSatelliteNameWidth = 10;
inline constexpr std::size_t kRegionNameWidth = 12;
inline constexpr std::size_t kSatelliteTableSize = 200;
inline constexpr std::size_t kContinentCount = 6;
inline constexpr std::size_t kRegionsPerContinent = 100;
inline constexpr std::size_t kMaxRegionSatellites = 20;
inline constexpr std::size_t kModelParamSets = 3;

struct SatelliteRecord {
    std::uint8_t number = 0;
    std::array<std::uint8_t, kSatelliteNameWidth> name{};
    double longitude = 0.0;
    char eastWest = 0;
    std::uint32_t vLowFreq = 0;
    std::uint32_t vLowSymbolRate = 0;
    std::uint32_t vLowNid = 0;
    std::uint32_t vHighFreq = 0;
    std::uint32_t vHighSymbolRate = 0;
    std::uint32_t vHighNid = 0;
    std::uint32_t hLowFreq = 0;
    std::uint32_t hLowSymbolRate = 0;
    std::uint32_t hLowNid = 0;
    std::uint32_t hHighFreq = 0;
    std::uint32_t hHighSymbolRate = 0;
    std::uint32_t hHighNid = 0;
    std::uint8_t verification = 0;
    std::uint8_t polarization = 0;
    std::uint8_t tone = 0;

    bool operator==(const SatelliteRecord&) const = default;
};

struct ModelParams {
    double trackingScale = 0.0;
    std::uint32_t detectLevel = 0;
    std::uint32_t trackingLevel = 0;

    bool operator==(const ModelParams&) const = default;
};

struct RegionRecord {
    std::array<std::uint8_t, kRegionNameWidth> name{};
    std::uint8_t satelliteCount = 0;
    std::uint8_t defaultSatellite = 0;
    std::array<std::uint32_t, kMaxRegionSatellites> satelliteList{};
    std::uint8_t lnbType = 0;
    std::uint32_t singleLocalFreq = 0;
    std::uint32_t universalLowLocalFreq = 0;
    std::uint32_t universalHighLocalFreq = 0;
    std::uint8_t diseqcMode = 0;
    std::array<ModelParams, kModelParamSets> modelParams{};
    double elAdjust = 0.0;
    double skewAdjust = 0.0;
    std::uint32_t signalLostTime = 0;
    std::uint32_t breakTime = 0;
    double gpsLongitude = 0.0;
    char gpsEastWest = 0;
    double gpsLatitude = 0.0;
    char gpsNorthSouth = 0;

    // The count as far as the list can hold it: a record read from a damaged file or reply
    // may claim more than 20 satellites, and nothing may read past the list for it.
    std::size_t listedSatellites() const {
        return satelliteCount < kMaxRegionSatellites ? satelliteCount : kMaxRegionSatellites;
    }

    bool operator==(const RegionRecord&) const = default;
};

extern std::array<SatelliteRecord, kSatelliteTableSize> g_SatelliteTable;
extern std::array<RegionRecord, kContinentCount * kRegionsPerContinent> g_RegionTable;
extern std::array<SatelliteRecord, kMaxRegionSatellites> g_RegionSatellites;
extern std::array<SatelliteRecord, kMaxRegionSatellites> g_EditSatellites;

extern std::uint8_t g_CurContinent;
extern std::uint8_t g_CurRegion;
extern std::uint8_t g_DefaultSatIndex;
extern std::uint8_t g_EditSatIndex;
extern std::uint8_t g_RegionMode;
extern std::array<std::uint8_t, kContinentCount> g_RegionCount;
extern std::uint8_t g_RegionSelector;
extern std::uint8_t g_SatelliteCount;
extern std::uint32_t g_SifHeaderNumber;
extern std::uint8_t g_DefaultDataLoaded;
extern std::uint8_t g_LnbType;
extern std::uint32_t g_LocalFreqSingle;
extern std::uint32_t g_LocalFreqUniversalLow;
extern std::uint32_t g_LocalFreqUniversalHigh;
extern std::uint8_t g_DiseqcMode;
extern std::uint8_t g_CurVerification;
extern std::uint8_t g_CurPolMode;
extern std::uint8_t g_CurToneMode;

// Region list entry n names satellite n-1 of the table. Any other number (0, above 200)
// yields an all-zero record rather than a read outside the table.
const SatelliteRecord& satelliteByNumber(std::uint32_t n);

// Region r of continent c; an all-zero record when c > 5 or r > 99.
const RegionRecord& regionRecord(std::uint32_t c, std::uint32_t r);

// The same record for writing; nullptr when c > 5 or r > 99, so a caller must decide what an
// out-of-range index means before it can write anything.
RegionRecord* mutableRegionRecord(std::uint32_t c, std::uint32_t r);

// Makes (c, r) the current region and materialises it into g_RegionSatellites and the edit
// copy. Returns false and changes nothing when (c, r) lies outside the table.
bool selectRegion(std::uint32_t c, std::uint32_t r);

// Copies g_RegionSatellites into the edit copy and takes the region's LNB, DiSEqC and antenna
// parameter defaults. Returns false and changes nothing when (c, r) lies outside the table.
bool prepareEditCopy(std::uint32_t c, std::uint32_t r);

// The target satellite: g_DefaultSatIndex and the current region's defaultSatellite.
void setDefaultSatellite(std::uint8_t k);

void resetSatelliteTables();

// Takes the parameter defaults of region (c, r): the triple of the antenna model in use
// (models 1..3 only; any other model keeps the three as they are) and the common four.
// A region outside the table changes nothing.
void LoadAntennaParameters(std::uint32_t c, std::uint32_t r);
