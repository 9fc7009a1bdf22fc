#include "app/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "app/about_dialog.h"
#include "widgets/dialog_layout.h"
#include "app/load_progress.h"
#include "app/service_report_dialog.h"
#include "app/timer_bank_qt.h"
#include "app/signal_pointing_window.h"
#include "app/traffic_monitor.h"
#include "app/update_progress.h"
#include "pages/acu_lcd_display.h"
#include "pages/view_lcd_display.h"
#include "link/controller.h"
#include "wire/protocol.h"
#include "pages/administrator.h"
#include "pages/antenna_diagnosis.h"
#include "pages/antenna_information.h"
#include "pages/satellite_information.h"
#include "pages/set_gps.h"
#include "serial/port_line.h"
#include "skyrelay_version.h"
#include "widgets/lamp.h"
#include "widgets/serial_box.h"

namespace {

using K = ControlKind;

// The main window in dialog units. Frames come first so the controls inside stay on top.
constexpr ControlSpec kLayout[] = {
    {K::Group, 10, 10, 180, 35, "Serial Communication", "serial_group"},
    {K::Group, 10, 50, 180, 129, "Target Satellite Information(Search＆Tracking)", "target_group"},
    {K::Group, 15, 90, 60, 50, "Transponder", "transponder_group"},
    {K::Group, 72, 185, 118, 125, "Antenna Status", "status_group"},

    {K::CenteredLabel, 14, 23, 22, 8, "Serial", "serial_label"},
    {K::CenteredLabel, 14, 32, 22, 8, "Port", "port_label"},
    {K::ComboBox, 38, 24, 37, 20, nullptr, "port_combo"},
    {K::Button, 77, 23, 29, 16, "Reflesh", "refresh_button"},
    {K::Placeholder, 108, 23, 35, 16, nullptr, "serial_box_placeholder"},
    {K::Button, 145, 23, 42, 16, "Connect", "connect_button"},

    {K::Label, 16, 63, 0, 8, "Target SAT :", "target_sat_label"},
    {K::Value, 67, 62, 120, 10, "", "target_sat"},
    {K::Label, 14, 76, 0, 8, "Change SAT :", "change_sat_label"},
    {K::ComboBox, 65, 75, 90, 120, nullptr, "target_combo"},
    {K::Value, 159, 77, 28, 8, "", "target_longitude"},
    {K::CenteredValue, 17, 100, 56, 8, "", "transponder_heading"},
    {K::Label, 19, 110, 0, 8, "Freq:", "freq_label"},
    {K::Value, 37, 110, 35, 8, "", "transponder_freq"},
    {K::Label, 19, 120, 0, 8, "SR:", "sr_label"},
    {K::Value, 37, 120, 35, 8, "", "transponder_sr"},
    {K::Label, 19, 130, 0, 8, "NID:", "nid_label"},
    {K::Value, 37, 130, 35, 8, "", "transponder_nid"},
    {K::Label, 81, 93, 0, 8, "Verification :", "verification_label"},
    {K::Value, 132, 93, 55, 8, "", "verification"},
    {K::Label, 81, 105, 0, 8, "Pol＆Band :", "pol_band_label"},
    {K::Value, 132, 105, 25, 8, "", "pol_value"},
    {K::Value, 160, 105, 27, 8, "", "band_value"},
    {K::Label, 81, 117, 0, 8, "DiSEqc :", "diseqc_label"},
    {K::Value, 132, 117, 55, 8, "", "diseqc"},
    {K::Label, 81, 129, 0, 8, "Local Freq. :", "local_freq_label"},
    {K::Value, 132, 129, 30, 8, "", "local_freq"},
    {K::Label, 164, 129, 0, 8, "MHz", "mhz_label"},
    {K::Label, 81, 141, 0, 8, "Receiver :", "receiver_label"},
    {K::Value, 132, 141, 55, 8, "", "receiver"},
    {K::Label, 16, 141, 0, 8, "Signal:", "signal_label"},
    {K::CenteredValue, 45, 141, 20, 8, "", "signal"},
    {K::MultiLineButton, 20, 153, 50, 20, "Antenna Restart", "restart_button"},
    {K::MultiLineButton, 75, 153, 50, 20, "Setup Mode", "setup_button"},
    {K::MultiLineButton, 130, 153, 50, 20, "  Target    Change", "target_change_button"},

    {K::Placeholder, 85, 200, 12, 12, nullptr, "connect_lamp_placeholder"},
    {K::Placeholder, 85, 215, 12, 12, nullptr, "state_lamp_placeholder"},
    {K::Label, 101, 202, 0, 8, "Antenna Connect", "connect_lamp_label"},
    {K::Label, 101, 217, 0, 8, "Antenna Initialize", "initialize_label"},
    {K::Label, 101, 232, 0, 8, "Satellite Search", "search_label"},
    {K::Label, 101, 247, 0, 8, "Satellite Tracking", "tracking_label"},
    {K::Label, 101, 262, 0, 8, "Antenna Break", "break_label"},
    {K::Label, 101, 277, 0, 8, "Antenna Stop / Setup", "stop_label"},
    {K::Label, 101, 292, 0, 8, "Antenna Diagonis", "diagnosis_label"},
    {K::MultiLineButton, 15, 190, 50, 25, "Get Antenna Information", "get_info_button"},
    {K::MultiLineButton, 15, 220, 50, 25, "   Load   Default Data", "load_data_button"},
    {K::MultiLineButton, 15, 250, 50, 25, "Update Default Data", "update_data_button"},
    {K::MultiLineButton, 15, 280, 50, 25, "Factory Setting", "factory_button"},

    {K::ListBox, 200, 7, 200, 45, nullptr, "page_list"},
    {K::RightLabel, 228, 286, 239, 24, "", "version"},
};

const char* const kPageEntries[] = {
    "     Set GPS and Antenna Angle Calculation",
    "     Set Satellite Information and Tracking Information",
    "     Antenna Antenna_Diagnosis and Antenna Move",
    "     Antenna Information and Set Antenna Parameters",
    "     View Region Satellite Information",
};

// Pixel places that do not follow the dialog units.
const QRect kPageArea(350, 90, 470, 375);
// Under the page area, over the version line while it shows.
const QRect kLinkNotice(350, 468, 470, 40);
constexpr QPoint kAntennaPicture(725, 3);
constexpr QPoint kSerialBox(190, 38);
constexpr QPoint kConnectLamp(150, 325);
constexpr QPoint kStateLamp(150, 350);
constexpr int kStateLampStep = 25;
constexpr QPoint kGpsLamp(33, 33);
constexpr int kGpsLampStep = 88;
constexpr QPoint kDiagLamp(35, 73);
constexpr int kDiagLampStep = 25;
constexpr int kDiagLegendDown = 260;
constexpr int kDiagLegendStep = 60;
constexpr int kPageLampTickMs = 10;

Lamp* lampAt(QWidget* parent, QPoint topLeft, QSize size) {
    auto* lamp = new Lamp(parent);
    lamp->setGeometry(QRect(topLeft, size));
    return lamp;
}

}  // namespace

