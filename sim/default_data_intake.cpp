#include "default_data_intake.h"

#include <algorithm>

#include "data/record_codec.h"
#include "wire/encoding.h"

bool takeUploadHeader(std::span<const std::uint8_t> payload, ReceivedDefaults& into) {
    PayloadReader in(payload.subspan(1));
    UploadHeader header;
    header.sifHeaderNumber = in.BE16();
    for (std::uint8_t& count : header.regionCounts) count = in.U8();
    header.continentSelection = in.U8();
    header.regionSelection = in.U8();
    if (in.exhausted()) return false;
    // A new upload replaces whatever an earlier one left.
    into = ReceivedDefaults{};
    into.header = header;
    return true;
}

bool takeAnnouncement(std::span<const std::uint8_t> payload, ReceivedDefaults& into) {
    into = ReceivedDefaults{};
    into.announcement.assign(payload.begin() + 1, payload.end());
    return true;
}

bool takeRegionRecord(std::span<const std::uint8_t> payload, ReceivedDefaults& into) {
    PayloadReader in(payload.subspan(1));
    RegionArrival arrival;
    arrival.continent = in.U8();
    arrival.region = in.U8();
    arrival.record = readRegionBody(in);
    if (in.exhausted()) return false;
    into.regions.push_back(arrival);
    return true;
}

bool takeSatelliteRecord(std::span<const std::uint8_t> payload, ReceivedDefaults& into) {
    PayloadReader in(payload.subspan(1));
    const SatelliteRecord satellite = readSatelliteRecord(in);
    if (in.exhausted()) return false;
    into.satellites.push_back(satellite);
    return true;
}

namespace {

// The region the program's selectors showed when the upload began: its region selector's
// position among the records of the chosen continent, in the order they came. A transfer of
// one continent lists only that continent, whatever position its selector had.
const RegionArrival* selectedArrival(const ReceivedDefaults& received) {
    if (!received.header || received.regions.empty()) return nullptr;
    std::uint8_t continent = received.header->continentSelection;
    const bool oneContinent = std::all_of(
        received.regions.begin(), received.regions.end(),
        [&](const RegionArrival& a) { return a.continent == received.regions[0].continent; });
    if (oneContinent) continent = received.regions[0].continent;
    std::size_t position = 0;
    for (const RegionArrival& arrival : received.regions) {
        if (arrival.continent != continent) continue;
        if (position == received.header->regionSelection) return &arrival;
        ++position;
    }
    return nullptr;
}

const RegionArrival* arrivalFor(const ReceivedDefaults& received, const CurrentRegion& current) {
    for (const RegionArrival& arrival : received.regions) {
        if (arrival.continent == current.continent && arrival.region == current.region) {
            return &arrival;
        }
    }
    return nullptr;
}

}  // namespace

void applyReceivedDefaults(const ReceivedDefaults& received, CurrentRegion& current) {
    const RegionArrival* chosen = selectedArrival(received);
    if (chosen == nullptr) chosen = arrivalFor(received, current);
    if (chosen == nullptr) return;
    // List entry n names the n-th satellite record of the transfer; a list naming one that
    // never came leaves the unit on its old data.
    const RegionRecord& record = chosen->record;
    for (std::size_t k = 0; k < record.listedSatellites(); ++k) {
        const std::uint32_t number = record.satelliteList[k];
        if (number == 0 || number > received.satellites.size()) return;
    }
    current.continent = chosen->continent;
    current.region = chosen->region;
    current.record = record;
    for (std::size_t k = 0; k < record.listedSatellites(); ++k) {
        current.satellites[k] = received.satellites[record.satelliteList[k] - 1];
    }
    if (received.header && current.continent < kContinentCount) {
        current.regionCount = received.header->regionCounts[current.continent];
    }
}
