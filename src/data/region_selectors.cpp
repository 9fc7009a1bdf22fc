#include "data/region_selectors.h"

#include "data/satellite_tables.h"

namespace {

const char* const kContinentListNames[kContinentCount] = {"Europe   ", "Asia     ", "Oceania  ",
                                                          "N.America", "S.America", "Africa   "};

SelectorContents single(std::string entry) {
    SelectorContents contents;
    contents.entries.push_back(std::move(entry));
    contents.selected = 0;
    contents.enabled = false;
    return contents;
}

std::string regionEntry(std::size_t continent, std::size_t region) {
    const RegionRecord& record =
        regionRecord(static_cast<std::uint32_t>(continent), static_cast<std::uint32_t>(region));
    return std::string(record.name.begin(), record.name.end());
}

}  // namespace

std::string continentListName(std::size_t continent) {
    return continent < kContinentCount ? kContinentListNames[continent] : "";
}

SelectorContents regionSelectorFor(std::size_t continent, std::size_t count) {
    SelectorContents contents;
    const std::size_t shown = count < kRegionsPerContinent ? count : kRegionsPerContinent;
    for (std::size_t r = 0; r < shown; ++r) contents.entries.push_back(regionEntry(continent, r));
    contents.selected = contents.entries.empty() ? -1 : 0;
    contents.enabled = true;
    return contents;
}

AdminSelectors selectorsForLoadedScope() {
    AdminSelectors selectors;
    if (g_RegionMode == 12) {
        for (std::size_t c = 0; c < kContinentCount; ++c) {
            selectors.continents.entries.push_back(kContinentListNames[c]);
        }
        selectors.continents.selected = 0;
        selectors.continents.enabled = true;
        selectors.regions = regionSelectorFor(0, g_RegionCount[0]);
    } else if (g_RegionMode >= 6 && g_RegionMode <= 11) {
        const std::size_t continent = g_RegionMode - 6u;
        selectors.continents = single(kContinentListNames[continent]);
        selectors.regions = regionSelectorFor(continent, g_RegionSelector);
        selectors.continent = static_cast<std::uint8_t>(continent);
    } else if (g_RegionMode < kContinentCount) {
        selectors.continents = single(kContinentListNames[g_RegionMode]);
        selectors.regions = single(regionEntry(g_RegionMode, g_RegionSelector));
        selectors.continent = g_RegionMode;
        selectors.region = g_RegionSelector;
    }
    return selectors;
}

std::optional<SelectorContents> chooseContinent(int position) {
    // Only the list of all six continents can be changed, and there position is continent.
    if (position < 0 || position >= static_cast<int>(kContinentCount)) return std::nullopt;
    g_CurContinent = static_cast<std::uint8_t>(position);
    SelectorContents regions = regionSelectorFor(g_CurContinent, g_RegionCount[g_CurContinent]);
    selectRegion(g_CurContinent, 0);
    return regions;
}

bool chooseRegion(int position) {
    if (position < 0 || position >= static_cast<int>(kRegionsPerContinent)) return false;
    g_CurRegion = static_cast<std::uint8_t>(position);
    return selectRegion(g_CurContinent, g_CurRegion);
}
