// What the windows and the command line change in the link's state without sending anything:
// the loaded file, the current region and the Satellite_Information page's choices.

#include "data/satellite_edit.h"
#include "link/controller.h"

std::optional<SifRefusal> AcuController::loadDefaultData(std::span<const std::uint8_t> bytes,
                                                         const std::string& fileName) {
    if (auto refusal = loadSatelliteInformation(m_State.data, bytes)) return refusal;
    m_Log.setDefaultDataFile(fileName);
    return std::nullopt;
}

bool AcuController::selectRegion(std::uint32_t continent, std::uint32_t region) {
    if (!::selectRegion(m_State.data, continent, region)) return false;
    loadRegionParameters();
    return true;
}

std::optional<SelectorContents> AcuController::chooseContinent(int position) {
    std::optional<SelectorContents> regions = ::chooseContinent(m_State.data, position);
    if (regions) loadRegionParameters();
    return regions;
}

bool AcuController::chooseRegion(int position) {
    if (!::chooseRegion(m_State.data, position)) return false;
    loadRegionParameters();
    return true;
}

void AcuController::setEditChoice(EditChoice choice, std::uint8_t value) {
    SatelliteData& data = m_State.data;
    switch (choice) {
        case EditChoice::Verification:
            data.CurVerification = value;
            break;
        case EditChoice::Polarization:
            data.CurPolMode = value;
            break;
        case EditChoice::Tone:
            data.CurToneMode = value;
            break;
        case EditChoice::LnbType:
            data.LnbType = value;
            break;
    }
}

const SatelliteRecord* AcuController::takeEditSatellite(int k) {
    return ::takeEditSatellite(m_State.data, k);
}

LookAngleTexts AcuController::calculateLookAngles(const LookAngleInputs& inputs) {
    m_State.calc = inputs;
    return ::calculateLookAngles(m_State.calc);
}
