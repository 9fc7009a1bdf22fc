// The refresh of every satellite display after the current region changed or the ACU's
// region and satellites arrived: one fixed sequence over the main window and its pages.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/main_window.h"
#include "data/region_display.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "link/controller.h"
#include "pages/administrator.h"
#include "pages/antenna_information.h"
#include "pages/satellite_information.h"
#include "pages/set_gps.h"
#include "widgets/selector_fill.h"

namespace {

QComboBox* combo(const QWidget* window, const char* name) {
    return window->findChild<QComboBox*>(QString::fromUtf8(name));
}

// The refresh itself shows what a user's choice would, so the lists fill quietly.
void fillWithEntries(QComboBox* selector, const std::vector<std::u16string>& entries,
                     int position) {
    QStringList texts;
    for (const std::u16string& entry : entries) texts.append(QString::fromStdU16String(entry));
    fillSelector(selector, texts, position);
}

}  // namespace

void MainWindow::fillSatelliteSelectors() {
    const SatelliteData& data = state().data;
    const std::vector<std::u16string> entries = satelliteSelectorEntries(data);
    const int target = data.DefaultSatIndex;
    const bool listed = isRegionSatellitePosition(data, target);
    const SatelliteRecord& satellite = data.RegionSatellites[listed ? target : 0];

    fillWithEntries(m_TargetCombo, entries, target);
    m_Controller->resetTargetChoice();

    fillWithEntries(combo(m_SetGps, "satellite"), entries, target);
    m_SetGps->findChild<QLineEdit*>(QStringLiteral("satellite_longitude"))
        ->setText(listed ? QString::fromStdString(longitudeText(satellite.longitude)) : QString());
    combo(m_SetGps, "satellite_longitude_hemisphere")
        ->setCurrentIndex(listed ? hemispherePosition(satellite.eastWest) : -1);

    fillWithEntries(combo(m_SatelliteInformation, "satellite"), entries, target);
}

void MainWindow::refreshRegionDisplay() {
    const SatelliteData& data = state().data;
    showRegionGps();
    fillSatelliteSelectors();
    RefreshTargetPanel();
    m_SatelliteInformation->showEditSatellite(data.DefaultSatIndex);
    m_SatelliteInformation->showLnbSetting();
    m_AntennaInformation->ShowAntennaParameters();
    m_Administrator->fillAdminSatelliteList();
    m_Administrator->selectSatellite(data.DefaultSatIndex);
    m_Administrator->showSatelliteDetails();
    m_Administrator->showLnbInformation(
        QString::fromStdString(lnbInformationText(currentRegion(data))));
}

// The controller has taken the edit copy, the LNB and DiSEqC values and the antenna parameters
// from the ACU's region before it says so.
void MainWindow::refreshAfterDownload() {
    const SatelliteData& data = state().data;
    showRegionGps();
    fillSatelliteSelectors();
    RefreshTargetPanel();
    m_SatelliteInformation->showEditSatellite(data.DefaultSatIndex);
    m_SatelliteInformation->showLnbSetting();
    m_AntennaInformation->ShowProductInformation();
    m_AntennaInformation->ShowRegionName();
    m_AntennaInformation->ShowAntennaParameters();
    m_Administrator->showDownloadedRegion(
        QString::fromStdString(continentListName(data.CurContinent)),
        QString::fromStdU16String(regionNameText(currentRegion(data))));
    m_Administrator->fillAdminSatelliteList();
    m_Administrator->selectSatellite(data.DefaultSatIndex);
    m_Administrator->showSatelliteDetails();
}

void MainWindow::showAcknowledgedChange(bool satellite) {
    m_Administrator->showLnbInformation(
        QString::fromStdString(lnbInformationText(currentRegion(state().data))));
    if (satellite) {
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
    RefreshTargetPanel();
    m_Administrator->showSatelliteDetails();
}
