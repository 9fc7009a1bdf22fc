#include "link/reply_decode.h"

#include "data/record_codec.h"
#include "wire/encoding.h"
#include "wire/protocol.h"

namespace {

// Data bytes follow the code byte.
PayloadReader dataOf(std::span<const std::uint8_t> payload) {
    return PayloadReader(payload.subspan(1));
}

bool covers(std::span<const std::uint8_t> payload, std::uint8_t code) {
    return !payload.empty() && payload[0] == code && payload.size() >= replyLength(code);
}

constexpr std::size_t kRegionReplyFixedLength = 60;

}  // namespace

std::size_t replyLength(std::uint8_t code) {
    switch (code) {
        case 1:
            return 2;
        case 2:
            return 50;
        case 3:
            return kRegionReplyFixedLength;
        case 4:
            return 1 + 1 + kSatelliteRecordBytes;
        case 14:
            return 25;
        case 16:
            return 11;
        case 22:
            return 2;
        case 23:
            return 3;
        case 30:
        case 31:
            return 3;
        case 38:
            return 1 + kLcdPieces[0].size;
        case 39:
        case 40:
        case 41:
            return 1 + kLcdPieces[1].size;
        case 42:
            return 1 + kLcdPieces[4].size;
        case 0:
        case 5:
            return 0;
        default:
            return code <= cmd::Last ? 1 : 0;
    }
}

std::optional<ProductInformation> decodeProductInfo(std::span<const std::uint8_t> payload) {
    if (!covers(payload, cmd::AntennaInformation)) return std::nullopt;
    PayloadReader in = dataOf(payload);
    ProductInformation info;
    info.AntennaType = in.U8();
    info.AntennaModel = in.U8();
    info.SkewlessFlag = in.U8();
    in.CHARS(info.ModelName);
    in.CHARS(info.SerialNumber);
    info.AntSwVersion = in.X100();
    info.AcuSwVersion = in.X100();
    info.LibraryVersion = in.X100();
    info.AntennaPowerV = in.X100();
    info.AcuPowerV = in.X100();
    info.ReceiverV = in.X100();
    info.Receiver18V = in.U8();
    info.Receiver22k = in.U8();
    return info;
}

std::optional<RegionReply> decodeRegionReply(std::span<const std::uint8_t> payload) {
    if (!covers(payload, cmd::CurrentRegion)) return std::nullopt;
    PayloadReader in = dataOf(payload);
    RegionReply reply;
    reply.continent = in.U8();
    reply.region = in.U8();
    reply.regionCount = in.U8();
    reply.record = readRegionBody(in);
    const std::size_t n = reply.record.satelliteCount;
    if (reply.continent >= kContinentCount || reply.region >= kRegionsPerContinent ||
        n > kMaxRegionSatellites || payload.size() < kRegionReplyFixedLength + n) {
        return std::nullopt;
    }
    return reply;
}

std::optional<SatelliteReply> decodeSatelliteReply(std::span<const std::uint8_t> payload) {
    if (!covers(payload, cmd::RegionSatellite)) return std::nullopt;
    PayloadReader in = dataOf(payload);
    SatelliteReply reply;
    reply.index = in.U8();
    reply.record = readSatelliteRecord(in);
    return reply;
}

std::optional<StatusReply> decodeStatusReply(std::span<const std::uint8_t> payload) {
    if (!covers(payload, cmd::StatusPoll)) return std::nullopt;
    PayloadReader in = dataOf(payload);
    StatusReply status;
    status.defaultSatIndex = in.U8();
    status.antennaMode = in.U8();
    status.signalLevel = in.BE16();
    status.gpsLinkState = in.U8();
    status.gpsLongitude = in.X100();
    status.gpsEastWest = static_cast<char>(in.U8());
    status.gpsLatitude = in.X100();
    status.gpsNorthSouth = static_cast<char>(in.U8());
    status.receiverV = in.X100();
    status.receiver18V = in.U8();
    status.receiver22k = in.U8();
    status.az = in.SGN100();
    status.el = in.SGN100();
    status.skew = in.SGN100();
    return status;
}

std::optional<SetupReply> decodeSetupReply(std::span<const std::uint8_t> payload) {
    if (!covers(payload, cmd::SetupMode)) return std::nullopt;
    PayloadReader in = dataOf(payload);
    SetupReply setup;
    setup.antennaMode = in.U8();
    setup.az = in.SGN100();
    setup.el = in.SGN100();
    setup.skew = in.SGN100();
    return setup;
}
