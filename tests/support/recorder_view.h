#pragma once

#include <functional>
#include <initializer_list>
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
        // Each part in the order of its bit, its line made only when it is named.
        const auto shown = [&](std::uint32_t bit, const char* part, auto text) {
            if ((what & bit) != 0) calls.push_back(std::string(part) + "(" + text() + ")");
        };
        const auto numbers = [](std::initializer_list<long long> values) {
            return [values] {
                std::string text;
                for (long long v : values) {
                    if (!text.empty()) text += ',';
                    text += std::to_string(v);
                }
                return text;
            };
        };
        const auto none = [] { return std::string(); };
        shown(changed::Connection, "Connection", numbers({s.Connected}));
        shown(changed::ConnectLamp, "ConnectLamp", numbers({s.ConnectLamp}));
        shown(changed::StateLamps, "StateLamps", numbers({s.StateLamps}));
        shown(changed::GpsLamps, "GpsLamps", numbers({s.antenna.GpsLinkState}));
        shown(changed::DiagLamps, "DiagLamps", numbers({s.antenna.DiagLamps}));
        shown(changed::BusyCursor, "BusyCursor", numbers({s.BusyCursor}));
        shown(changed::TargetChoice, "TargetChoice",
              numbers({s.TargetChoice, s.TargetChangeEnabled}));
        shown(changed::TargetPanel, "TargetPanel",
              numbers({s.data.DefaultSatIndex, s.data.CurContinent, s.data.CurRegion}));
        shown(changed::RegionGps, "RegionGps", numbers({s.data.CurContinent, s.data.CurRegion}));
        shown(changed::CurrentPosition, "CurrentPosition", [&] {
            return positionText(s.antenna.CurrentAz) + "," + positionText(s.antenna.CurrentEl) +
                   "," + positionText(s.antenna.CurrentSkew);
        });
        shown(changed::DiagnosisCaption, "DiagIdle", numbers({s.DiagIdle}));
        shown(changed::Downloaded, "Downloaded", none);
        shown(changed::SatelliteAcknowledged, "SatelliteAcknowledged", none);
        shown(changed::SettingAcknowledged, "SettingAcknowledged", none);
        shown(changed::LcdData, "LcdData", none);
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
    void closeQuestion() override { calls.emplace_back("closeQuestion()"); }
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
        calls.emplace_back("ScanAndConnect()");
        return scanResult;
    }
    void skipSilentPort() override { calls.emplace_back("skipSilentPort()"); }

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
