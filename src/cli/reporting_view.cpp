#include "cli/reporting_view.h"

#include <unistd.h>

#include <iostream>

#include "link/link_state.h"
#include "wire/display_text.h"

namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string plainMessage(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = withoutSpacesAround(text.substr(start, end - start));
        if (!line.empty()) out += (out.empty() ? "" : "\n") + line;
        if (end == std::string::npos) return out;
        start = end + 2;
    }
}

std::string reasonText(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    const std::string lines = plainMessage(text) + "\n";
    for (std::size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = lines.substr(start, end - start);
        while (line.size() >= 3 && line.compare(line.size() - 3, 3, "!!!") == 0) {
            line = trimmed(line.substr(0, line.size() - 3));
        }
        if (!line.empty()) out += (out.empty() ? "" : "; ") + line;
    }
    return out;
}

ReportingView::ReportingView() : m_Bar(isatty(STDERR_FILENO) == 1) {}

void ReportingView::MessageBox(const std::string& text, MessageIcon) {
    lastMessage = plainMessage(text);
}

bool ReportingView::Confirm(const std::string&, ConfirmButtons) {
    return confirmAnswer;
}

void ReportingView::stateChanged(std::uint32_t what) {
    // Only a status reply reports the GPS lamps.
    if ((what & changed::GpsLamps) != 0) ++statusShown;
    if ((what & changed::DiagLamps) != 0 && m_State != nullptr) {
        ++progressEvents;
        if (onDiagnosisLamps) onDiagnosisLamps(m_State->antenna.DiagLamps);
    }
}

void ReportingView::OpenProgress(ProgressPopup, std::uint32_t total) {
    m_Total = total;
    ++progressEvents;
}

void ReportingView::StepProgress(ProgressPopup, std::uint32_t count, const std::string& percent) {
    ++progressEvents;
    if (!m_Bar || m_Total == 0) return;
    const auto filled = static_cast<int>(std::min<std::uint64_t>(
        kBarWidth, static_cast<std::uint64_t>(count) * kBarWidth / m_Total));
    std::cerr << "\rskyrelay-cli: [" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << percent
              << "% " << std::flush;
}

void ReportingView::CloseProgress(ProgressPopup) {
    ++progressEvents;
    if (m_Bar && m_Total != 0) std::cerr << "\n";
    m_Total = 0;
}
