#include "data/region_display.h"

#include <initializer_list>

#include "wire/display_text.h"
#include "wire/fixed_text.h"

namespace {

// A code past its list leaves the field empty.
std::string pick(std::uint8_t code, std::initializer_list<const char*> texts) {
    return codeText(code, texts).value_or("");
}

// The page shows a field as a signed 32-bit number, as it always has: a negative value typed
// into a .sif file comes back negative, not as its 32-bit pattern.
std::string number(std::uint32_t value) {
    return numberText(static_cast<std::int32_t>(value));
}

// One transponder as three right-aligned columns: "%5d  %5d  %5d".
std::string transponderColumns(std::uint32_t frequency, std::uint32_t symbolRate,
                               std::uint32_t networkId) {
    return formatText("%5d  ", static_cast<int>(frequency)) +
           formatText("%5d  ", static_cast<int>(symbolRate)) +
           formatText("%5d", static_cast<int>(networkId));
}

}  // namespace

std::vector<std::u16string> satelliteSelectorEntries(const SatelliteData& data) {
    std::vector<std::u16string> entries;
    for (std::size_t k = 0; k < currentRegion(data).listedSatellites(); ++k) {
        entries.push_back(satelliteNameText(data.RegionSatellites[k]));
    }
    return entries;
}

std::vector<std::string> adminSatelliteListEntries(const SatelliteData& data) {
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < currentRegion(data).listedSatellites(); ++k) {
        entries.push_back(formatText(" %2d ", static_cast<int>(k + 1)));
    }
    return entries;
}

bool isRegionSatellitePosition(const SatelliteData& data, int position) {
    return position >= 0 &&
           static_cast<std::size_t>(position) < currentRegion(data).listedSatellites();
}

std::string longitudeText(double longitude) {
    return formatText("%3.1f", longitude);
}

int hemispherePosition(char eastWest) {
    return eastWest == 'E' ? 0 : 1;
}

std::u16string satelliteNameText(const SatelliteRecord& satellite) {
    return fixedTextToString(satellite.name);
}

SatelliteDetailsTexts satelliteDetailsTexts(const SatelliteRecord& satellite,
                                            const RegionRecord& region) {
    SatelliteDetailsTexts texts;
    texts.index = formatText("%3d ", static_cast<int>(satellite.number));
    texts.name = u"  " + satelliteNameText(satellite);
    texts.longitude =
        formatText(" %3.1f", satellite.longitude) + formatText("%c \r\n", satellite.eastWest);
    texts.verLowBand =
        transponderColumns(satellite.vLowFreq, satellite.vLowSymbolRate, satellite.vLowNid);
    texts.verHighBand =
        transponderColumns(satellite.vHighFreq, satellite.vHighSymbolRate, satellite.vHighNid);
    texts.horLowBand =
        transponderColumns(satellite.hLowFreq, satellite.hLowSymbolRate, satellite.hLowNid);
    texts.horHighBand =
        transponderColumns(satellite.hHighFreq, satellite.hHighSymbolRate, satellite.hHighNid);
    texts.verification =
        pick(satellite.verification, {"AGC Level", "DVB Lock", "DVB Decode", "DSS Decode"});
    texts.polarization = pick(satellite.polarization, {"Pol Auto", "Only 13V", "Only 18V"});
    texts.tone = pick(satellite.tone, {"Tone Auto", "Only 0kHz", "Only 22kHz"});
    texts.diseqc = pick(region.diseqcMode, {"Not Use", "Change Band", "Change Satellite"});
    texts.lnbInformation = lnbInformationText(region);
    return texts;
}

SatelliteDetailsTexts currentSatelliteDetails(const SatelliteData& data, int position) {
    if (!isRegionSatellitePosition(data, position)) {
        SatelliteDetailsTexts texts;
        texts.lnbInformation = lnbInformationText(currentRegion(data));
        return texts;
    }
    return satelliteDetailsTexts(data.RegionSatellites[static_cast<std::size_t>(position)],
                                 currentRegion(data));
}

std::string lnbInformationText(const RegionRecord& region) {
    switch (region.lnbType) {
        case 0:
            return formatText(" LNB Type : Single Band\tLocal Freq.: %d MHz",
                              static_cast<int>(region.singleLocalFreq));
        case 1:
            return formatText(" LNB Type : Universal\tLocal Freq.: %d / %d MHz",
                              static_cast<int>(region.universalLowLocalFreq),
                              static_cast<int>(region.universalHighLocalFreq));
        default:
            return {};
    }
}

std::u16string regionNameText(const RegionRecord& region) {
    return fixedTextToString(region.name);
}

EditSatelliteTexts editSatelliteTexts(const SatelliteRecord& satellite) {
    EditSatelliteTexts texts;
    texts.name = satelliteNameText(satellite);
    texts.longitude = longitudeText(satellite.longitude);
    texts.hemisphere = hemispherePosition(satellite.eastWest);
    const std::uint32_t values[12] = {
        satellite.vLowFreq,  satellite.vLowSymbolRate,  satellite.vLowNid,
        satellite.vHighFreq, satellite.vHighSymbolRate, satellite.vHighNid,
        satellite.hLowFreq,  satellite.hLowSymbolRate,  satellite.hLowNid,
        satellite.hHighFreq, satellite.hHighSymbolRate, satellite.hHighNid,
    };
    for (std::size_t i = 0; i < texts.transponders.size(); ++i) {
        texts.transponders[i] = number(values[i]);
    }
    return texts;
}

std::string singleBandFrequencyText(const SatelliteData& data) {
    return number(data.LocalFreqSingle);
}

std::string universalFrequencyText(const SatelliteData& data) {
    return formatText("%d/%d", static_cast<int>(data.LocalFreqUniversalLow),
                      static_cast<int>(data.LocalFreqUniversalHigh));
}
