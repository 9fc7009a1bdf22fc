#include "data/target_panel.h"

#include "data/satellite_tables.h"
#include "wire/display_text.h"

namespace {

enum class Side { Vertical, Horizontal };
enum class Band { Low, High };

struct Transponder {
    Side side;
    Band band;
};

// Auto (0) follows what the receiver puts out now; a fixed policy decides by itself.
std::optional<Transponder> chooseTransponder(std::uint8_t pol, std::uint8_t tone,
                                             const ReceiverState& receiver) {
    const Side outputSide = receiver.output18V != 0 ? Side::Horizontal : Side::Vertical;
    const Band outputBand = receiver.tone22k != 0 ? Band::High : Band::Low;
    if (pol == 0 && tone == 0) return Transponder{outputSide, outputBand};
    if (pol == 0) return Transponder{outputSide, tone == 2 ? Band::High : Band::Low};
    if (tone == 0) return Transponder{pol == 2 ? Side::Horizontal : Side::Vertical, outputBand};
    if (pol > 2 || tone > 2) return std::nullopt;
    return Transponder{pol == 2 ? Side::Horizontal : Side::Vertical,
                       tone == 2 ? Band::High : Band::Low};
}

struct TransponderFields {
    std::uint32_t frequency;
    std::uint32_t symbolRate;
    std::uint32_t networkId;
};

TransponderFields fieldsOf(const SatelliteRecord& sat, Transponder chosen) {
    if (chosen.side == Side::Vertical) {
        return chosen.band == Band::Low
                   ? TransponderFields{sat.vLowFreq, sat.vLowSymbolRate, sat.vLowNid}
                   : TransponderFields{sat.vHighFreq, sat.vHighSymbolRate, sat.vHighNid};
    }
    return chosen.band == Band::Low
               ? TransponderFields{sat.hLowFreq, sat.hLowSymbolRate, sat.hLowNid}
               : TransponderFields{sat.hHighFreq, sat.hHighSymbolRate, sat.hHighNid};
}

// The page shows a field as a signed 32-bit number, as it always has: a negative value typed
// into a .sif file comes back negative, not as its 32-bit pattern.
std::string number(std::uint32_t value) {
    return numberText(static_cast<std::int32_t>(value));
}

std::optional<std::uint32_t> localFrequency(const RegionRecord& region, std::uint8_t tone,
                                            const ReceiverState& receiver) {
    if (region.lnbType == 0) return region.singleLocalFreq;
    switch (tone) {
        case 0:
            return receiver.tone22k != 0 ? region.universalHighLocalFreq
                                         : region.universalLowLocalFreq;
        case 1:
            return region.universalLowLocalFreq;
        case 2:
            return region.universalHighLocalFreq;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string orbitalPositionText(const SatelliteRecord& satellite) {
    return formatText(" %3.1f%c", satellite.longitude, satellite.eastWest);
}

std::string receiverVoltageText(double volts, std::uint8_t tone22k) {
    if (volts <= 10.0) return "Not";
    return formatText(tone22k != 0 ? "%2.1fV 22kHz" : "%2.1fV  0kHz", volts);
}

TargetPanelTexts targetPanelTexts(const SatelliteRecord& satellite, const RegionRecord& region,
                                  const ReceiverState& receiver) {
    TargetPanelTexts texts;
    texts.targetPosition = orbitalPositionText(satellite);

    if (const auto chosen = chooseTransponder(satellite.polarization, satellite.tone, receiver)) {
        const bool vertical = chosen->side == Side::Vertical;
        const bool low = chosen->band == Band::Low;
        texts.transponderHeading =
            std::string(vertical ? "V(R) " : "H(L) ") + (low ? "LowBand" : "HighBand");
        const TransponderFields fields = fieldsOf(satellite, *chosen);
        texts.frequency = number(fields.frequency);
        texts.symbolRate = number(fields.symbolRate);
        texts.networkId = number(fields.networkId);
    }

    texts.verification =
        codeText(satellite.verification, {"Signal Level", "DVB Lock", "DVB Decode", "DSS Decode"});
    texts.polarization = codeText(satellite.polarization, {"Auto", "+13V", "+18V"});
    texts.tone = codeText(satellite.tone, {"Auto", "0kHz", "22kHz"});
    texts.diseqc = codeText(region.diseqcMode, {"Not Use", "Change Band", "Change Satellite"});
    if (const auto local = localFrequency(region, satellite.tone, receiver)) {
        texts.localFrequency = number(*local);
    }
    texts.signal = number(receiver.signalLevel);
    texts.receiver = std::string(receiver.output18V != 0 ? "18V" : "13V") +
                     (receiver.tone22k != 0 ? "   22kHz" : "    0kHz");
    texts.receiverVoltage = receiverVoltageText(receiver.volts, receiver.tone22k);
    return texts;
}

std::optional<TargetPanelTexts> targetPanelFor(const SatelliteData& data,
                                               const ReceiverState& receiver) {
    const std::uint8_t position = data.DefaultSatIndex;
    if (position >= data.RegionSatellites.size() || data.CurContinent >= kContinentCount ||
        data.CurRegion >= kRegionsPerContinent) {
        return std::nullopt;
    }
    return targetPanelTexts(data.RegionSatellites[position], currentRegion(data), receiver);
}
