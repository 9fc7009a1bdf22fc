// Load Default Data and the Administrator page's continent and region selectors.

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>

#include "app/main_window.h"
#include "app/regular_file.h"
#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "link/controller.h"
#include "pages/administrator.h"
#include "pages/antenna_information.h"
#include "widgets/selector_fill.h"

namespace {

// Linux file names are case-sensitive, so both spellings of the extension are listed.
const char* const kSifFilter = "sif File(*.sif *.SIF)";

void showSelectorContents(QComboBox* selector, const SelectorContents& contents) {
    QStringList entries;
    for (const std::string& entry : contents.entries) {
        entries.append(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    fillSelector(selector, entries, contents.selected);
    selector->setEnabled(contents.enabled);
}

}  // namespace

void MainWindow::setOpenFileHook(std::function<QString()> hook) {
    m_OpenFileHook = std::move(hook);
}

QComboBox* MainWindow::adminSelector(const char* name) const {
    return m_Administrator->findChild<QComboBox*>(QString::fromUtf8(name));
}

void MainWindow::connectAdminSelectors() {
    connect(adminSelector("continent"), &QComboBox::activated, this,
            [this](int index) { onContinentSelected(index); });
    connect(adminSelector("region"), &QComboBox::activated, this,
            [this](int index) { onRegionSelected(index); });
}

void MainWindow::loadDefaultData() {
    const QString path = m_OpenFileHook
                             ? m_OpenFileHook()
                             : QFileDialog::getOpenFileName(this, QString(), QString(),
                                                            QString::fromUtf8(kSifFilter));
    if (path.isEmpty()) return;  // cancelled: nothing changes
    loadDefaultDataFrom(path);
}

void MainWindow::loadDefaultDataFrom(const QString& path) {
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    // The whole file is read before any of it is parsed; one byte past the limit tells the
    // reader that the file is too large.
    const std::optional<QByteArray> bytes =
        readRegularFile(path, static_cast<qint64>(kSifMaxBytes) + 1);
    if (!bytes) {
        MessageBox(sifOpenFailureText(fileName), MessageIcon::Exclamation);
        m_AntennaInformation->ShowProductInformation();
        return;
    }
    const auto data =
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes->constData()),
                                      static_cast<std::size_t>(bytes->size()));
    if (const std::optional<SifRefusal> refusal = m_Controller->loadDefaultData(data, fileName)) {
        MessageBox(sifRefusalText(fileName, *refusal), MessageIcon::Exclamation);
        m_AntennaInformation->ShowProductInformation();
        return;
    }
    const AdminSelectors selectors = selectorsForLoadedScope(state().data);
    fillAdminSelectors(selectors);
    m_Controller->selectRegion(selectors.continent, selectors.region);
    refreshRegionDisplay();
    m_AntennaInformation->ShowProductInformation();
}

void MainWindow::fillAdminSelectors(const AdminSelectors& selectors) {
    showSelectorContents(adminSelector("continent"), selectors.continents);
    showSelectorContents(adminSelector("region"), selectors.regions);
}

void MainWindow::onContinentSelected(int position) {
    const std::optional<SelectorContents> regions = m_Controller->chooseContinent(position);
    if (!regions) return;
    showSelectorContents(adminSelector("region"), *regions);
    refreshRegionDisplay();
}

void MainWindow::onRegionSelected(int position) {
    if (!m_Controller->chooseRegion(position)) return;
    refreshRegionDisplay();
}
