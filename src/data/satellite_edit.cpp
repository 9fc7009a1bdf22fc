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

SatelliteFormReading readSatelliteForm(const SatelliteForm& form, const SatelliteRecord& base) {
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
    sat.verification = g_CurVerification;
    sat.polarization = g_CurPolMode;
    sat.tone = g_CurToneMode;
    return reading;
}

FrequencyReading readLocalFrequency(std::u16string_view text) {
    const std::int64_t value = wideToInteger(text);
    if (value < 0 || value > kLinkMaximum) {
        return {0, outOfRange("Single Band Local Frequency", "0 to 65535")};
    }
    return {static_cast<std::uint32_t>(value), {}};
}

const SatelliteRecord* takeEditSatellite(int k) {
    if (!isRegionSatellitePosition(k)) return nullptr;
    const SatelliteRecord& sat = g_EditSatellites[static_cast<std::size_t>(k)];
    g_CurVerification = sat.verification;
    g_CurPolMode = sat.polarization;
    g_CurToneMode = sat.tone;
    return &sat;
}

void keepSentSatellite() {
    if (!isRegionSatellitePosition(g_EditSatIndex)) return;
    g_RegionSatellites[g_EditSatIndex] = g_EditSatellites[g_EditSatIndex];
}

void keepSentLnbSetting() {
    RegionRecord* region = mutableRegionRecord(g_CurContinent, g_CurRegion);
    if (region == nullptr) return;
    region->lnbType = g_LnbType;
    if (g_LnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
        region->singleLocalFreq = g_LocalFreqSingle;
    }
}

void keepSentDiseqcMode() {
    if (RegionRecord* region = mutableRegionRecord(g_CurContinent, g_CurRegion)) {
        region->diseqcMode = g_DiseqcMode;
    }
}
