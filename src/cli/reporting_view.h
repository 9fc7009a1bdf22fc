#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/controller_view.h"

struct LinkState;

// The controller's screen for the command line: messages go to standard error as they come,
// questions are answered as the command line already decided, and what the window would
// paint is left in the state for the command to report. Progress is a bar on standard error,
// and only when that is a terminal.
class ReportingView : public ControllerView {
public:
    ReportingView();

    // The state of the controller this view shows (nullptr: none yet).
    void attach(const LinkState* state) { m_State = state; }

    // The answer to every question (setup mode, factory default).
    bool confirmAnswer = true;

    // Status replies shown, and anything that shows progress (for the step deadline).
    int statusShown = 0;
    int progressEvents = 0;
    // The window's last message, kept rather than shown: skyrelay-cli says in its own words
    // how a command ended.
    std::string lastMessage;
    // Called with the diagnosis lamp word at every change.
    std::function<void(std::uint32_t)> onDiagnosisLamps;

    void stateChanged(std::uint32_t what) override;
    void MessageBox(const std::string& text, MessageIcon icon) override;
    bool Confirm(const std::string& text, ConfirmButtons buttons) override;
    void OpenProgress(ProgressPopup popup, std::uint32_t total) override;
    void StepProgress(ProgressPopup popup, std::uint32_t count,
                      const std::string& percent) override;
    void CloseProgress(ProgressPopup popup) override;

private:
    const LinkState* m_State = nullptr;
    bool m_Bar = false;  // standard error is a terminal
    std::uint32_t m_Total = 0;
};

// A message as one text line or several: "\r\n" becomes a line break and the blanks that
// frame the window's texts go.
std::string plainMessage(const std::string& text);

// A window's message as one line of skyrelay-cli's: its lines joined with "; ", without the
// "!!!" that marks them in a box. "AZ : out of range; Enter -655.35 to 655.35"
std::string reasonText(const std::string& text);
