#pragma once

#include <cstdint>
#include <string>

#include "wire/display_text.h"

// Everything the controller needs of the screen. The main window implements it with Qt, the
// command line with a view that reports, tests with a recorder. A view reads what it shows
// from the controller's state; the controller says which part of it changed. Texts arrive
// formatted: the windows only set them.

enum class MessageIcon { None, Exclamation };
enum class ProgressPopup { Load, Update };
enum class ConfirmButtons { OkCancel, YesNo };

// The parts of the link's state a stateChanged() call names, one bit each.
namespace changed {
inline constexpr std::uint32_t Connection = 1u << 0;    // Connected: serial box and port controls
inline constexpr std::uint32_t ConnectLamp = 1u << 1;   // ConnectLamp
inline constexpr std::uint32_t StateLamps = 1u << 2;    // StateLamps
inline constexpr std::uint32_t GpsLamps = 1u << 3;      // GpsLinkState
inline constexpr std::uint32_t DiagLamps = 1u << 4;     // DiagLamps
inline constexpr std::uint32_t BusyCursor = 1u << 5;    // BusyCursor
inline constexpr std::uint32_t TargetChoice = 1u << 6;  // TargetChoice, TargetChangeEnabled
inline constexpr std::uint32_t TargetPanel = 1u << 7;   // the target, its region, the receiver
inline constexpr std::uint32_t RegionGps = 1u << 8;     // the current region's GPS position
inline constexpr std::uint32_t CurrentPosition = 1u << 9;    // CurrentAz, CurrentEl, CurrentSkew
inline constexpr std::uint32_t DiagnosisCaption = 1u << 10;  // DiagIdle
// The ACU's region and satellites arrived: every satellite display, the edit copy, the LNB and
// DiSEqC values, the antenna parameters and the product information.
inline constexpr std::uint32_t Downloaded = 1u << 11;
// The ACU acknowledged the edited satellite (18), or an LNB or DiSEqC setting (19, 20), and the
// tables took what was sent: every display of it shows it now.
inline constexpr std::uint32_t SatelliteAcknowledged = 1u << 12;
inline constexpr std::uint32_t SettingAcknowledged = 1u << 13;
inline constexpr std::uint32_t LcdData = 1u << 14;  // the LCD texts read from the ACU
}  // namespace changed

class ControllerView {
public:
    virtual ~ControllerView() = default;

    // Parts of the state changed (changed:: bits, several at once): show them again.
    virtual void stateChanged(std::uint32_t what) = 0;

    // A modal message with an OK button; "\r\n" in the text is a line break.
    virtual void MessageBox(const std::string& text, MessageIcon icon) = 0;

    // A question with the question icon; true for OK or Yes.
    virtual bool Confirm(const std::string& text, ConfirmButtons buttons) = 0;

    // Closes the question Confirm has open now, as if it were cancelled: the line it was
    // about went away. Nothing when no question is open.
    virtual void closeQuestion() {}

    // The open line went away under us, once per line; questionVoided when a question about
    // it was open and has been closed. Told as a message unless the view says it otherwise:
    // a window that connects again by itself shows it inside itself, holding nothing up.
    virtual void lineLost(const std::string& portName, bool questionVoided) {
        MessageBox(hangupText(portName, questionVoided), MessageIcon::Exclamation);
    }
    // A line is open again: what lineLost showed may go.
    virtual void lineBack() {}

    // Opening disables the main window until the popup closes; closing also shows again the
    // page selected in the page list.
    virtual void OpenProgress(ProgressPopup popup, std::uint32_t total) = 0;
    virtual void StepProgress(ProgressPopup popup, std::uint32_t count,
                              const std::string& percent) = 0;
    virtual void CloseProgress(ProgressPopup popup) = 0;
};

// The automatic port discovery of timer 100, which only a window has.
class PortScan {
public:
    // 1 when it opened a port.
    virtual int ScanAndConnect() = 0;
    // The port the scan opened did not answer command 1: the next scan tries the next port.
    virtual void skipSilentPort() = 0;

protected:
    ~PortScan() = default;
};
