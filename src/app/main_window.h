#pragma once

#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/port_discovery.h"
#include "link/controller_view.h"
#include "pages/page_host.h"
#include "serial/byte_port.h"
#include "serial/network_address.h"
#include "widgets/quiet_dialog.h"
#include "wire/lamp_colors.h"

class ACU_LCD_Display;
class AcuController;
struct AdminSelectors;
struct LinkState;
class Administrator;
class Antenna_Diagnosis;
class Antenna_Information;
class Lamp;
class PortLine;
class Load_Progress;
class ProgressPopupWindow;
class QComboBox;
class QLabel;
class QListWidget;
class QMessageBox;
class QPushButton;
class QtTimerBank;
class Satellite_Information;
class SerialBox;
class SignalPointingWindow;
class TrafficMonitor;
class Set_GPS;
class Update_Progress;
class View_LCD_Display;

// The program's one main window: the page list and page area, the serial port controls,
// the target satellite panel and the lamps. It owns the serial port and the controller, shows
// what the controller decides (ControllerView), runs the port scan (PortScan), hears the
// port's watcher (CommConsumer) and hosts the pages (PageHost).
class MainWindow : public QuietDialog,
                   public ControllerView,
                   public PortScan,
                   public CommConsumer,
                   public PageHost {
    Q_OBJECT

public:
    // commandLinePorts may hold serial server addresses too; tls says how their
    // certificates are checked.
    explicit MainWindow(QStringList commandLinePorts, QWidget* parent = nullptr,
                        PortListing listing = PortListing::GivenThenSystem,
                        const TlsOptions& tls = {});
    ~MainWindow() override;

    // ControllerView: each part of the state named is shown again from the controller's state.
    void stateChanged(std::uint32_t what) override;
    void MessageBox(const std::string& text, MessageIcon icon) override;
    bool Confirm(const std::string& text, ConfirmButtons buttons) override;
    void closeQuestion() override;
    // A hang-up shows in the bar under the page area until a line is open again: the window
    // connects again by itself, so nothing waits for an OK, and a repeat replaces the text.
    void lineLost(const std::string& portName, bool questionVoided) override;
    void lineBack() override;
    void OpenProgress(ProgressPopup popup, std::uint32_t total) override;
    void StepProgress(ProgressPopup popup, std::uint32_t count,
                      const std::string& percent) override;
    void CloseProgress(ProgressPopup popup) override;

    // PortScan
    int ScanAndConnect() override;
    void skipSilentPort() override;

    // The lamps as painted: by the state, and grey when their page comes back.
    void DrawSerialBox(int connected);
    void DrawConnectLamp(int state);
    void DrawStateLamps(int mode);
    void DrawGpsLamps(int state);
    void DrawDiagLamps(std::uint32_t word);
    void SwitchPage();
    void ShowLcdDataInEditor();
    void TakeLcdDataFromEditor();

    // CommConsumer: called on the watcher thread, handed on to this window's thread.
    void onCommRead(std::uint16_t portId) override;
    void onCommMessage(const std::string& text) override;
    void onCommOverflow(std::uint16_t portId) override;
    void onCommHangup(std::uint16_t portId) override;

    void RefreshPortList();
    // 0 nothing selected or the line busy, 1 failed, 2 opened, kSelectedOpening still opening.
    int OpenSelectedPort();
    static constexpr int kSelectedOpening = 3;
    // How often a Connect press looks whether its address has opened.
    static constexpr int kUserOpenPoll = 50;
    int scanOpened(int opened);
    // The notice says which named devices the scan waits for, and goes when one is there.
    void showAwaitedDevices();
    void awaitUserOpen();
    void connectOpened(int opened);
    void OnConnect();
    // "   Load   Default Data": reads a satellite information file.
    void loadDefaultData() override;
    // The same from a file already chosen: what the open-file dialog hands on.
    void loadDefaultDataFrom(const QString& path);
    // The Administrator page's continent and region selectors chose another entry.
    void onContinentSelected(int position);
    void onRegionSelected(int position);
    // Every satellite display after the current region changed (a file was loaded, or the
    // Administrator page's selectors chose another region).
    void refreshRegionDisplay();
    // Hides the page shown now and shows page in the page area: the way into and out of the
    // LCD editor, which has no entry in the page list, and back from its preview.
    void showPage(QWidget* page) override;
    // "Font Load": an .lcd file into the LCD texts, the editor and the preview.
    void LoadLcdFile();
    // "Save": the editor's texts into an .lcd file that "Font Load" reads back unchanged.
    void saveLcdFile();
    // "Font Load" and "Save" take their file name from here instead of a file dialog when set
    // (tests); the argument is true for saving, an empty name cancels.
    void setLcdFileHook(std::function<QString(bool)> hook);
    // Shows the Traffic Monitor (Ctrl+T, or the background context menu).
    void openTrafficMonitor();
    TrafficMonitor* trafficMonitor() const { return m_TrafficMonitor; }
    // "Save Service Report..." (Ctrl+R, or the background context menu).
    void openServiceReport();
    // Shows the Signal and Pointing window (Ctrl+G, or the background context menu).
    void openSignalPointing();
    SignalPointingWindow* signalPointing() const { return m_SignalPointing; }

    // Message boxes go here instead of a modal box when set (tests, and a headless run).
    void setMessageBoxHook(std::function<void(const QString&, MessageIcon)> hook);
    // Questions are answered here instead of by a modal box when set (tests).
    void setConfirmHook(std::function<bool(const QString&)> hook);
    // The file to load is taken from here instead of the open-file dialog when set (tests);
    // an empty path is a cancelled dialog.
    void setOpenFileHook(std::function<QString()> hook);

    AcuController& controller() override { return *m_Controller; }
    PortLine& comm() { return *m_Comm; }
    QtTimerBank& timers() { return *m_Timers; }
    PortDiscovery& discovery() { return m_Discovery; }
    QWidget* currentPage() const { return m_pCurrentPage; }
    QListWidget* pageList() const { return m_PageList; }
    QWidget* page(int entry) const;
    Load_Progress* loadProgress() const { return m_LoadProgress; }
    Update_Progress* updateProgress() const { return m_UpdateProgress; }
    ACU_LCD_Display* lcdDisplay() const override { return m_LcdDisplay; }
    View_LCD_Display* viewLcdDisplay() const { return m_ViewLcdDisplay; }
    const Lamp* connectLamp() const { return m_ConnectLamp; }
    const std::array<Lamp*, kStateLamps>& stateLamps() const { return m_StateLamps; }
    const std::array<Lamp*, 2>& gpsLamps() const { return m_GpsLamps; }
    const std::array<Lamp*, kDiagnosisLamps>& diagLamps() const { return m_DiagLamps; }
    const SerialBox* serialBox() const { return m_SerialBox; }
    const QLabel* linkNotice() const { return m_LinkNotice; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createPages();
    void createIndicators();
    void applyFontsAndColours();
    void fillPageList();
    void selectPortEntry(const QString& name);
    void showConnectionControls(bool connected);
    void setBusyCursor(bool busy);
    // The "Change SAT :" choice, the target panel, the antenna's GPS position and the current
    // position, as the state has them.
    void showTargetChoice();
    void RefreshTargetPanel();
    void showRegionGps();
    void showCurrentPosition();
    // Every satellite display after the ACU's region and satellites have arrived.
    void refreshAfterDownload();
    // The ACU took the edited satellite (satellite true), or an LNB or DiSEqC setting.
    void showAcknowledgedChange(bool satellite);
    ProgressPopupWindow* progressWindow(ProgressPopup popup) const;
    void connectOperationButtons();
    void setPanelText(const char* name, const std::optional<std::string>& text);
    QLabel* label(const char* name) const;
    void showAboutBox();
    // The three satellite selectors (here, Set_GPS, Satellite_Information) after a refresh.
    void fillSatelliteSelectors();
    void connectLcdWindows();
    QString lcdFileName(bool save);
    void connectAdminSelectors();
    void fillAdminSelectors(const AdminSelectors& selectors);
    QComboBox* adminSelector(const char* name) const;
    const LinkState& state() const;

    PortDiscovery m_Discovery;
    QString m_sSelectedPort;
    int m_nPortIndex = 0;
    bool m_bUserOpening = false;  // a Connect press waits for its address to open

    Set_GPS* m_SetGps = nullptr;
    Satellite_Information* m_SatelliteInformation = nullptr;
    Antenna_Diagnosis* m_AntennaDiagnosis = nullptr;
    Antenna_Information* m_AntennaInformation = nullptr;
    Administrator* m_Administrator = nullptr;
    ACU_LCD_Display* m_LcdDisplay = nullptr;
    Load_Progress* m_LoadProgress = nullptr;
    Update_Progress* m_UpdateProgress = nullptr;
    View_LCD_Display* m_ViewLcdDisplay = nullptr;
    TrafficMonitor* m_TrafficMonitor = nullptr;
    SignalPointingWindow* m_SignalPointing = nullptr;
    QWidget* m_pCurrentPage = nullptr;

    QListWidget* m_PageList = nullptr;
    QComboBox* m_PortCombo = nullptr;
    QComboBox* m_TargetCombo = nullptr;
    QPushButton* m_ConnectButton = nullptr;
    QPushButton* m_RefreshButton = nullptr;
    SerialBox* m_SerialBox = nullptr;
    QLabel* m_LinkNotice = nullptr;
    bool m_NoticeAwaits = false;  // the notice shows the awaited devices, not a hang-up
    Lamp* m_ConnectLamp = nullptr;
    std::array<Lamp*, kStateLamps> m_StateLamps{};
    std::array<Lamp*, 2> m_GpsLamps{};
    std::array<Lamp*, kDiagnosisLamps> m_DiagLamps{};
    std::array<Lamp*, 3> m_DiagLegend{};

    bool m_BusyCursorShown = false;
    std::function<void(const QString&, MessageIcon)> m_MessageBoxHook;
    std::function<bool(const QString&)> m_ConfirmHook;
    std::function<QString(bool)> m_LcdFileHook;
    std::function<QString()> m_OpenFileHook;
    // The box open now for each kind of message (messageKind): a repeat while it is open
    // updates its text instead of stacking another modal box on it.
    std::map<std::string, QMessageBox*> m_OpenMessageBoxes;
    QMessageBox* m_OpenQuestion = nullptr;  // the question Confirm has open, if any
    // A read notification is on its way to this window's thread; the watcher posts no other
    // until it has run, so a flood cannot pile up posted events.
    std::atomic<bool> m_CommReadPosted{false};

    std::unique_ptr<PortLine> m_Comm;
    std::unique_ptr<QtTimerBank> m_Timers;
    std::unique_ptr<AcuController> m_Controller;
};
