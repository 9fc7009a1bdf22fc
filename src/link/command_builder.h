#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "data/antenna_values.h"
#include "lcd/lcd_data.h"
#include "wire/protocol.h"

struct LinkState;
struct SatelliteRecord;
struct SatelliteTables;

// One command as it goes on the line: its payload, the code byte first. It is built once,
// from what the operation was given or the state a chain stands at, and a timer that repeats
// it sends these same bytes again.
struct Command {
    std::array<std::uint8_t, kMaxPayloadSize> bytes{};
    std::uint8_t length = 0;  // 0: no command; it would go out as an empty frame

    std::uint8_t code() const { return bytes[0]; }
    std::span<const std::uint8_t> payload() const { return {bytes.data(), length}; }
    bool operator==(const Command&) const = default;
};

// The commands that carry nothing but their code: 1, 2, 3, 9, 13..16, 21, 24, 30, 38..42.
// Any other code builds nothing.
Command plainCommand(std::uint8_t code);

// Identification: satellite index of the current region (4).
Command regionSatelliteCommand(std::uint8_t index);

// Default data. The count announcement of the loaded scope (6); the start of an upload with
// the header number, the region counts and the Administrator page's selector positions as
// read, -1 going out as 0xFF (10); region (continent, region) of the table under code 7 or 11;
// satellite index of the table (from 0) under code 8 or 12. Cursors past the tables send an
// all-zero record rather than reading beyond them.
Command announcementCommand(const SatelliteTables& tables);
Command uploadStartCommand(const SatelliteTables& tables, std::uint32_t continentSelection,
                           std::uint32_t regionSelection);
Command regionRecordCommand(std::uint8_t code, const SatelliteTables& tables,
                            std::uint32_t continent, std::uint32_t region);
Command satelliteRecordCommand(std::uint8_t code, const SatelliteTables& tables,
                               std::uint32_t index);

// The operations' commands, from their arguments: the target position (17), a satellite of the
// region at index (18), the LNB type with the single band frequency for a single band LNB (19),
// the DiSEqC use (20), a position (25), one axis's target under code 26, 27 or 28, the seven
// parameters (29) and LCD piece 33..37 of block.
Command targetChangeCommand(std::uint8_t position);
Command editSatelliteCommand(std::uint8_t index, const SatelliteRecord& satellite);
Command localFrequencyCommand(std::uint8_t lnbType, std::uint32_t singleBandFrequency);
Command diseqcCommand(std::uint8_t mode);
Command goToPositionCommand(double az, double el);
Command moveCommand(std::uint8_t code, double target);
Command parametersCommand(const AntennaParameters& parameters);
Command lcdWriteCommand(std::uint8_t code, const LcdDataBlock& block);

// The next step of a chain from the state it stands at: 4 (ReceiveSatIndex), 6..8 and 10..12
// (the tables and the upload cursor; 10 starts at the cursor's selector positions), 33..37
// (LcdData), and every plain command. Commands whose payload is an operation's argument
// (17..20, 25..29) are built by their operation alone and build nothing here.
Command BuildCommand(std::uint8_t code, const LinkState& state);
