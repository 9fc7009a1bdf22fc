#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct SatelliteRecord;
struct RegionRecord;
struct SatelliteData;

// The receiver state the ACU last reported, as the target panel reads it.
struct ReceiverState {
    std::uint8_t output18V = 0;
    std::uint8_t tone22k = 0;
    double volts = 0.0;
    std::uint32_t signalLevel = 0;
};

// Every text of the target satellite panel. A field without a value keeps the text it has:
// codes outside their enumeration (from a file or a reply) choose nothing rather than
// showing something wrong.
struct TargetPanelTexts {
    std::string targetPosition;  // " %3.1f%c", after the satellite's name
    std::optional<std::string> transponderHeading;
    std::optional<std::string> frequency;
    std::optional<std::string> symbolRate;
    std::optional<std::string> networkId;
    std::optional<std::string> verification;
    std::optional<std::string> polarization;
    std::optional<std::string> tone;
    std::optional<std::string> diseqc;
    std::optional<std::string> localFrequency;
    std::string signal;
    std::string receiver;         // "Receiver :" of the main window
    std::string receiverVoltage;  // "RECEIVER" of the antenna information page
};

TargetPanelTexts targetPanelTexts(const SatelliteRecord& satellite, const RegionRecord& region,
                                  const ReceiverState& receiver);

// The panel for the target (DefaultSatIndex) of the current region with the receiver state
// last reported. Nothing when the position or the region lies outside the tables (a status
// reply may name any position): the panel then keeps what it shows.
std::optional<TargetPanelTexts> targetPanelFor(const SatelliteData& data,
                                               const ReceiverState& receiver);

// " %3.1f%c": a satellite's orbital position as the panel and the target choice show it.
std::string orbitalPositionText(const SatelliteRecord& satellite);

// "%2.1fV 22kHz" or "%2.1fV  0kHz" above 10 V, else "Not".
std::string receiverVoltageText(double volts, std::uint8_t tone22k);
