#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "data/antenna_values.h"

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

// A continent's two spellings: as the region lists and the .sif messages write it, and in
// capitals as Antenna Information shows it.
struct ContinentNames {
    std::string_view listed;
    std::string_view capitals;
};
inline constexpr std::array<ContinentNames, kContinentCount> kContinentNames = {{
    {"Europe", "EUROPE"},
    {"Asia", "ASIA"},
    {"Oceania", "OCEANIA"},
    {"N.America", "N. AMERICA"},
    {"S.America", "S. AMERICA"},
    {"Africa", "AFRICA"},
}};
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

// Everything a satellite information file can set: the satellite table, the region table and
// how much of it the file held. The reader works on a copy of this and hands it back only when
// the whole file has read, so a damaged file changes nothing.
struct SatelliteTables {
    std::array<SatelliteRecord, kSatelliteTableSize> SatelliteTable{};
    std::array<RegionRecord, kContinentCount * kRegionsPerContinent> RegionTable{};
    std::uint8_t RegionMode = 0;  // 0..5 one region of that continent, 6..11 one continent, 12 all
    std::array<std::uint8_t, kContinentCount> RegionCount{};
    std::uint8_t RegionSelector = 0;
    std::uint8_t SatelliteCount = 0;
    std::uint32_t SifHeaderNumber = 0;

    bool operator==(const SatelliteTables&) const = default;
};

// The satellite data of one ACU: the tables, the current region with its satellites, the edit
// copy the Satellite_Information page changes before anything is sent, the LNB and DiSEqC
// values to send, and the tables as the last file loaded them.
struct SatelliteData : SatelliteTables {
    std::array<SatelliteRecord, kMaxRegionSatellites> RegionSatellites{};
    std::array<SatelliteRecord, kMaxRegionSatellites> EditSatellites{};
    std::uint8_t CurContinent = 0;
    std::uint8_t CurRegion = 0;
    std::uint8_t DefaultSatIndex = 0;
    std::uint8_t EditSatIndex = 0;
    std::uint8_t DefaultDataLoaded = 0;
    std::uint8_t LnbType = 0;
    std::uint32_t LocalFreqSingle = 0;
    std::uint32_t LocalFreqUniversalLow = 0;
    std::uint32_t LocalFreqUniversalHigh = 0;
    std::uint8_t DiseqcMode = 0;
    // The page's radio choices, which the next "Edit Satellite Information" sends.
    std::uint8_t CurVerification = 0;
    std::uint8_t CurPolMode = 0;
    std::uint8_t CurToneMode = 0;
    // The ACU writes its own region into the tables (reply 3, and reply 14's GPS position);
    // an upload puts these back first, so the ACU receives the file and not a mixture.
    std::shared_ptr<const SatelliteTables> LoadedFile;
};

// Region list entry n names satellite n-1 of the table. Any other number (0, above 200)
// yields an all-zero record rather than a read outside the table.
const SatelliteRecord& satelliteByNumber(const SatelliteTables& tables, std::uint32_t n);

// Region r of continent c; an all-zero record when c > 5 or r > 99.
const RegionRecord& regionRecord(const SatelliteTables& tables, std::uint32_t c, std::uint32_t r);

// The same record for writing; nullptr when c > 5 or r > 99, so a caller must decide what an
// out-of-range index means before it can write anything.
RegionRecord* mutableRegionRecord(SatelliteTables& tables, std::uint32_t c, std::uint32_t r);

// The record of the current region (CurContinent, CurRegion).
const RegionRecord& currentRegion(const SatelliteData& data);

// Makes (c, r) the current region and materialises it into RegionSatellites and the edit copy.
// Returns false and changes nothing when (c, r) lies outside the table.
bool selectRegion(SatelliteData& data, std::uint32_t c, std::uint32_t r);

// Copies RegionSatellites into the edit copy and takes the region's LNB and DiSEqC values; the
// antenna parameters, which depend on the antenna model, are LoadAntennaParameters' to take.
// Returns false and changes nothing when (c, r) lies outside the table.
bool prepareEditCopy(SatelliteData& data, std::uint32_t c, std::uint32_t r);

// The target satellite: DefaultSatIndex and the current region's defaultSatellite.
void setDefaultSatellite(SatelliteData& data, std::uint8_t k);

// Takes the parameter defaults of region (c, r): the triple of the antenna model in use
// (models 1..3 only; any other model keeps the three as they are) and the common four.
// A region outside the table changes nothing.
void LoadAntennaParameters(const SatelliteTables& tables, std::uint8_t antennaModel,
                           std::uint32_t c, std::uint32_t r, AntennaParameters& parameters);
