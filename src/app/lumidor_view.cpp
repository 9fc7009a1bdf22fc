// What the controller asks of the screen, and the serial port controls of the main window.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "app/load_progress.h"
#include "app/lumidor_dlg.h"
#include "app/update_progress.h"
#include "data/target_panel.h"
#include "link/controller.h"
#include "link/display_text.h"
#include "link/link_state.h"
#include "link/protocol.h"
#include "pages/administrator.h"
#include "pages/antenna_information.h"
#include "panel/lamp.h"
#include "panel/serial_box.h"
#include "serial/serial_comm.h"

namespace {

constexpr std::uint32_t kBaudRate = 57600;

// The texts keep the original "\r\n"; a Qt label wants "\n".
QString messageText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

int CLumidorDlg::adminContinentSelection() const {
    return -1;
}
int CLumidorDlg::adminRegionSelection() const {
    return -1;
}

void CLumidorDlg::setMessageBoxHook(std::function<void(const QString&, MessageIcon)> hook) {
    m_MessageBoxHook = std::move(hook);
}

void CLumidorDlg::MessageBox(const std::string& text, MessageIcon icon) {
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

void CLumidorDlg::setConfirmHook(std::function<bool(const QString&)> hook) {
    m_ConfirmHook = std::move(hook);
}

bool CLumidorDlg::Confirm(const std::string& text, ConfirmButtons buttons) {
    const QString shown = messageText(text);
    if (m_ConfirmHook) return m_ConfirmHook(shown);
    const bool yesNo = buttons == ConfirmButtons::YesNo;
    QMessageBox box(
        QMessageBox::Question, windowTitle(), shown,
        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel, this);
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

void CLumidorDlg::DrawSerialBox(int connected) {
    m_SerialBox->setState(connected == 1, m_sSelectedPort);
}

void CLumidorDlg::DrawConnectLamp(int state) {
    m_ConnectLamp->setColor(connectLampColor(state));
}

void CLumidorDlg::DrawStateLamps(int mode) {
    const auto colors = stateLampColors(mode);
    for (std::size_t k = 0; k < colors.size(); ++k) m_StateLamps[k]->setColor(colors[k]);
}

void CLumidorDlg::DrawGpsLamps(int state) {
    const auto colors = gpsLampColors(state);
    for (std::size_t k = 0; k < colors.size(); ++k) m_GpsLamps[k]->setColor(colors[k]);
}

void CLumidorDlg::DrawDiagLamps(std::uint32_t word) {
    const auto colors = diagnosisLampColors(word);
    for (std::size_t k = 0; k < colors.size(); ++k) m_DiagLamps[k]->setColor(colors[k]);
}

void CLumidorDlg::showConnectionControls(bool connected) {
    m_PortCombo->setEnabled(!connected);
    m_RefreshButton->setEnabled(!connected);
    m_ConnectButton->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
}

void CLumidorDlg::setBusyCursor(bool busy) {
    if (busy == m_BusyCursorShown) return;
    m_BusyCursorShown = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CLumidorDlg::showTargetChoice(const std::string& longitude, bool changeEnabled) {
    label("target_longitude")->setText(QString::fromStdString(longitude));
    setTargetChangeEnabled(changeEnabled);
}

void CLumidorDlg::setTargetChangeEnabled(bool enabled) {
    findChild<QPushButton*>(QStringLiteral("target_change_button"))->setEnabled(enabled);
}

void CLumidorDlg::setPanelText(const char* name, const std::optional<std::string>& text) {
    if (text) label(name)->setText(QString::fromStdString(*text));
}

void CLumidorDlg::RefreshTargetPanel(std::uint8_t position, std::uint8_t continent,
                                     std::uint8_t region) {
    const std::optional<TargetPanelTexts> texts = targetPanelFor(position, continent, region);
    if (!texts) return;
    label("target_sat")
        ->setText(m_TargetCombo->itemText(position) +
                  QString::fromStdString(texts->targetPosition));
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
void CLumidorDlg::refreshAfterDownload() {}
void CLumidorDlg::refreshRegionDisplay() {}
void CLumidorDlg::showRegionGps(std::uint8_t, std::uint8_t) {}
void CLumidorDlg::showCurrentPosition(const std::string&, const std::string&, const std::string&) {}
void CLumidorDlg::setDiagnosisButtonCaption(const std::string&) {}
void CLumidorDlg::ShowLcdDataInEditor() {}
void CLumidorDlg::TakeLcdDataFromEditor() {}

ProgressPopupWindow* CLumidorDlg::progressWindow(ProgressPopup popup) const {
    if (popup == ProgressPopup::Load) return m_LoadProgress;
    return m_UpdateProgress;
}

void CLumidorDlg::OpenProgress(ProgressPopup popup, std::uint32_t total) {
    // The page under the popup is hidden now, so closing the popup shows only the page chosen
    // in the page list, whatever was shown before.
    if (m_pCurrentPage != nullptr) m_pCurrentPage->hide();
    ProgressPopupWindow* window = progressWindow(popup);
    window->openProgress(total);
    m_pCurrentPage = window;
    setEnabled(false);
}

void CLumidorDlg::StepProgress(ProgressPopup popup, std::uint32_t count,
                               const std::string& percent) {
    progressWindow(popup)->stepProgress(count, QString::fromStdString(percent));
}

void CLumidorDlg::CloseProgress(ProgressPopup popup) {
    progressWindow(popup)->closeProgress();
    setEnabled(true);
    SwitchPage();
}

void CLumidorDlg::onCommRead(std::uint16_t) {
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

void CLumidorDlg::onCommMessage(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (text != "m_QueueRead FULL!") {
                MessageBox(text, MessageIcon::None);
                return;
            }
            // Told before the box opens, so an overflow while it is open updates its count.
            m_Comm->overflowShown();
            MessageBox(queueFullText(m_Comm->droppedBytes()), MessageIcon::None);
        },
        Qt::QueuedConnection);
}

void CLumidorDlg::onCommHangup(std::uint16_t) {
    QMetaObject::invokeMethod(
        this, [this] { m_Controller->OnPortHangup(m_Comm->portName()); }, Qt::QueuedConnection);
}

void CLumidorDlg::loadDefaultData() {
    // Reading .sif files is not part of this build yet; say so rather than do nothing.
    MessageBox(" Loading default data from a file is not available yet !!! ",
               MessageIcon::Exclamation);
}

void CLumidorDlg::RefreshPortList() {
    m_Discovery.fillPortList(m_PortCombo);
}

int CLumidorDlg::ScanAndConnect() {
    if (!m_Discovery.fillPortList(m_PortCombo) || g_Connected == 1) return 0;
    m_sSelectedPort = m_PortCombo->itemText(0);
    m_nPortIndex = 0;
    if (m_Comm->commHandle() >= 0) return 0;
    if (m_Comm->OpenPort(m_sSelectedPort.toStdString(), kBaudRate, 0) != 1) return 0;
    m_PortCombo->setCurrentIndex(0);
    m_Controller->StartConnection();
    return 1;
}

int CLumidorDlg::OpenSelectedPort() {
    const int index = m_PortCombo->currentIndex();
    if (index < 0) return 0;
    m_sSelectedPort = m_PortCombo->itemText(index);
    m_nPortIndex = index;
    if (m_Comm->commHandle() >= 0) return 0;
    const auto portId = static_cast<std::uint16_t>(index & 0xFFFF);
    return m_Comm->OpenPort(m_sSelectedPort.toStdString(), kBaudRate, portId) == 1 ? 2 : 1;
}

void CLumidorDlg::OnConnect() {
    if (g_Connected == 1) {
        m_Controller->Disconnect();
        return;
    }
    switch (OpenSelectedPort()) {
        case 0:
            MessageBox("Select Serial port.", MessageIcon::None);
            break;
        case 1:
            MessageBox(m_sSelectedPort.toStdString() +
                           " is not connected.\r\nTry to connect another serial port.",
                       MessageIcon::None);
            break;
        default:
            m_Controller->StartConnection();
            break;
    }
}
