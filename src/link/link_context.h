#pragma once

#include <chrono>
#include <cstdint>

class ControllerView;

// What an exchange needs from the controller to take its next step: send a command, run its
// timers, show the wait cursor, reach the screen. The exchanges of each subsystem (upload,
// LCD transfer, diagnosis) depend on this rather than on the controller itself.
class LinkContext {
public:
    virtual ~LinkContext() = default;
    virtual void SendCommand(std::uint8_t code) = 0;
    // Sends code and (re)starts timer code with period: what every sender does.
    virtual void sendAndStart(std::uint8_t code, std::chrono::milliseconds period) = 0;
    virtual void startTimer(int id, std::chrono::milliseconds period) = 0;
    virtual void stopTimer(int id) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual ControllerView& view() = 0;
};
