// The Satellite_Information page's sends: the edited satellite (18), the LNB setting (19) and
// the DiSEqC use (20), each behind the setup gate.

#include "data/satellite_edit.h"
#include "link/controller.h"
#include "link/controller_view.h"

void AcuController::sendEditedSatellite(const SatelliteForm& form) {
    if (!setupGate(Operation::EditSatellite)) return;
    SatelliteData& data = m_State.data;
    if (form.position < 0 ||
        static_cast<std::size_t>(form.position) >= data.EditSatellites.size()) {
        refuseArguments(Operation::EditSatellite, kNoSatelliteSelected);
        return;
    }
    const auto position = static_cast<std::uint8_t>(form.position);
    // Read aside first: a refused form stores nothing, as a refused gate does.
    const SatelliteFormReading reading =
        readSatelliteForm(form, data.EditSatellites[position], data);
    if (!reading.refusal.empty()) {
        refuseArguments(Operation::EditSatellite, reading.refusal);
        return;
    }
    data.EditSatIndex = position;
    data.EditSatellites[position] = reading.record;
    begin(Operation::EditSatellite, editSatelliteCommand(position, reading.record), kCommandPeriod);
}

void AcuController::sendLocalFrequency(std::u16string_view singleBandText) {
    if (!setupGate(Operation::LocalFrequency)) return;
    SatelliteData& data = m_State.data;
    const FrequencyReading frequency = readLocalFrequency(singleBandText);
    // A universal LNB goes without the single band frequency, so only a single band LNB is
    // refused for it. A number the link cannot carry is never stored.
    if (!frequency.refusal.empty()) {
        if (data.LnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
            refuseArguments(Operation::LocalFrequency, frequency.refusal);
            return;
        }
    } else {
        data.LocalFreqSingle = frequency.value;
    }
    begin(Operation::LocalFrequency, localFrequencyCommand(data.LnbType, data.LocalFreqSingle),
          kCommandPeriod);
}

bool AcuController::sendDiseqcMode(std::uint8_t mode) {
    if (!setupGate(Operation::Diseqc)) return false;
    m_State.data.DiseqcMode = mode;
    begin(Operation::Diseqc, diseqcCommand(mode), kCommandPeriod);
    return true;
}
