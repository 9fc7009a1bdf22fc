#include "data/satellite_edit.h"

#include "data/region_display.h"
#include "wire/fixed_text.h"
#include "wire/number_text.h"

namespace {

// Frequencies, symbol rates and network ids travel as 16 bits; a larger number would reach
// the ACU as another one. Longitudes travel in tenths of a degree, and no orbital position
// lies beyond 180 degrees east or west.
constexpr std::int64_t kLinkMaximum = 65535;
constexpr double kMaxLongitude = 180.0;

const char* const kTransponderFields[12] = {
    "Vertical LowBand Freq.",    "Vertical LowBand Symbol",    "Vertical LowBand NID",
    "Vertical HighBand Freq.",   "Vertical HighBand Symbol",   "Vertical HighBand NID",
    "Horizontal LowBand Freq.",  "Horizontal LowBand Symbol",  "Horizontal LowBand NID",
    "Horizontal HighBand Freq.", "Horizontal HighBand Symbol", "Horizontal HighBand NID",
};

std::string outOfRange(const std::string& field, const char* range) {
    return " " + field + " must be " + range + " !!! \r\n Nothing was sent !!!";
}

}  // namespace

SatelliteFormReading readSatelliteForm(const SatelliteForm& form, const SatelliteRecord& base,
                                       const SatelliteData& data) {
    SatelliteFormReading reading{base, {}};
    SatelliteRecord& sat = reading.record;
    storeFixedText(sat.name, form.name);

    sat.longitude = wideToReal(form.longitude);
    if (!(sat.longitude >= 0.0 && sat.longitude <= kMaxLongitude)) {
        reading.refusal = outOfRange("Longitude", "0 to 180");
        return reading;
    }
    sat.eastWest = form.hemisphere != 0 ? 'W' : 'E';

    std::uint32_t* const values[12] = {
        &sat.vLowFreq,        &sat.vLowSymbolRate, &sat.vLowNid,         &sat.vHighFreq,
        &sat.vHighSymbolRate, &sat.vHighNid,       &sat.hLowFreq,        &sat.hLowSymbolRate,
        &sat.hLowNid,         &sat.hHighFreq,      &sat.hHighSymbolRate, &sat.hHighNid,
    };
    for (std::size_t i = 0; i < form.transponders.size(); ++i) {
        const std::int64_t value = wideToInteger(form.transponders[i]);
        if (value < 0 || value > kLinkMaximum) {
            reading.refusal = outOfRange(kTransponderFields[i], "0 to 65535");
            return reading;
        }
        *values[i] = static_cast<std::uint32_t>(value);
    }
    sat.verification = data.CurVerification;
    sat.polarization = data.CurPolMode;
    sat.tone = data.CurToneMode;
    return reading;
}

FrequencyReading readLocalFrequency(std::u16string_view text) {
    const std::int64_t value = wideToInteger(text);
    if (value < 0 || value > kLinkMaximum) {
        return {0, outOfRange("Single Band Local Frequency", "0 to 65535")};
    }
    return {static_cast<std::uint32_t>(value), {}};
}

const SatelliteRecord* takeEditSatellite(SatelliteData& data, int k) {
    if (!isRegionSatellitePosition(data, k)) return nullptr;
    const SatelliteRecord& sat = data.EditSatellites[static_cast<std::size_t>(k)];
    data.CurVerification = sat.verification;
    data.CurPolMode = sat.polarization;
    data.CurToneMode = sat.tone;
    return &sat;
}

void keepSentSatellite(SatelliteData& data) {
    const std::uint8_t k = data.EditSatIndex;
    if (!isRegionSatellitePosition(data, k)) return;
    data.RegionSatellites[k] = data.EditSatellites[k];
}

void keepSentLnbSetting(SatelliteData& data) {
    RegionRecord* region = mutableRegionRecord(data, data.CurContinent, data.CurRegion);
    if (region == nullptr) return;
    region->lnbType = data.LnbType;
    if (data.LnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
        region->singleLocalFreq = data.LocalFreqSingle;
    }
}

void keepSentDiseqcMode(SatelliteData& data) {
    if (RegionRecord* region = mutableRegionRecord(data, data.CurContinent, data.CurRegion)) {
        region->diseqcMode = data.DiseqcMode;
    }
}
