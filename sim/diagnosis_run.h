#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "acu_replies.h"

// The self test: after command 21 the unit reports each item as under test (reply 22), then
// its result (reply 23), one report per step, and finally reply 22 with item 11 for "all
// done". Command 24 ends it at any point.
class DiagnosisRun {
public:
    static constexpr std::uint8_t kAllDone = 11;
    static constexpr std::uint8_t kSkewItem = 7;
    static constexpr std::uint8_t kPass = 'P';

    struct Settings {
        // Long enough for a person to watch each lamp turn green, then blue or red.
        std::chrono::microseconds step{std::chrono::milliseconds{500}};
        std::uint8_t failingItem = 0;  // 1..10; 0 lets every item pass
        std::uint8_t failResult = 'F';
    };

    DiagnosisRun(ReplySink& out, const Settings& settings) : m_Out(out), m_Settings(settings) {}

    // Starts over from item 1; the first report follows one step after now.
    void start(std::chrono::microseconds now, bool withSkewTest);
    void stop() { m_Reports.clear(); }

    bool running() const { return m_Next < m_Reports.size(); }
    std::optional<std::chrono::microseconds> nextDue() const;
    // Sends the report that is due.
    void fire();

private:
    struct Report {
        std::uint8_t item;
        bool result;  // reply 23 rather than 22
    };

    ReplySink& m_Out;
    const Settings& m_Settings;
    std::vector<Report> m_Reports;
    std::size_t m_Next = 0;
    std::chrono::microseconds m_NextDue{0};
};
