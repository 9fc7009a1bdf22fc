// What the controller asks of the screen, and the serial port controls of the main window.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/load_progress.h"
#include "app/main_window.h"
#include "app/update_progress.h"
#include "data/region_display.h"
#include "data/target_panel.h"
#include "geo/gps_inputs.h"
#include "lcd/lcd_data.h"
#include "link/controller.h"
#include "pages/acu_lcd_display.h"
#include "pages/administrator.h"
#include "pages/antenna_diagnosis.h"
#include "pages/antenna_information.h"
#include "pages/set_gps.h"
#include "pages/view_lcd_display.h"
#include "serial/port_line.h"
#include "serial/port_order.h"
#include "serial/serial_comm.h"
#include "widgets/lamp.h"
#include "widgets/serial_box.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

// The texts keep the original "\r\n"; a Qt label wants "\n".
QString messageText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

const LinkState& MainWindow::state() const {
    return m_Controller->state();
}

void MainWindow::stateChanged(std::uint32_t what) {
    const LinkState& s = state();
    if ((what & changed::Connection) != 0) {
        showConnectionControls(s.Connected == 1);
        DrawSerialBox(s.Connected);
    }
    if ((what & changed::ConnectLamp) != 0) DrawConnectLamp(s.ConnectLamp);
    if ((what & changed::StateLamps) != 0) DrawStateLamps(s.StateLamps);
    if ((what & changed::GpsLamps) != 0) DrawGpsLamps(s.antenna.GpsLinkState);
    if ((what & changed::DiagLamps) != 0) DrawDiagLamps(s.antenna.DiagLamps);
    if ((what & changed::BusyCursor) != 0) setBusyCursor(s.BusyCursor == 1);
    if ((what & changed::TargetChoice) != 0) showTargetChoice();
    if ((what & changed::TargetPanel) != 0) RefreshTargetPanel();
    if ((what & changed::RegionGps) != 0) showRegionGps();
    if ((what & changed::CurrentPosition) != 0) showCurrentPosition();
    if ((what & changed::DiagnosisCaption) != 0) {
        m_AntennaDiagnosis->setDiagnosisButtonCaption(
            s.DiagIdle == 1 ? QStringLiteral("Diagnosis Start") : QStringLiteral("Diagnosis Stop"));
    }
    if ((what & changed::Downloaded) != 0) refreshAfterDownload();
    if ((what & changed::SatelliteAcknowledged) != 0) showAcknowledgedChange(true);
    if ((what & changed::SettingAcknowledged) != 0) showAcknowledgedChange(false);
    if ((what & changed::LcdData) != 0) {
        ShowLcdDataInEditor();
        TakeLcdDataFromEditor();
    }
}

void MainWindow::setMessageBoxHook(std::function<void(const QString&, MessageIcon)> hook) {
    m_MessageBoxHook = std::move(hook);
}

void MainWindow::MessageBox(const std::string& text, MessageIcon icon) {
    const QString shown = messageText(text);
    if (m_MessageBoxHook) {
        m_MessageBoxHook(shown, icon);
        return;
    }
    const std::string kind = messageKind(text);
    if (const auto open = m_OpenMessageBoxes.find(kind); open != m_OpenMessageBoxes.end()) {
        open->second->setText(shown);
        return;
    }
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    windowTitle(), shown, QMessageBox::Ok, this);
    m_OpenMessageBoxes[kind] = &box;
    box.exec();
    m_OpenMessageBoxes.erase(kind);
}

void MainWindow::setConfirmHook(std::function<bool(const QString&)> hook) {
    m_ConfirmHook = std::move(hook);
}

