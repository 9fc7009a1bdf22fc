#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "data/antenna_info.h"
#include "data/satellite_tables.h"
#include "lcd/lcd_data.h"

// Everything the simulated control unit knows about itself. It is plain data so a test can
// read or set any part of it; the behaviour lives in the classes that work on it.

// The operating state as the ACU reports it in replies 1, 14 and 16.
enum class AntennaMode : std::uint8_t {
    Setup = 1,  // only reply 1 says this; replies 14 and 16 say Stop
    Initialize = 2,
    Search = 3,
    Tracking = 4,
    Break = 5,
    Stop = 6,
    Diagnosis = 7,
};

inline constexpr std::size_t kDiagnosisItems = 10;

// The unit's own copy of the LCD texts, in the program's layout.
using LcdBlock = std::array<std::uint8_t, kLcdDataSize>;

// What reply 2 reports. The firmware keeps versions and voltages in hundredths, which is
// also how they travel, so no rounding happens between the two.
struct ProductInfo {
    std::uint8_t antennaType = 0;   // 1 sub-reflector, 2 gyro sensor
    std::uint8_t antennaModel = 0;  // 1 has no skew axis
    std::uint8_t skewless = 0;
    std::array<std::uint8_t, kModelNameWidth> modelName{};
    std::array<std::uint8_t, kSerialNumberWidth> serialNumber{};
    std::uint16_t antSwVersion = 0;  // hundredths
    std::uint16_t acuSwVersion = 0;
    std::uint16_t libraryVersion = 0;
    std::uint16_t antennaPowerCentivolts = 0;
    std::uint16_t acuPowerCentivolts = 0;

    // Models without a skew axis have no skew limit to test.
    bool hasSkewTest() const { return antennaModel != 1 && skewless != 1; }
};

// The LNB supply that the satellite receiver puts on the cable, as the ACU measures it.
struct ReceiverOutput {
    std::uint16_t centivolts = 0;
    std::uint8_t is18V = 0;
    std::uint8_t tone22k = 0;
};

struct GpsFix {
    std::uint8_t linkState = 0;  // 1 fix, 2 no fix
    double longitude = 0.0;
    char eastWest = 'E';
    double latitude = 0.0;
    char northSouth = 'N';
};

struct AntennaAngles {
    double az = 0.0;
    double el = 0.0;
    double skew = 0.0;
};

// The region the antenna works in and its satellites in list order (replies 3 and 4).
struct CurrentRegion {
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
    std::uint8_t regionCount = 0;  // regions the ACU holds for that continent
    RegionRecord record;
    std::array<SatelliteRecord, kMaxRegionSatellites> satellites{};

    std::size_t satelliteCount() const { return record.listedSatellites(); }
    const SatelliteRecord& target() const {
        return satellites[record.defaultSatellite < satelliteCount() ? record.defaultSatellite : 0];
    }
};

struct RegionArrival {
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
    RegionRecord record;

    bool operator==(const RegionArrival&) const = default;
};

// Command 10 as it arrived.
struct UploadHeader {
    std::uint16_t sifHeaderNumber = 0;
    std::array<std::uint8_t, kContinentCount> regionCounts{};
    std::uint8_t continentSelection = 0;
    std::uint8_t regionSelection = 0;

    bool operator==(const UploadHeader&) const = default;
};

// Default data that came in with commands 10..13 (upload) or 6..9 (the chain that an unasked
// reply 6 starts), kept as received so a test can hold it against the file that was sent.
struct ReceivedDefaults {
    std::optional<UploadHeader> header;      // upload only
    std::vector<std::uint8_t> announcement;  // command 6's payload after the code, chain only
    std::vector<RegionArrival> regions;
    std::vector<SatelliteRecord> satellites;
    bool complete = false;  // command 13 or 9 came
};

struct AcuState {
    ProductInfo product;
    ReceiverOutput receiver;
    GpsFix gps;
    CurrentRegion current;

    AntennaMode mode = AntennaMode::Tracking;
    // Set by command 16 and left by a restart or a target change. Reply 1 then says 1 while
    // the mode reads Stop (or Diagnosis during a self test).
    bool setupMode = false;
    std::uint16_t signalLevel = 0;
    AntennaAngles position;
    AntennaAngles target;  // where the axes are heading

    LcdBlock lcd{};
    ReceivedDefaults upload;
    ReceivedDefaults chain;
};