MainWindow::MainWindow(QStringList commandLinePorts, QWidget* parent, PortListing listing,
                         const TlsOptions& tls)
    : QuietDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_Discovery(std::move(commandLinePorts), listing),
      m_Comm(std::make_unique<PortLine>(*this, tls)),
      m_Timers(std::make_unique<QtTimerBank>([this](int id) { m_Controller->OnTimer(id); })),
      m_Controller(
          std::make_unique<AcuController>(*m_Comm, m_Comm->m_QueueRead, *this, *m_Timers, this)) {
    setWindowTitle(QStringLiteral("LUMIDOR"));
    setWindowIcon(QIcon(QStringLiteral(":/skyrelay.png")));
    setFixedSize(dialogSize(480, 317));
    buildControls(this, kLayout);

    m_PageList = findChild<QListWidget*>(QStringLiteral("page_list"));
    m_PortCombo = findChild<QComboBox*>(QStringLiteral("port_combo"));
    m_TargetCombo = findChild<QComboBox*>(QStringLiteral("target_combo"));
    m_ConnectButton = findChild<QPushButton*>(QStringLiteral("connect_button"));
    m_RefreshButton = findChild<QPushButton*>(QStringLiteral("refresh_button"));
    for (int n = 1; n <= 9; ++n) m_PortCombo->addItem(QStringLiteral("COM%1").arg(n));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("antenna_picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/antenna.png")));
    picture->setGeometry(QRect(kAntennaPicture, QSize(75, 85)));

    createPages();
    applyFontsAndColours();
    fillPageList();
    createIndicators();
    m_LinkNotice = new QLabel(this);
    m_LinkNotice->setObjectName(QStringLiteral("link_notice"));
    m_LinkNotice->setGeometry(kLinkNotice);
    m_LinkNotice->setWordWrap(true);
    m_LinkNotice->setStyleSheet(
        QStringLiteral("QLabel { background: #fff4ce; color: #4d3800; border: 1px solid #d9a400; "
                       "padding: 2px 6px; }"));
    m_LinkNotice->hide();
    findChild<QPushButton*>(QStringLiteral("target_change_button"))->setEnabled(false);
    keepButtonsOffEnter(this);

    connect(m_PageList, &QListWidget::currentRowChanged, this, [this] { SwitchPage(); });
    connect(m_ConnectButton, &QPushButton::clicked, this, [this] { OnConnect(); });
    connect(m_RefreshButton, &QPushButton::clicked, this, [this] { RefreshPortList(); });
    connectOperationButtons();
    connectLcdWindows();
    connectAdminSelectors();

    // Recording from the start, so the monitor shows the identification chain even when it
    // is opened later.
    m_TrafficMonitor = new TrafficMonitor(this);
    m_Controller->setTrafficObserver(&m_TrafficMonitor->recorder());
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), this, [this] { openTrafficMonitor(); });
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), this, [this] { openServiceReport(); });
    m_SignalPointing = new SignalPointingWindow(m_Controller->state().data, this);
    m_Controller->setPointingSamples(&m_SignalPointing->samples());
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+G")), this, [this] { openSignalPointing(); });

    m_Timers->start(kStartupTimer, std::chrono::milliseconds{100});
}

