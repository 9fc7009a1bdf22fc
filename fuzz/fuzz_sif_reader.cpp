// The satellite information reader on any bytes: it must refuse or read, never read or write
// outside its tables, and a file it reads must hold only what the tables can.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "data/satellite_tables.h"
#include "data/sif_reader.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One staging copy for every run: a fresh 150 kB table per input would cost more than
    // the reading it checks.
    static const SatelliteTables base{};
    static SatelliteTables tables;
    tables = base;
    if (const std::optional<SifRefusal> refusal =
            readSatelliteInformationInto(std::span(data, size), tables)) {
        require(!refusal->reason.empty());
        return 0;
    }
    require(tables.SatelliteCount <= kSatelliteTableSize);
    require(tables.RegionMode <= 12);
    for (std::uint8_t count : tables.RegionCount) require(count <= kRegionsPerContinent);
    for (const RegionRecord& region : tables.RegionTable) {
        require(region.satelliteCount <= kMaxRegionSatellites);
    }
    return 0;
}
