#include "acu_replies.h"

#include <array>

#include "data/record_codec.h"
#include "wire/encoding.h"
#include "wire/protocol.h"

namespace {

// Room for the largest payload a frame can carry; the writer refuses anything beyond it.
struct ReplyBuffer {
    explicit ReplyBuffer(std::uint8_t code) { writer.U8(code); }
    Payload take() const {
        return Payload(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(writer.size()));
    }

    std::array<std::uint8_t, 255> bytes{};
    PayloadWriter writer{bytes};
};

void writeAngles(PayloadWriter& out, const AntennaAngles& angles) {
    out.SGN100(angles.az);
    out.SGN100(angles.el);
    out.SGN100(angles.skew);
}

}  // namespace

std::uint8_t reportedState(const AcuState& state) {
    return state.setupMode ? static_cast<std::uint8_t>(AntennaMode::Setup)
                           : static_cast<std::uint8_t>(state.mode);
}

Payload acknowledgeReply(std::uint8_t code) {
    return {code};
}

Payload linkCheckReply(const AcuState& state) {
    return {cmd::LinkCheck, reportedState(state)};
}

Payload productReply(const AcuState& state) {
    const ProductInfo& product = state.product;
    ReplyBuffer reply(cmd::AntennaInformation);
    PayloadWriter& out = reply.writer;
    out.U8(product.antennaType);
    out.U8(product.antennaModel);
    out.U8(product.skewless);
    out.CHARS(product.modelName);
    out.CHARS(product.serialNumber);
    out.BE16(product.antSwVersion);
    out.BE16(product.acuSwVersion);
    out.BE16(product.libraryVersion);
    out.BE16(product.antennaPowerCentivolts);
    out.BE16(product.acuPowerCentivolts);
    out.BE16(state.receiver.centivolts);
    out.U8(state.receiver.is18V);
    out.U8(state.receiver.tone22k);
    return reply.take();
}

Payload currentRegionReply(const AcuState& state) {
    ReplyBuffer reply(cmd::CurrentRegion);
    reply.writer.U8(state.current.continent);
    reply.writer.U8(state.current.region);
    reply.writer.U8(state.current.regionCount);
    writeRegionBody(reply.writer, state.current.record);
    return reply.take();
}

Payload regionSatelliteReply(std::uint8_t index, const SatelliteRecord& satellite) {
    ReplyBuffer reply(cmd::RegionSatellite);
    reply.writer.U8(index);
    writeSatelliteRecord(reply.writer, satellite);
    return reply.take();
}

Payload statusReply(const AcuState& state) {
    ReplyBuffer reply(cmd::StatusPoll);
    PayloadWriter& out = reply.writer;
    out.U8(state.current.record.defaultSatellite);
    // Setup mode reads as Stop here; only reply 1 tells the two apart.
    out.U8(static_cast<std::uint8_t>(state.mode));
    out.BE16(state.signalLevel);
    out.U8(state.gps.linkState);
    out.X100(state.gps.longitude);
    out.U8(static_cast<std::uint8_t>(state.gps.eastWest));
    out.X100(state.gps.latitude);
    out.U8(static_cast<std::uint8_t>(state.gps.northSouth));
    out.BE16(state.receiver.centivolts);
    out.U8(state.receiver.is18V);
    out.U8(state.receiver.tone22k);
    writeAngles(out, state.position);
    return reply.take();
}

Payload setupModeReply(const AcuState& state) {
    ReplyBuffer reply(cmd::SetupMode);
    reply.writer.U8(static_cast<std::uint8_t>(state.mode));
    writeAngles(reply.writer, state.position);
    return reply.take();
}

Payload diagnosisItemReply(std::uint8_t item) {
    return {cmd::DiagnosisItem, item};
}

Payload diagnosisResultReply(std::uint8_t item, std::uint8_t result) {
    return {cmd::DiagnosisResult, item, result};
}

Payload factoryTotalReply(std::uint16_t total) {
    return {cmd::FactoryDefault, static_cast<std::uint8_t>(total >> 8),
            static_cast<std::uint8_t>(total & 0xFF)};
}

Payload factoryProgressReply(std::uint16_t position) {
    return {cmd::FactoryProgress, static_cast<std::uint8_t>(position >> 8),
            static_cast<std::uint8_t>(position & 0xFF)};
}

Payload factoryDoneReply() {
    return {cmd::FactoryDone};
}

Payload lcdReadReply(std::uint8_t code, const LcdBlock& block) {
    if (code < cmd::LcdReadFirst || code > cmd::LcdReadLast) return {code};
    const LcdPiece& piece = kLcdPieces[code - cmd::LcdReadFirst];
    Payload reply{code};
    reply.insert(reply.end(), block.begin() + static_cast<std::ptrdiff_t>(piece.offset),
                 block.begin() + static_cast<std::ptrdiff_t>(piece.offset + piece.size));
    return reply;
}
