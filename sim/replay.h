#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "link/traffic.h"

// An ACU played back from a recording of a session (a trace, a saved Traffic Monitor or a
// --log). The k-th command with code c gets what followed the k-th command with code c in
// the recording, byte for byte: its replies, the frames the program rejected, the bytes it
// dropped, and the frames the unit sent by itself before the next command, each at its
// recorded delay after the line before it. So line faults and the self test's reports come
// back as the technician saw them.
class Replay {
public:
    enum class Rest { Model, Silent };  // what answers a command the recording does not hold
    struct Settings {
        Rest rest = Rest::Model;
        bool fast = false;  // every delay 0
    };
    struct Output {
        std::chrono::microseconds delay;  // after the output before it, or after the command
        TrafficKind kind;                 // Received, Rejected or Discarded
        std::vector<std::uint8_t> bytes;
    };
    enum class Verdict { Recorded, Model, Silent };
    using Notice = std::function<void(const std::string&)>;

    Replay(const std::vector<TrafficEntry>& entries, Settings settings);

    // Told what a person watching the unit should know: commands the recording does not
    // hold, and the summary once every recorded command was asked.
    void setNotice(Notice notice) { m_Notice = std::move(notice); }

    std::size_t recordedCommands() const { return m_Total; }
    // What the unit sent before the program's first command, timed from the start.
    const std::vector<Output>& opening() const { return m_Opening; }
    // Answers one sound command frame. Recorded: outputs holds what to send (possibly
    // nothing); a frame whose bytes differ from the recorded command is noted. Model: the
    // unit's own model is to answer. Silent: nothing is sent.
    Verdict answer(std::span<const std::uint8_t> frame, std::vector<Output>& outputs);

    std::size_t answered() const { return m_Answered; }
    std::size_t differed() const { return m_Differences.size(); }
    bool finished() const { return m_Answered == m_Total; }
    // How many commands were answered from the recording, how many differed (each named
    // with both frames in hex), and whether the recording was played to its end.
    std::string summary() const;

private:
    struct Command {
        std::vector<std::uint8_t> bytes;
        std::vector<Output> outputs;
    };
    struct Difference {
        std::uint8_t code;
        std::size_t occurrence;  // from 1
        std::vector<std::uint8_t> recorded;
        std::vector<std::uint8_t> received;
    };

    Settings m_Settings;
    Notice m_Notice;
    std::vector<Output> m_Opening;
    std::map<std::uint8_t, std::vector<Command>> m_Commands;
    std::map<std::uint8_t, std::size_t> m_Asked;
    std::set<std::uint8_t> m_BeyondNoted;
    std::vector<Difference> m_Differences;
    std::size_t m_Total = 0;
    std::size_t m_Answered = 0;
};