bool MainWindow::Confirm(const std::string& text, ConfirmButtons buttons) {
    const QString shown = messageText(text);
    if (m_ConfirmHook) return m_ConfirmHook(shown);
    const bool yesNo = buttons == ConfirmButtons::YesNo;
    QMessageBox box(
        QMessageBox::Question, windowTitle(), shown,
        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel, this);
    m_OpenQuestion = &box;
    const int answer = box.exec();
    m_OpenQuestion = nullptr;
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

void MainWindow::closeQuestion() {
    if (m_OpenQuestion != nullptr) m_OpenQuestion->done(QMessageBox::Cancel);
}

void MainWindow::lineLost(const std::string& portName, bool questionVoided) {
    m_NoticeAwaits = false;
    m_LinkNotice->setText(QString::fromStdString(hangupNoticeText(portName, questionVoided)));
    m_LinkNotice->show();
    m_LinkNotice->raise();
}

void MainWindow::lineBack() {
    m_NoticeAwaits = false;
    m_LinkNotice->hide();
    m_LinkNotice->clear();
}

void MainWindow::DrawSerialBox(int connected) {
    m_SerialBox->setState(connected == 1, m_sSelectedPort);
}

void MainWindow::DrawConnectLamp(int state) {
    m_ConnectLamp->setColor(connectLampColor(state));
}

void MainWindow::DrawStateLamps(int mode) {
    const auto colors = stateLampColors(mode);
    for (std::size_t k = 0; k < colors.size(); ++k) m_StateLamps[k]->setColor(colors[k]);
}

void MainWindow::DrawGpsLamps(int state) {
    const auto colors = gpsLampColors(state);
    for (std::size_t k = 0; k < colors.size(); ++k) m_GpsLamps[k]->setColor(colors[k]);
}

void MainWindow::DrawDiagLamps(std::uint32_t word) {
    const auto colors = diagnosisLampColors(word);
    for (std::size_t k = 0; k < colors.size(); ++k) m_DiagLamps[k]->setColor(colors[k]);
}

void MainWindow::showConnectionControls(bool connected) {
    m_PortCombo->setEnabled(!connected);
    m_RefreshButton->setEnabled(!connected);
    m_ConnectButton->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
}

void MainWindow::setBusyCursor(bool busy) {
    if (busy == m_BusyCursorShown) return;
    m_BusyCursorShown = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::showTargetChoice() {
    const SatelliteData& data = state().data;
    const int choice = state().TargetChoice;
    const std::string longitude =
        isRegionSatellitePosition(data, choice)
            ? orbitalPositionText(data.RegionSatellites[static_cast<std::size_t>(choice)])
            : std::string();
    // " %3.1f%c": the hemisphere is the record's own byte, shown as the character of that code.
    label("target_longitude")
        ->setText(QString::fromLatin1(longitude.data(), static_cast<qsizetype>(longitude.size())));
    findChild<QPushButton*>(QStringLiteral("target_change_button"))
        ->setEnabled(state().TargetChangeEnabled);
}

void MainWindow::setPanelText(const char* name, const std::optional<std::string>& text) {
    if (text) label(name)->setText(QString::fromStdString(*text));
}

void MainWindow::RefreshTargetPanel() {
    const std::optional<TargetPanelTexts> texts =
        targetPanelFor(state().data, receiverState(state()));
    if (!texts) return;
    const int position = state().data.DefaultSatIndex;
    const std::string& orbit = texts->targetPosition;  // its last byte is the record's own
    label("target_sat")
        ->setText(m_TargetCombo->itemText(position) +
                  QString::fromLatin1(orbit.data(), static_cast<qsizetype>(orbit.size())));
    setPanelText("transponder_heading", texts->transponderHeading);
    setPanelText("transponder_freq", texts->frequency);
    setPanelText("transponder_sr", texts->symbolRate);
    setPanelText("transponder_nid", texts->networkId);
    setPanelText("verification", texts->verification);
    setPanelText("pol_value", texts->polarization);
    setPanelText("band_value", texts->tone);
    setPanelText("diseqc", texts->diseqc);
    setPanelText("local_freq", texts->localFrequency);
    setPanelText("signal", texts->signal);
    setPanelText("receiver", texts->receiver);
    m_AntennaInformation->findChild<QLabel*>(QStringLiteral("receiver"))
        ->setText(QString::fromStdString(texts->receiverVoltage));
}

// The satellite displays are filled by the pages that show them; these hooks are where the
// controller reaches them.
void MainWindow::showRegionGps() {
    m_SetGps->showAntennaGps(antennaGpsTexts(state().data));
}

void MainWindow::showCurrentPosition() {
    const AntennaState& antenna = state().antenna;
    m_AntennaDiagnosis->showCurrentPosition(
        QString::fromStdString(positionText(antenna.CurrentAz)),
        QString::fromStdString(positionText(antenna.CurrentEl)),
        QString::fromStdString(positionText(antenna.CurrentSkew)));
}

void MainWindow::ShowLcdDataInEditor() {
    m_LcdDisplay->showLines(state().LcdData);
}

// The preview comes up over the editor, which stays in place below it, and is filled from the
// LCD texts the editor holds: what it shows is what "Write" sends.
void MainWindow::TakeLcdDataFromEditor() {
    LcdDataBlock block = state().LcdData;
    m_LcdDisplay->storeLines(block);
    m_Controller->setLcdData(block);
    showPage(m_ViewLcdDisplay);
    m_LcdDisplay->show();
    m_ViewLcdDisplay->showBlock(state().LcdData);
}

ProgressPopupWindow* MainWindow::progressWindow(ProgressPopup popup) const {
    if (popup == ProgressPopup::Load) return m_LoadProgress;
    return m_UpdateProgress;
}

void MainWindow::OpenProgress(ProgressPopup popup, std::uint32_t total) {
    // The page under the popup is hidden now, so closing the popup shows only the page chosen
    // in the page list, whatever was shown before.
    if (m_pCurrentPage != nullptr) m_pCurrentPage->hide();
    ProgressPopupWindow* window = progressWindow(popup);
    window->openProgress(total);
    m_pCurrentPage = window;
    setEnabled(false);
}

void MainWindow::StepProgress(ProgressPopup popup, std::uint32_t count,
                              const std::string& percent) {
    progressWindow(popup)->stepProgress(count, QString::fromStdString(percent));
}

void MainWindow::CloseProgress(ProgressPopup popup) {
    progressWindow(popup)->closeProgress();
    setEnabled(true);
    SwitchPage();
}

void MainWindow::onCommRead(std::uint16_t) {
    if (m_CommReadPosted.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Cleared before reading: bytes queued from now on post a notification of their own.
            m_CommReadPosted = false;
            m_Controller->OnCommRead();
        },
        Qt::QueuedConnection);
}

void MainWindow::onCommMessage(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, text] { MessageBox(text, MessageIcon::None); }, Qt::QueuedConnection);
}

