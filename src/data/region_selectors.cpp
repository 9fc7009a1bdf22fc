#include "data/region_selectors.h"

namespace {

// The lists pad every continent to the width of the longest name, "N.America".
constexpr std::size_t kContinentListWidth = 9;

SelectorContents single(std::string entry) {
    SelectorContents contents;
    contents.entries.push_back(std::move(entry));
    contents.selected = 0;
    contents.enabled = false;
    return contents;
}

std::string regionEntry(const SatelliteTables& tables, std::size_t continent, std::size_t region) {
    const RegionRecord& record = regionRecord(tables, static_cast<std::uint32_t>(continent),
                                              static_cast<std::uint32_t>(region));
    return std::string(record.name.begin(), record.name.end());
}

}  // namespace

std::string continentListName(std::size_t continent) {
    if (continent >= kContinentCount) return "";
    std::string name(kContinentNames[continent].listed);
    name.resize(kContinentListWidth, ' ');
    return name;
}

SelectorContents regionSelectorFor(const SatelliteTables& tables, std::size_t continent,
                                   std::size_t count) {
    SelectorContents contents;
    const std::size_t shown = count < kRegionsPerContinent ? count : kRegionsPerContinent;
    for (std::size_t r = 0; r < shown; ++r)
        contents.entries.push_back(regionEntry(tables, continent, r));
    contents.selected = contents.entries.empty() ? -1 : 0;
    contents.enabled = true;
    return contents;
}

AdminSelectors selectorsForLoadedScope(const SatelliteTables& tables) {
    const std::uint8_t mode = tables.RegionMode;
    AdminSelectors selectors;
    if (mode == 12) {
        for (std::size_t c = 0; c < kContinentCount; ++c) {
            selectors.continents.entries.push_back(continentListName(c));
        }
        selectors.continents.selected = 0;
        selectors.continents.enabled = true;
        selectors.regions = regionSelectorFor(tables, 0, tables.RegionCount[0]);
    } else if (mode >= 6 && mode <= 11) {
        const std::size_t continent = mode - 6u;
        selectors.continents = single(continentListName(continent));
        selectors.regions = regionSelectorFor(tables, continent, tables.RegionSelector);
        selectors.continent = static_cast<std::uint8_t>(continent);
    } else if (mode < kContinentCount) {
        selectors.continents = single(continentListName(mode));
        selectors.regions = single(regionEntry(tables, mode, tables.RegionSelector));
        selectors.continent = mode;
        selectors.region = tables.RegionSelector;
    }
    return selectors;
}

std::optional<SelectorContents> chooseContinent(SatelliteData& data, int position) {
    // Only the list of all six continents can be changed, and there position is continent.
    if (position < 0 || position >= static_cast<int>(kContinentCount)) return std::nullopt;
    data.CurContinent = static_cast<std::uint8_t>(position);
    SelectorContents regions =
        regionSelectorFor(data, data.CurContinent, data.RegionCount[data.CurContinent]);
    selectRegion(data, data.CurContinent, 0);
    return regions;
}

bool chooseRegion(SatelliteData& data, int position) {
    if (position < 0 || position >= static_cast<int>(kRegionsPerContinent)) return false;
    data.CurRegion = static_cast<std::uint8_t>(position);
    return selectRegion(data, data.CurContinent, data.CurRegion);
}
