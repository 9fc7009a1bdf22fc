#pragma once

#include <functional>
#include <string>

#include "link/controller_view.h"

// The controller's screen for a watched ACU: nobody looks at it. What the exporter needs
// from it is when the chain ended and when a status came, and the last message, which says
// why a link ended. Every question is answered no: a monitor agrees to nothing.
class WatcherView : public ControllerView {
public:
    std::function<void()> identified;   // the chain's last reply has been taken in
    std::function<void()> statusShown;  // a status reply has been taken in
    std::string lastMessage;

    int adminContinentSelection() const override { return -1; }
    int adminRegionSelection() const override { return -1; }
    void MessageBox(const std::string& text, MessageIcon) override { lastMessage = text; }
    bool Confirm(const std::string&, ConfirmButtons) override { return false; }
    void DrawSerialBox(int) override {}
    void DrawConnectLamp(int) override {}
    void DrawStateLamps(int) override {}
    void DrawGpsLamps(int) override {}
    void DrawDiagLamps(std::uint32_t) override {}
    void showConnectionControls(bool) override {}
    void setBusyCursor(bool) override {}
    void showTargetChoice(const std::string&, bool) override {}
    void setTargetChangeEnabled(bool) override {}
    void RefreshTargetPanel(std::uint8_t, std::uint8_t, std::uint8_t) override {
        if (statusShown) statusShown();
    }
    void refreshAfterDownload() override {
        if (identified) identified();
    }
    void showRegionGps(std::uint8_t, std::uint8_t) override {}
    void showCurrentPosition(const std::string&, const std::string&, const std::string&) override {}
    void setDiagnosisButtonCaption(const std::string&) override {}
    void OpenProgress(ProgressPopup, std::uint32_t) override {}
    void StepProgress(ProgressPopup, std::uint32_t, const std::string&) override {}
    void CloseProgress(ProgressPopup) override {}
    void SwitchPage() override {}
    void ShowLcdDataInEditor() override {}
    void TakeLcdDataFromEditor() override {}
    // The watcher opens its own line and tries again on its own schedule.
    int ScanAndConnect() override { return 0; }
    void skipSilentPort() override {}
};
