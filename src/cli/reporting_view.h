#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/target_panel.h"
#include "link/controller_view.h"

// The controller's screen for the command line: messages go to standard error as they come,
// questions are answered as the command line already decided, and what the window would
// paint is kept for the command to report. Progress is a bar on standard error, and only
// when that is a terminal.
class ReportingView : public ControllerView {
public:
    ReportingView();

    // The selector positions the upload's command 10 reads.
    int continentSelection = -1;
    int regionSelection = -1;
    // The answer to every question (setup mode, factory default).
    bool confirmAnswer = true;

    // Every message shown, as the window words it ("\r\n" kept).
    std::vector<std::string> messages;
    // Counts of what arrived: identification chains completed, status replies shown,
    // progress popups closed, and anything that shows progress (for the step deadline).
    int chainsDone = 0;
    int statusShown = 0;
    int progressClosed = 0;
    int progressEvents = 0;
    // What the window last showed of the target panel and the current position.
    std::optional<TargetPanelTexts> targetPanel;
    std::string az, el, skew;
    // Called with the diagnosis lamp word at every change.
    std::function<void(std::uint32_t)> onDiagnosisLamps;

    int adminContinentSelection() const override { return continentSelection; }
    int adminRegionSelection() const override { return regionSelection; }
    void MessageBox(const std::string& text, MessageIcon icon) override;
    bool Confirm(const std::string& text, ConfirmButtons buttons) override;
    void DrawSerialBox(int) override {}
    void DrawConnectLamp(int) override {}
    void DrawStateLamps(int) override {}
    void DrawGpsLamps(int) override {}
    void DrawDiagLamps(std::uint32_t word) override;
    void showConnectionControls(bool) override {}
    void setBusyCursor(bool) override {}
    void showTargetChoice(const std::string&, bool) override {}
    void setTargetChangeEnabled(bool) override {}
    void RefreshTargetPanel(std::uint8_t position, std::uint8_t continent,
                            std::uint8_t region) override;
    void refreshAfterDownload() override;
    void showRegionGps(std::uint8_t, std::uint8_t) override {}
    void showCurrentPosition(const std::string& az, const std::string& el,
                             const std::string& skew) override;
    void setDiagnosisButtonCaption(const std::string&) override {}
    void OpenProgress(ProgressPopup popup, std::uint32_t total) override;
    void StepProgress(ProgressPopup popup, std::uint32_t count,
                      const std::string& percent) override;
    void CloseProgress(ProgressPopup popup) override;
    void SwitchPage() override {}
    void ShowLcdDataInEditor() override {}
    void TakeLcdDataFromEditor() override {}
    // The command line opens its port itself: the window's scan never runs here.
    int ScanAndConnect() override { return 0; }
    void skipSilentPort() override {}

private:
    bool m_Bar = false;  // standard error is a terminal
    std::uint32_t m_Total = 0;
};

// A message as one text line or several: "\r\n" becomes a line break and the blanks that
// frame the window's texts go.
std::string plainMessage(const std::string& text);
