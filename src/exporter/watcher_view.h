#pragma once

#include <functional>
#include <string>

#include "link/controller_view.h"

// The controller's screen for a watched ACU: nobody looks at it. What the exporter needs from
// it is when a status reply came, and the last message, which says why a link ended. Every
// question is answered no: a monitor agrees to nothing.
class WatcherView : public ControllerView {
public:
    std::function<void()> statusShown;  // a status reply has been taken in
    std::string lastMessage;

    void stateChanged(std::uint32_t what) override {
        // Only a status reply brings the region's GPS position.
        if ((what & changed::RegionGps) != 0 && statusShown) statusShown();
    }
    void MessageBox(const std::string& text, MessageIcon) override { lastMessage = text; }
    bool Confirm(const std::string&, ConfirmButtons) override { return false; }
    void OpenProgress(ProgressPopup, std::uint32_t) override {}
    void StepProgress(ProgressPopup, std::uint32_t, const std::string&) override {}
    void CloseProgress(ProgressPopup) override {}
};
