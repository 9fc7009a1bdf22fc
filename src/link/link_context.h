#pragma once

#include <chrono>
#include <cstdint>

#include "link/command_builder.h"

class ControllerView;
class OutcomeTracker;
struct LinkState;

// What an exchange needs from the controller to take its next step: the state, sending a
// command, its timers, the wait cursor, the screen and the outcomes. The exchanges of each
// subsystem (upload, LCD transfer, diagnosis) depend on this rather than on the controller.
class LinkContext {
public:
    virtual ~LinkContext() = default;
    virtual LinkState& linkState() = 0;
    // Sends command and (re)starts the timer of its code with period: what every sender does.
    virtual void sendAndStart(const Command& command, std::chrono::milliseconds period) = 0;
    // The next step of a chain, built from the state as it stands now.
    void sendStep(std::uint8_t code, std::chrono::milliseconds period) {
        sendAndStart(BuildCommand(code, linkState()), period);
    }
    virtual void startTimer(int id, std::chrono::milliseconds period) = 0;
    virtual void stopTimer(int id) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual ControllerView& view() = 0;
    virtual OutcomeTracker& outcomes() = 0;
};
