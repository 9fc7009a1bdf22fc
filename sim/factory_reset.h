#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "acu_replies.h"

// Command 30: the unit announces how much work the reset is (reply 30), reports its progress
// with rising positions (replies 31), restores its defaults and says it is done (reply 32).
class FactoryReset {
public:
    struct Settings {
        std::chrono::microseconds step{std::chrono::milliseconds{200}};
        std::uint16_t total = 100;
        std::uint16_t stride = 5;
    };

    // restoreDefaults runs just before reply 32, so anything asked after it sees the defaults.
    FactoryReset(ReplySink& out, const Settings& settings, std::function<void()> restoreDefaults)
        : m_Out(out), m_Settings(settings), m_RestoreDefaults(std::move(restoreDefaults)) {}

    // Replies 30 at once. A repeated command 30 (its reply was lost) only repeats reply 30.
    void start(std::chrono::microseconds now);

    bool running() const { return m_Running; }
    std::optional<std::chrono::microseconds> nextDue() const;
    void fire();

private:
    ReplySink& m_Out;
    const Settings& m_Settings;
    std::function<void()> m_RestoreDefaults;
    bool m_Running = false;
    std::uint16_t m_Total = 0;
    std::uint16_t m_Position = 0;
    std::chrono::microseconds m_NextDue{0};
};
