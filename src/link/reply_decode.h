#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "data/antenna_info.h"
#include "data/satellite_tables.h"

// Replies decoded from their payload (code byte first). A payload shorter than what its code
// carries decodes to nothing: the dispatcher ignores it rather than reading stale bytes.

// The payload length each code's decoding covers; 0 for codes that are not replies.
// Reply 3 covers 60 + N and is checked by its decoder.
std::size_t replyLength(std::uint8_t code);

struct RegionReply {
    std::uint8_t continent = 0;
    std::uint8_t region = 0;
    std::uint8_t regionCount = 0;
    RegionRecord record;
};

struct SatelliteReply {
    std::uint8_t index = 0;
    SatelliteRecord record;
};

struct StatusReply {
    std::uint8_t defaultSatIndex = 0;
    std::uint8_t antennaMode = 0;
    std::uint16_t signalLevel = 0;
    std::uint8_t gpsLinkState = 0;
    double gpsLongitude = 0.0;
    char gpsEastWest = 0;
    double gpsLatitude = 0.0;
    char gpsNorthSouth = 0;
    double receiverV = 0.0;
    std::uint8_t receiver18V = 0;
    std::uint8_t receiver22k = 0;
    double az = 0.0;
    double el = 0.0;
    double skew = 0.0;
};

struct SetupReply {
    std::uint8_t antennaMode = 0;
    double az = 0.0;
    double el = 0.0;
    double skew = 0.0;
};

// Reply 2 is exactly what the state keeps of the product.
std::optional<ProductInformation> decodeProductInfo(std::span<const std::uint8_t> payload);
// Also refuses a reply that names a continent above 5, a region above 99 or more than 20
// satellites: such a reply cannot be stored without writing outside the tables.
std::optional<RegionReply> decodeRegionReply(std::span<const std::uint8_t> payload);
std::optional<SatelliteReply> decodeSatelliteReply(std::span<const std::uint8_t> payload);
std::optional<StatusReply> decodeStatusReply(std::span<const std::uint8_t> payload);
std::optional<SetupReply> decodeSetupReply(std::span<const std::uint8_t> payload);