MainWindow::~MainWindow() {
    // The watcher must be gone before the window it reports to.
    m_Comm->ClosePort();
    if (m_BusyCursorShown) QApplication::restoreOverrideCursor();
}

void MainWindow::createPages() {
    m_SetGps = new Set_GPS(this);
    m_SatelliteInformation = new Satellite_Information(this);
    m_AntennaDiagnosis = new Antenna_Diagnosis(this);
    m_AntennaInformation = new Antenna_Information(this);
    m_Administrator = new Administrator(this);
    m_LcdDisplay = new ACU_LCD_Display(this);
    for (QWidget* page :
         {static_cast<QWidget*>(m_SetGps), static_cast<QWidget*>(m_SatelliteInformation),
          static_cast<QWidget*>(m_AntennaDiagnosis), static_cast<QWidget*>(m_AntennaInformation),
          static_cast<QWidget*>(m_Administrator), static_cast<QWidget*>(m_LcdDisplay)}) {
        page->setGeometry(kPageArea);
        page->hide();
    }
    m_LoadProgress = new Load_Progress(this);
    m_UpdateProgress = new Update_Progress(this);
    m_ViewLcdDisplay = new View_LCD_Display(this);

    m_SatelliteInformation->show();
    m_pCurrentPage = m_SatelliteInformation;
}

void MainWindow::applyFontsAndColours() {
    QFont targetFont = font();
    targetFont.setPixelSize(15);
    targetFont.setWeight(QFont::Black);
    auto* target = findChild<QLabel*>(QStringLiteral("target_sat"));
    target->setFont(targetFont);

    QFont versionFont = font();
    versionFont.setPixelSize(25);
    versionFont.setWeight(QFont::Black);
    auto* version = findChild<QLabel*>(QStringLiteral("version"));
    version->setFont(versionFont);
    version->setText(QString::fromLatin1(kSkyrelayVersionCaption));

    const auto colour = [this](const char* name, QColor color) {
        auto* label = findChild<QLabel*>(QString::fromUtf8(name));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    };
    colour("target_sat", QColor(0, 0, 255));
    colour("signal", QColor(0, 0, 255));
    colour("transponder_heading", QColor(255, 0, 0));
    colour("version", QColor(128, 128, 128));
}

void MainWindow::fillPageList() {
    for (const char* entry : kPageEntries) m_PageList->addItem(QString::fromUtf8(entry));
    QSignalBlocker quiet(m_PageList);
    m_PageList->setCurrentRow(1);
}

void MainWindow::createIndicators() {
    m_SerialBox = new SerialBox(this);
    const QRect box(kSerialBox, dialogSize(35, 16));
    m_SerialBox->setPlaces(box, QRect(QPoint(m_PortCombo->x(), box.top()), box.bottomRight()));
    const QSize lamp = dialogSize(12, 12);
    m_ConnectLamp = lampAt(this, kConnectLamp, lamp);
    for (std::size_t k = 0; k < m_StateLamps.size(); ++k) {
        m_StateLamps[k] =
            lampAt(this, kStateLamp + QPoint(0, kStateLampStep * static_cast<int>(k)), lamp);
    }
    const QSize gpsLamp = dialogSize(10, 10);
    for (std::size_t k = 0; k < m_GpsLamps.size(); ++k) {
        m_GpsLamps[k] =
            lampAt(m_SetGps, kGpsLamp + QPoint(kGpsLampStep * static_cast<int>(k), 0), gpsLamp);
    }
    for (std::size_t k = 0; k < m_DiagLamps.size(); ++k) {
        m_DiagLamps[k] = lampAt(m_AntennaDiagnosis,
                                kDiagLamp + QPoint(0, kDiagLampStep * static_cast<int>(k)), lamp);
    }
    for (std::size_t k = 0; k < m_DiagLegend.size(); ++k) {
        m_DiagLegend[k] = lampAt(
            m_AntennaDiagnosis,
            kDiagLamp + QPoint(kDiagLegendStep * static_cast<int>(k), kDiagLegendDown), lamp);
        m_DiagLegend[k]->setColor(kDiagnosisLegend[k]);
    }
}

