#pragma once

#include <string>
#include <vector>

#include "data/satellite_tables.h"
#include "lcd/lcd_data.h"

// A field whose value read back from the ACU is not the one written to it.
struct FieldDifference {
    std::string record;  // "region NORTH-SEA", "satellite 3 ASTRA 1", "LCD line 4"
    std::string field;
    std::string file;  // as the file has it, the way the line carries it
    std::string acu;   // as the ACU reported it
};

// Field by field, after passing the file's record through the line's own encoding: what the
// line cannot carry (a longitude's second decimal) is no difference. The region's GPS
// position is the ACU's own and is not compared.
std::vector<FieldDifference> compareRegion(const RegionRecord& file, const RegionRecord& acu);
std::vector<FieldDifference> compareSatellite(std::size_t position, const SatelliteRecord& file,
                                              const SatelliteRecord& acu);
// Line by line; text shown byte for character.
std::vector<FieldDifference> compareLcd(const LcdDataBlock& file, const LcdDataBlock& acu);

// "satellite 3 ASTRA 1 name: file 'ASTRA 1', ACU 'BSTRA 1'"
std::string differenceText(const FieldDifference& difference);
