#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "wire/frame_assembler.h"

struct LinkState;

// What this session did to the ACU and what went wrong on the line, kept for the service
// report. The controller feeds it as it sends, receives and times out; nothing here sends.

using WallClock = std::chrono::system_clock;

// "2026-12-07T14:03:09.250+01:00": local time to the millisecond, with the zone's offset, as
// every JSON document of Skyrelay gives a time.
std::string rfc3339(WallClock::time_point at);

// One command that changed the ACU's configuration, with what it carried.
struct SessionChange {
    WallClock::time_point at;
    std::uint8_t code = 0;  // the command that started it
    std::string what;       // the button's caption
    std::string details;
    bool acknowledged = false;
};

// One kind of trouble; a repeat right after it is counted rather than listed again.
struct SessionFault {
    WallClock::time_point first;
    WallClock::time_point last;
    std::string what;
    std::uint64_t count = 0;
};

class SessionLog {
public:
    // The .sif file the default data came from, named in the upload's entry.
    void setDefaultDataFile(std::string name) { m_DefaultDataFile = std::move(name); }

    // A command went out for the first time (re-sends by its timer are not new commands);
    // state holds what it carried.
    void commandSent(std::uint8_t code, const LinkState& state);
    // A sound reply arrived: it may acknowledge a change or report the self test or the LCD.
    void replyReceived(std::span<const std::uint8_t> payload);
    // Timer id expired without its reply.
    void commandTimedOut(int id);
    void hungUp(const std::string& portName);
    void bytesDropped(std::size_t count);
    // After each received byte: counts what the frame assembly threw away.
    void assembled(FrameAssembler::Result result, const FrameAssembler& assembler) {
        if (result == FrameAssembler::Result::Dropped) bytesDropped(assembler.rejected().size());
        if (result == FrameAssembler::Result::Pending && assembler.pending() == 0) bytesDropped(1);
    }

    const std::vector<SessionChange>& changes() const { return m_Changes; }
    const std::vector<SessionFault>& faults() const { return m_Faults; }
    // When the last self-test item result came in; nothing when none ran this session.
    std::optional<WallClock::time_point> selfTestTime() const { return m_SelfTest; }
    // When the LCD texts were last read from or written into the ACU.
    std::optional<WallClock::time_point> lcdTransferTime() const { return m_LcdTransfer; }
    bool lcdTransferWritten() const { return m_LcdWritten; }

private:
    static WallClock::time_point now() { return WallClock::now(); }
    void fault(std::string what, std::uint64_t count);

    std::string m_DefaultDataFile;
    std::vector<SessionChange> m_Changes;
    std::vector<SessionFault> m_Faults;
    std::optional<WallClock::time_point> m_SelfTest;
    std::optional<WallClock::time_point> m_LcdTransfer;
    bool m_LcdWritten = false;
};

// "2026-12-07 14:03:21" in local time.
std::string wallTimeText(WallClock::time_point at);
