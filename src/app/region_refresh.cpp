// The refresh of every satellite display after the current region changed or the ACU's
// region and satellites arrived: one fixed sequence over the main window and its pages.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/lumidor_dlg.h"
#include "data/region_display.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "pages/administrator.h"
#include "pages/antenna_information.h"
#include "pages/satellite_information.h"
#include "pages/set_gps.h"

namespace {

QComboBox* combo(const QWidget* window, const char* name) {
    return window->findChild<QComboBox*>(QString::fromUtf8(name));
}

// The list filled anew and position selected (nothing when it is past the list). Quietly:
// the refresh itself shows what a user's choice would.
void fillSelector(QComboBox* selector, const std::vector<std::u16string>& entries, int position) {
    const QSignalBlocker quiet(selector);
    selector->clear();
    for (const std::u16string& entry : entries) selector->addItem(QString::fromStdU16String(entry));
    selector->setCurrentIndex(position < selector->count() ? position : -1);
}

}  // namespace

void CLumidorDlg::fillSatelliteSelectors() {
    const std::vector<std::u16string> entries = satelliteSelectorEntries();
    const int target = g_DefaultSatIndex;
    const bool listed = isRegionSatellitePosition(target);
    const SatelliteRecord& satellite = g_RegionSatellites[listed ? target : 0];

    fillSelector(m_TargetCombo, entries, target);
    // The target is what the choice shows now, so there is nothing to change to yet.
    showTargetChoice(listed ? orbitalPositionText(satellite) : std::string(), false);

    fillSelector(combo(m_SetGps, "satellite"), entries, target);
    m_SetGps->findChild<QLineEdit*>(QStringLiteral("satellite_longitude"))
        ->setText(listed ? QString::fromStdString(longitudeText(satellite.longitude)) : QString());
    combo(m_SetGps, "satellite_longitude_hemisphere")
        ->setCurrentIndex(listed ? hemispherePosition(satellite.eastWest) : -1);

    fillSelector(combo(m_SatelliteInformation, "satellite"), entries, target);
}

void CLumidorDlg::refreshRegionDisplay() {
    showRegionGps(g_CurContinent, g_CurRegion);
    fillSatelliteSelectors();
    RefreshTargetPanel(g_DefaultSatIndex, g_CurContinent, g_CurRegion);
    m_SatelliteInformation->showEditSatellite(g_DefaultSatIndex);
    m_SatelliteInformation->showLnbSetting();
    m_AntennaInformation->ShowAntennaParameters();
    m_Administrator->fillAdminSatelliteList();
    m_Administrator->selectSatellite(g_DefaultSatIndex);
    m_Administrator->showSatelliteDetails();
    m_Administrator->showLnbInformation(
        QString::fromStdString(lnbInformationText(regionRecord(g_CurContinent, g_CurRegion))));
}

void CLumidorDlg::refreshAfterDownload() {
    showRegionGps(g_CurContinent, g_CurRegion);
    fillSatelliteSelectors();
    RefreshTargetPanel(g_DefaultSatIndex, g_CurContinent, g_CurRegion);
    // The satellites came from the ACU rather than from the file: the edit copy, the LNB and
    // DiSEqC values and the antenna parameters are taken from them and the ACU's region.
    prepareEditCopy(g_CurContinent, g_CurRegion);
    m_SatelliteInformation->showEditSatellite(g_DefaultSatIndex);
    m_SatelliteInformation->showLnbSetting();
    m_AntennaInformation->ShowProductInformation();
    m_AntennaInformation->ShowRegionName();
    m_AntennaInformation->ShowAntennaParameters();
    m_Administrator->showDownloadedRegion(
        QString::fromStdString(continentListName(g_CurContinent)),
        QString::fromStdU16String(regionNameText(regionRecord(g_CurContinent, g_CurRegion))));
    m_Administrator->fillAdminSatelliteList();
    m_Administrator->selectSatellite(g_DefaultSatIndex);
    m_Administrator->showSatelliteDetails();
}

void CLumidorDlg::showAcknowledgedChange(std::uint8_t code) {
    m_Administrator->showLnbInformation(
        QString::fromStdString(lnbInformationText(regionRecord(g_CurContinent, g_CurRegion))));
    if (code == 18) {
        // The selectors name the satellite as the ACU now has it; each page keeps the satellite
        // it had chosen, and the edit page shows the name as it was sent (cut to 10).
        QComboBox* edited = combo(m_SatelliteInformation, "satellite");
        const int editing = edited->currentIndex();
        auto* list = m_Administrator->findChild<QListWidget*>(QStringLiteral("satellite_list"));
        const int listed = list->currentRow();
        fillSatelliteSelectors();
        const QSignalBlocker quiet(edited);
        edited->setCurrentIndex(editing);
        m_SatelliteInformation->showEditSatellite(editing);
        m_Administrator->fillAdminSatelliteList();
        m_Administrator->selectSatellite(listed);
    } else {
        m_SatelliteInformation->showLnbSetting();
    }
    // After the selectors: the panel names its satellite as the target selector lists it.
    RefreshTargetPanel(g_DefaultSatIndex, g_CurContinent, g_CurRegion);
    m_Administrator->showSatelliteDetails();
}
