// The Satellite_Information page's sends: the edited satellite (18), the LNB setting (19) and
// the DiSEqC use (20), each behind the setup gate.

#include "data/satellite_edit.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "link/controller_view.h"
#include "link/link_state.h"

void AcuController::sendEditedSatellite(const SatelliteForm& form) {
    if (g_Connected != 1 || !setupGate()) return;
    if (form.position < 0 || static_cast<std::size_t>(form.position) >= g_EditSatellites.size()) {
        m_View.MessageBox(kNoSatelliteSelected, MessageIcon::Exclamation);
        return;
    }
    const auto position = static_cast<std::uint8_t>(form.position);
    // Read aside first: a refused form stores nothing, as a refused gate does.
    const SatelliteFormReading reading = readSatelliteForm(form, g_EditSatellites[position]);
    if (!reading.refusal.empty()) {
        m_View.MessageBox(reading.refusal, MessageIcon::Exclamation);
        return;
    }
    g_EditSatIndex = position;
    g_EditSatellites[position] = reading.record;
    sendAndStart(cmd::EditSatellite, kCommandPeriod);
}

void AcuController::sendLocalFrequency(std::u16string_view singleBandText) {
    if (g_Connected != 1 || !setupGate()) return;
    const FrequencyReading frequency = readLocalFrequency(singleBandText);
    // A universal LNB goes without the single band frequency, so only a single band LNB is
    // refused for it. A number the link cannot carry is never stored.
    if (!frequency.refusal.empty()) {
        if (g_LnbType == static_cast<std::uint8_t>(LnbType::SingleBand)) {
            m_View.MessageBox(frequency.refusal, MessageIcon::Exclamation);
            return;
        }
    } else {
        g_LocalFreqSingle = frequency.value;
    }
    sendAndStart(cmd::SetLocalFrequency, kCommandPeriod);
}

bool AcuController::sendDiseqcMode(std::uint8_t mode) {
    if (g_Connected != 1 || !setupGate()) return false;
    g_DiseqcMode = mode;
    sendAndStart(cmd::SetDiseqc, kCommandPeriod);
    return true;
}
