#include "diagnosis_run.h"

void DiagnosisRun::start(std::chrono::microseconds now, bool withSkewTest) {
    m_Reports.clear();
    for (std::uint8_t item = 1; item <= kAllDone - 1; ++item) {
        // A dish without a skew axis has no skew limit switch to check.
        if (item == kSkewItem && !withSkewTest) continue;
        m_Reports.push_back({item, false});
        m_Reports.push_back({item, true});
    }
    m_Reports.push_back({kAllDone, false});
    m_Next = 0;
    m_NextDue = now + m_Settings.step;
}

std::optional<std::chrono::microseconds> DiagnosisRun::nextDue() const {
    if (!running()) return std::nullopt;
    return m_NextDue;
}

void DiagnosisRun::fire() {
    if (!running()) return;
    const Report report = m_Reports[m_Next++];
    m_NextDue += m_Settings.step;
    if (!report.result) {
        m_Out.sendReply(diagnosisItemReply(report.item));
        return;
    }
    const bool fails = report.item == m_Settings.failingItem;
    m_Out.sendReply(diagnosisResultReply(report.item, fails ? m_Settings.failResult : kPass));
}
