#include "default_data_intake.h"

#include "link/encoding.h"
#include "link/record_codec.h"

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

void applyReceivedDefaults(const ReceivedDefaults& received, CurrentRegion& current) {
    for (const RegionArrival& arrival : received.regions) {
        if (arrival.continent != current.continent || arrival.region != current.region) continue;
        // List entry n names the n-th satellite record of the transfer; a list naming one
        // that never came leaves the unit on its old data.
        const RegionRecord& record = arrival.record;
        for (std::size_t k = 0; k < record.listedSatellites(); ++k) {
            const std::uint32_t number = record.satelliteList[k];
            if (number == 0 || number > received.satellites.size()) return;
        }
        current.record = record;
        for (std::size_t k = 0; k < record.listedSatellites(); ++k) {
            current.satellites[k] = received.satellites[record.satelliteList[k] - 1];
        }
        if (received.header && current.continent < kContinentCount) {
            current.regionCount = received.header->regionCounts[current.continent];
        }
        return;
    }
}
