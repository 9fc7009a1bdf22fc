#pragma once

#include <cstdint>
#include <string>

// Everything the controller needs of the screen. The main window implements it with Qt;
// tests implement it with a recorder. Texts arrive formatted: the windows only set them.

enum class MessageIcon { None, Exclamation };
enum class ProgressPopup { Load, Update };
enum class ConfirmButtons { OkCancel, YesNo };

class ControllerView {
public:
    virtual ~ControllerView() = default;

    // Zero-based positions selected in the Administrator page's continent and region
    // selectors, -1 when nothing is selected.
    virtual int adminContinentSelection() const = 0;
    virtual int adminRegionSelection() const = 0;

    // A modal message with an OK button; "\r\n" in the text is a line break.
    virtual void MessageBox(const std::string& text, MessageIcon icon) = 0;

    // A question with the question icon; true for OK or Yes.
    virtual bool Confirm(const std::string& text, ConfirmButtons buttons) = 0;

    // Closes the question Confirm has open now, as if it were cancelled: the line it was
    // about went away. Nothing when no question is open.
    virtual void closeQuestion() {}

    // Lamps and the serial status box, by the states they show.
    virtual void DrawSerialBox(int connected) = 0;
    virtual void DrawConnectLamp(int state) = 0;  // 0 grey, 1 red, 2 blue
    virtual void DrawStateLamps(int mode) = 0;
    virtual void DrawGpsLamps(int state) = 0;
    virtual void DrawDiagLamps(std::uint32_t word) = 0;

    // Port list and "Reflesh" disabled and the button captioned "Disconnect" while connected.
    virtual void showConnectionControls(bool connected) = 0;
    virtual void setBusyCursor(bool busy) = 0;

    // The "Change SAT :" choice: the chosen satellite's position text and whether
    // "  Target    Change" may be pressed.
    virtual void showTargetChoice(const std::string& longitude, bool changeEnabled) = 0;
    virtual void setTargetChangeEnabled(bool enabled) = 0;
    virtual void RefreshTargetPanel(std::uint8_t position, std::uint8_t continent,
                                    std::uint8_t region) = 0;
    // Every satellite display after the ACU's region and satellites have arrived.
    virtual void refreshAfterDownload() = 0;
    // The ACU acknowledged command code (18, 19 or 20) and the tables took what was sent:
    // every display of that satellite or setting shows it now.
    virtual void showAcknowledgedChange(std::uint8_t code) { (void)code; }
    virtual void showRegionGps(std::uint8_t continent, std::uint8_t region) = 0;
    // AZ, EL and Skew of the diagnosis page's "Current Position" group.
    virtual void showCurrentPosition(const std::string& az, const std::string& el,
                                     const std::string& skew) = 0;
    virtual void setDiagnosisButtonCaption(const std::string& caption) = 0;

    // Opening disables the main window until the popup closes; closing also shows again the
    // page selected in the page list.
    virtual void OpenProgress(ProgressPopup popup, std::uint32_t total) = 0;
    virtual void StepProgress(ProgressPopup popup, std::uint32_t count,
                              const std::string& percent) = 0;
    virtual void CloseProgress(ProgressPopup popup) = 0;
    virtual void SwitchPage() = 0;

    virtual void ShowLcdDataInEditor() = 0;
    virtual void TakeLcdDataFromEditor() = 0;

    // The automatic port discovery of timer 100: 1 when it opened a port.
    virtual int ScanAndConnect() = 0;
    // The port the scan opened did not answer command 1: the next scan tries the next port.
    virtual void skipSilentPort() = 0;
};
