#pragma once

#include <cstdint>
#include <vector>

#include "acu_state.h"

// Reply payloads (code byte first) in the layouts the program decodes. Pure functions of the
// state, so the protocol side of the simulator can be read apart from its behaviour.

using Payload = std::vector<std::uint8_t>;

// Where the parts of the unit hand their replies, to be framed and sent.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    virtual void sendReply(const Payload& payload) = 0;
};

// The bare code: the acknowledgement of most commands.
Payload acknowledgeReply(std::uint8_t code);

// Reply 1: the state byte, 1 while the unit is in setup mode.
Payload linkCheckReply(const AcuState& state);
// Reply 2: product information, receiver supply and flags; 50 bytes.
Payload productReply(const AcuState& state);
// Reply 3: continent, region, the continent's region count, the region record from its name.
Payload currentRegionReply(const AcuState& state);
// Reply 4: the index, then the 41-byte satellite record at that place of the region's list.
Payload regionSatelliteReply(std::uint8_t index, const SatelliteRecord& satellite);
// Reply 14: target, mode, signal, GPS, receiver, position; 25 bytes.
Payload statusReply(const AcuState& state);
// Reply 16: the mode and the position; 11 bytes.
Payload setupModeReply(const AcuState& state);

Payload diagnosisItemReply(std::uint8_t item);
Payload diagnosisResultReply(std::uint8_t item, std::uint8_t result);

Payload factoryTotalReply(std::uint16_t total);
Payload factoryProgressReply(std::uint16_t position);
Payload factoryDoneReply();

// Replies 38..42: the piece of the LCD block that belongs to the code.
Payload lcdReadReply(std::uint8_t code, const LcdBlock& block);

// The state byte that reply 1 reports.
std::uint8_t reportedState(const AcuState& state);