QWidget* MainWindow::page(int entry) const {
    switch (entry) {
        case 0:
            return m_SetGps;
        case 1:
            return m_SatelliteInformation;
        case 2:
            return m_AntennaDiagnosis;
        case 3:
            return m_AntennaInformation;
        case 4:
            return m_Administrator;
        default:
            return nullptr;
    }
}

void MainWindow::SwitchPage() {
    if (m_pCurrentPage != nullptr) {
        m_pCurrentPage->hide();
        m_pCurrentPage = nullptr;
    }
    // The LCD editor may be up under its preview; no entry of the list shows it.
    m_LcdDisplay->hide();
    const int entry = m_PageList->currentRow();
    QWidget* shown = page(entry);
    if (shown == nullptr) return;
    shown->show();
    m_pCurrentPage = shown;
    // The lamps of these two pages start grey each time the page comes back; the next
    // status reply or diagnosis step paints them again.
    if (entry == 0) QTimer::singleShot(kPageLampTickMs, this, [this] { DrawGpsLamps(0); });
    if (entry == 2) QTimer::singleShot(kPageLampTickMs, this, [this] { DrawDiagLamps(0); });
    selectPortEntry(m_sSelectedPort);
}

void MainWindow::selectPortEntry(const QString& name) {
    const int index = m_PortCombo->findText(name);
    if (index >= 0) m_PortCombo->setCurrentIndex(index);
}

void MainWindow::showPage(QWidget* page) {
    if (m_pCurrentPage != nullptr) m_pCurrentPage->hide();
    page->show();
    page->raise();
    m_pCurrentPage = page;
}

QLabel* MainWindow::label(const char* name) const {
    return findChild<QLabel*>(QString::fromUtf8(name));
}

void MainWindow::connectOperationButtons() {
    const auto onClick = [this](const char* name, auto operation) {
        connect(findChild<QPushButton*>(QString::fromUtf8(name)), &QPushButton::clicked, this,
                operation);
    };
    onClick("restart_button", [this] { m_Controller->OnAntennaRestart(); });
    onClick("setup_button", [this] { m_Controller->OnSetupMode(); });
    onClick("target_change_button", [this] { m_Controller->OnTargetChange(m_TargetCombo->currentIndex()); });
    onClick("get_info_button", [this] { m_Controller->OnGetAntennaInformation(); });
    onClick("load_data_button", [this] { loadDefaultData(); });
    onClick("update_data_button", [this] {
        m_Controller->updateDefaultData(adminSelector("continent")->currentIndex(),
                                        adminSelector("region")->currentIndex());
    });
    onClick("factory_button", [this] { m_Controller->OnFactorySetting(); });
    connect(m_TargetCombo, &QComboBox::activated, this,
            [this](int index) { m_Controller->OnTargetSelected(index); });
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* about = menu.addAction(QString::fromUtf8("Lumidor 정보(&A)..."));
    connect(menu.addAction(QStringLiteral("Traffic Monitor\tCtrl+T")), &QAction::triggered, this,
            &MainWindow::openTrafficMonitor);
    connect(menu.addAction(QStringLiteral("Save Service Report...\tCtrl+R")), &QAction::triggered,
            this, &MainWindow::openServiceReport);
    connect(menu.addAction(QStringLiteral("Signal and Pointing\tCtrl+G")), &QAction::triggered,
            this, &MainWindow::openSignalPointing);
    if (menu.exec(event->globalPos()) == about) showAboutBox();
}

void MainWindow::openServiceReport() {
    auto* dialog = new ServiceReportDialog(m_Controller->state(), m_Controller->sessionLog(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void MainWindow::showAboutBox() {
    CAboutDlg about(this);
    about.exec();
}

void MainWindow::openTrafficMonitor() {
    m_TrafficMonitor->show();
    m_TrafficMonitor->raise();
    m_TrafficMonitor->activateWindow();
    m_TrafficMonitor->refreshNow();
}

void MainWindow::openSignalPointing() {
    m_SignalPointing->show();
    m_SignalPointing->raise();
    m_SignalPointing->activateWindow();
}

void MainWindow::changeEvent(QEvent* event) {
    QuietDialog::changeEvent(event);
    // Qt disables a window's child windows with it. The progress popups disable this window
    // for minutes at a time, and that is when the technician wants to scroll the monitor and
    // watch the dish: the tool windows stay enabled (Qt allows it for windows).
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_TrafficMonitor->setEnabled(true);
        m_SignalPointing->setEnabled(true);
    }
}