void MainWindow::onCommOverflow(std::uint16_t) {
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Told before the box opens, so an overflow while it is open updates its count.
            m_Comm->overflowShown();
            MessageBox(queueFullText(m_Comm->droppedBytes()), MessageIcon::None);
        },
        Qt::QueuedConnection);
}

void MainWindow::onCommHangup(std::uint16_t) {
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_Discovery.portHungUp(QString::fromStdString(m_Comm->portName()));
            m_Controller->OnPortHangup(m_Comm->portName());
        },
        Qt::QueuedConnection);
}

void MainWindow::RefreshPortList() {
    m_Discovery.userRefreshed();
    m_Discovery.fillPortList(m_PortCombo);
}

void MainWindow::showAwaitedDevices() {
    const QStringList awaited =
        state().Connected == 1 ? QStringList{} : m_Discovery.awaitedDevices();
    if (!awaited.isEmpty() && (m_LinkNotice->isHidden() || m_NoticeAwaits)) {
        std::vector<std::string> names;
        for (const QString& name : awaited) names.push_back(name.toStdString());
        m_LinkNotice->setText(QString::fromStdString(awaitedDevicesNoticeText(names)));
        m_LinkNotice->show();
        m_LinkNotice->raise();
        m_NoticeAwaits = true;
    } else if (awaited.isEmpty() && m_NoticeAwaits) {
        lineBack();
    }
}

