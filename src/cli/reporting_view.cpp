#include "cli/reporting_view.h"

#include <unistd.h>

#include <iostream>

#include "data/satellite_tables.h"

namespace {

constexpr int kBarWidth = 30;

std::string trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string plainMessage(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = trimmed(text.substr(start, end - start));
        if (!line.empty()) out += (out.empty() ? "" : "\n") + line;
        if (end == std::string::npos) return out;
        start = end + 2;
    }
}

ReportingView::ReportingView() : m_Bar(isatty(STDERR_FILENO) == 1) {}

void ReportingView::MessageBox(const std::string& text, MessageIcon) {
    messages.push_back(text);
    std::cerr << "skyrelay-cli: " << plainMessage(text) << "\n";
}

bool ReportingView::Confirm(const std::string&, ConfirmButtons) {
    return confirmAnswer;
}

void ReportingView::DrawDiagLamps(std::uint32_t word) {
    ++progressEvents;
    if (onDiagnosisLamps) onDiagnosisLamps(word);
}

void ReportingView::RefreshTargetPanel(std::uint8_t position, std::uint8_t continent,
                                       std::uint8_t region) {
    targetPanel = targetPanelFor(position, continent, region);
    ++statusShown;
}

void ReportingView::refreshAfterDownload() {
    // As the window does after the download: the edit copy, LNB values and antenna
    // parameters come from the ACU's region.
    prepareEditCopy(g_CurContinent, g_CurRegion);
    ++chainsDone;
}

void ReportingView::showCurrentPosition(const std::string& azText, const std::string& elText,
                                        const std::string& skewText) {
    az = azText;
    el = elText;
    skew = skewText;
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
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << percent
              << "% " << std::flush;
}

void ReportingView::CloseProgress(ProgressPopup) {
    ++progressClosed;
    ++progressEvents;
    if (m_Bar && m_Total != 0) std::cerr << "\n";
    m_Total = 0;
}
