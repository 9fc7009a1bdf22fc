#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/controller_view.h"
#include "link/link_state.h"
#include "wire/display_text.h"

// A screen that writes down what it was asked to show, one line per call and one per part of
// the state named as changed, with what the state holds then, so a test can check what reached
// the user and in what order.
class RecorderView : public ControllerView, public PortScan {
public:
    void stateChanged(std::uint32_t what) override {
        const LinkState& s = *state;
        const auto shown = [&](std::uint32_t bit, const std::string& text) {
            if ((what & bit) != 0) calls.push_back(text);
        };
        const auto number = [](long long value) { return std::to_string(value); };
        shown(changed::Connection, "Connection(" + number(s.Connected) + ")");
        shown(changed::ConnectLamp, "ConnectLamp(" + number(s.ConnectLamp) + ")");
        shown(changed::StateLamps, "StateLamps(" + number(s.StateLamps) + ")");
        shown(changed::GpsLamps, "GpsLamps(" + number(s.antenna.GpsLinkState) + ")");
        shown(changed::DiagLamps, "DiagLamps(" + number(s.antenna.DiagLamps) + ")");
        shown(changed::BusyCursor, "BusyCursor(" + number(s.BusyCursor) + ")");
        shown(changed::TargetChoice,
              "TargetChoice(" + number(s.TargetChoice) + "," + number(s.TargetChangeEnabled) + ")");
        shown(changed::TargetPanel, "TargetPanel(" + number(s.data.DefaultSatIndex) + "," +
                                        number(s.data.CurContinent) + "," +
                                        number(s.data.CurRegion) + ")");
        shown(changed::RegionGps,
              "RegionGps(" + number(s.data.CurContinent) + "," + number(s.data.CurRegion) + ")");
        shown(changed::CurrentPosition, "CurrentPosition(" + positionText(s.antenna.CurrentAz) +
                                            "," + positionText(s.antenna.CurrentEl) + "," +
                                            positionText(s.antenna.CurrentSkew) + ")");
        shown(changed::DiagnosisCaption, "DiagIdle(" + number(s.DiagIdle) + ")");
        shown(changed::Downloaded, "Downloaded()");
        shown(changed::SatelliteAcknowledged, "SatelliteAcknowledged()");
        shown(changed::SettingAcknowledged, "SettingAcknowledged()");
        shown(changed::LcdData, "LcdData()");
        busyCursor = s.BusyCursor == 1;
    }
    void MessageBox(const std::string& text, MessageIcon icon) override {
        calls.push_back("MessageBox(" + text + (icon == MessageIcon::Exclamation ? ", !)" : ")"));
        if (onMessageBox) onMessageBox(text);
    }
    bool Confirm(const std::string& text, ConfirmButtons buttons) override {
        calls.push_back("Confirm(" + text +
                        (buttons == ConfirmButtons::YesNo ? ", YesNo)" : ", OkCancel)"));
        if (onConfirm) onConfirm();
        return confirmAnswer;
    }
    void closeQuestion() override { calls.push_back("closeQuestion()"); }
    void OpenProgress(ProgressPopup popup, std::uint32_t total) override {
        calls.push_back("OpenProgress(" + name(popup) + "," + std::to_string(total) + ")");
    }
    void StepProgress(ProgressPopup popup, std::uint32_t count,
                      const std::string& percent) override {
        calls.push_back("StepProgress(" + name(popup) + "," + std::to_string(count) + "," +
                        percent + ")");
    }
    void CloseProgress(ProgressPopup popup) override {
        calls.push_back("CloseProgress(" + name(popup) + ")");
    }
    int ScanAndConnect() override {
        calls.push_back("ScanAndConnect()");
        return scanResult;
    }
    void skipSilentPort() override { calls.push_back("skipSilentPort()"); }

    // The calls whose text starts with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        }
        return found;
    }

    const LinkState* state = nullptr;  // the controller's, read at each change
    std::vector<std::string> calls;
    int scanResult = 0;
    bool confirmAnswer = true;
    bool busyCursor = false;
    std::function<void(const std::string&)> onMessageBox;
    std::function<void()> onConfirm;  // runs while the question is open

private:
    static std::string name(ProgressPopup popup) {
        return popup == ProgressPopup::Load ? "Load" : "Update";
    }
};