int MainWindow::ScanAndConnect() {
    // A hang-up's notice stays: it already says that Skyrelay connects again by itself.
    showAwaitedDevices();
    // A serial server's address is opened off this thread, as it can take seconds per step
    // (far more over a dead link); its result is picked up on a later tick.
    if (m_Comm->opening()) {
        if (m_bUserOpening) return 0;
        const std::optional<int> opened = m_Comm->finishOpen();
        return opened ? scanOpened(*opened) : 0;
    }
    if (!m_Discovery.fillPortList(m_PortCombo) || state().Connected == 1) return 0;
    // Not always entry 0: the scan moves on from a port that stayed silent or would not open.
    const std::optional<int> entry = m_Discovery.nextScanEntry();
    if (!entry) return 0;
    m_sSelectedPort = m_PortCombo->itemText(*entry);
    m_nPortIndex = *entry;
    if (m_Comm->isOpen()) return 0;
    const auto portId = static_cast<std::uint16_t>(*entry & 0xFFFF);
    const int opened = m_Comm->beginOpen(m_sSelectedPort.toStdString(), kLineBaudRate, portId);
    return opened == PortLine::kOpening ? 0 : scanOpened(opened);
}

int MainWindow::scanOpened(int opened) {
    if (opened != 1) {
        m_Discovery.skipPort(m_sSelectedPort);
        return 0;
    }
    // The list may have been filled again while an address was being opened.
    const int entry = m_PortCombo->findText(m_sSelectedPort);
    if (entry >= 0) {
        m_nPortIndex = entry;
        m_PortCombo->setCurrentIndex(entry);
    }
    m_Controller->StartConnection(false);
    return 1;
}

void MainWindow::skipSilentPort() {
    m_Discovery.skipPort(m_sSelectedPort);
}

int MainWindow::OpenSelectedPort() {
    const int index = m_PortCombo->currentIndex();
    if (index < 0) return 0;
    m_sSelectedPort = m_PortCombo->itemText(index);
    m_nPortIndex = index;
    if (m_Comm->isOpen()) return 0;
    const auto portId = static_cast<std::uint16_t>(index & 0xFFFF);
    const int opened = m_Comm->beginOpen(m_sSelectedPort.toStdString(), kLineBaudRate, portId);
    if (opened == PortLine::kOpening) return kSelectedOpening;
    return opened == 1 ? 2 : 1;
}

void MainWindow::OnConnect() {
    if (m_bUserOpening) return;  // pressed again while its address is still opening
    if (state().Connected == 1) {
        m_Controller->Disconnect();
        return;
    }
    // The scan's own try gives way to the port the user chose.
    if (m_Comm->opening()) m_Comm->ClosePort();
    const int opened = OpenSelectedPort();
    if (opened != kSelectedOpening) {
        connectOpened(opened);
        return;
    }
    // The busy cursor says the press was taken; the window stays live until the answer.
    m_bUserOpening = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    awaitUserOpen();
}

void MainWindow::awaitUserOpen() {
    const std::optional<int> opened = m_Comm->finishOpen();
    if (!opened) {
        QTimer::singleShot(kUserOpenPoll, this, [this] { awaitUserOpen(); });
        return;
    }
    m_bUserOpening = false;
    QApplication::restoreOverrideCursor();
    connectOpened(*opened == 1 ? 2 : 1);
}

void MainWindow::connectOpened(int opened) {
    switch (opened) {
        case 0:
            MessageBox("Select Serial port.", MessageIcon::None);
            break;
        case 1: {
            // The reason goes on a line of its own: a technician not in the dialout group
            // learns what to do instead of trying every port in turn.
            const std::string reason = m_Comm->openFailure();
            MessageBox(m_sSelectedPort.toStdString() +
                           " is not connected.\r\nTry to connect another serial port." +
                           (reason.empty() ? "" : "\r\n" + reason),
                       MessageIcon::None);
            break;
        }
        default:
            m_Discovery.userConnected();
            m_Controller->StartConnection();
            break;
    }
}
