#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/satellite_tables.h"

// The Administrator page's continent and region selectors: what they list, which entry is
// selected, and whether the user may change it. Entries are 8-bit text, one byte a character.

struct SelectorContents {
    std::vector<std::string> entries;
    int selected = -1;
    bool enabled = false;
};

struct AdminSelectors {
    SelectorContents continents;
    SelectorContents regions;
    // The region made current with them.
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
};

// "Europe   " ... "Africa   ": the list names, blank-padded to 9 characters.
std::string continentListName(std::size_t continent);

// Regions 0 .. count-1 of continent by their 12-character names, the first selected.
SelectorContents regionSelectorFor(const SatelliteTables& tables, std::size_t continent,
                                   std::size_t count);

// The selectors as the loaded scope (RegionMode) leaves them: all continents to choose from,
// one continent's regions, or one region alone.
AdminSelectors selectorsForLoadedScope(const SatelliteTables& tables);

// The continent selector chose position: it becomes CurContinent and its region 0 the current
// region. Returns the region selector's new contents; nothing for a position that names no
// continent.
std::optional<SelectorContents> chooseContinent(SatelliteData& data, int position);

// The region selector chose position within the current continent; false when it names no
// region.
bool chooseRegion(SatelliteData& data, int position);
