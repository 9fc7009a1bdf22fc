#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/controller_view.h"

// A screen that writes down what it was asked to show, one line per call, so a test can
// check what reached the user and in what order.
class RecorderView : public ControllerView {
public:
    int adminContinentSelection() const override { return continentSelection; }
    int adminRegionSelection() const override { return regionSelection; }

    void MessageBox(const std::string& text, MessageIcon icon) override {
        record("MessageBox(" + text + (icon == MessageIcon::Exclamation ? ", !)" : ")"));
        if (onMessageBox) onMessageBox(text);
    }
    bool Confirm(const std::string& text, ConfirmButtons buttons) override {
        record("Confirm(" + text + (buttons == ConfirmButtons::YesNo ? ", YesNo)" : ", OkCancel)"));
        if (onConfirm) onConfirm();
        return confirmAnswer;
    }
    void closeQuestion() override { record("closeQuestion()"); }
    void showTargetChoice(const std::string& longitude, bool changeEnabled) override {
        record("showTargetChoice(" + longitude + "," + (changeEnabled ? "1" : "0") + ")");
    }
    void setTargetChangeEnabled(bool enabled) override { record("setTargetChangeEnabled", enabled); }
    void DrawSerialBox(int connected) override { record("DrawSerialBox", connected); }
    void DrawConnectLamp(int state) override { record("DrawConnectLamp", state); }
    void DrawStateLamps(int mode) override { record("DrawStateLamps", mode); }
    void DrawGpsLamps(int state) override { record("DrawGpsLamps", state); }
    void DrawDiagLamps(std::uint32_t word) override {
        record("DrawDiagLamps", static_cast<long long>(word));
    }
    void showConnectionControls(bool connected) override {
        record("showConnectionControls", connected);
    }
    void setBusyCursor(bool busy) override {
        busyCursor = busy;
        record("setBusyCursor", busy);
    }
    void RefreshTargetPanel(std::uint8_t position, std::uint8_t continent,
                            std::uint8_t region) override {
        record("RefreshTargetPanel(" + std::to_string(position) + "," + std::to_string(continent) +
               "," + std::to_string(region) + ")");
    }
    void showAcknowledgedChange(std::uint8_t code) override {
        record("showAcknowledgedChange", code);
    }
    void refreshAfterDownload() override { record("refreshAfterDownload()"); }
    void showRegionGps(std::uint8_t continent, std::uint8_t region) override {
        record("showRegionGps(" + std::to_string(continent) + "," + std::to_string(region) + ")");
    }
    void showCurrentPosition(const std::string& az, const std::string& el,
                             const std::string& skew) override {
        record("showCurrentPosition(" + az + "," + el + "," + skew + ")");
    }
    void setDiagnosisButtonCaption(const std::string& caption) override {
        record("setDiagnosisButtonCaption(" + caption + ")");
    }
    void OpenProgress(ProgressPopup popup, std::uint32_t total) override {
        record("OpenProgress(" + name(popup) + "," + std::to_string(total) + ")");
    }
    void StepProgress(ProgressPopup popup, std::uint32_t count,
                      const std::string& percent) override {
        record("StepProgress(" + name(popup) + "," + std::to_string(count) + "," + percent + ")");
    }
    void CloseProgress(ProgressPopup popup) override {
        record("CloseProgress(" + name(popup) + ")");
    }
    void SwitchPage() override { record("SwitchPage()"); }
    void ShowLcdDataInEditor() override { record("ShowLcdDataInEditor()"); }
    void TakeLcdDataFromEditor() override { record("TakeLcdDataFromEditor()"); }
    int ScanAndConnect() override {
        record("ScanAndConnect()");
        return scanResult;
    }
    void skipSilentPort() override { record("skipSilentPort()"); }

    // The calls whose text starts with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        }
        return found;
    }

    std::vector<std::string> calls;
    int continentSelection = -1;
    int regionSelection = -1;
    int scanResult = 0;
    bool confirmAnswer = true;
    bool busyCursor = false;
    std::function<void(const std::string&)> onMessageBox;
    std::function<void()> onConfirm;  // runs while the question is open

private:
    static std::string name(ProgressPopup popup) {
        return popup == ProgressPopup::Load ? "Load" : "Update";
    }
    void record(const std::string& call) { calls.push_back(call); }
    void record(const char* what, long long value) {
        calls.push_back(std::string(what) + "(" + std::to_string(value) + ")");
    }
};
