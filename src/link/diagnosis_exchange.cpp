#include "link/diagnosis_exchange.h"

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "link/controller_view.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "wire/protocol.h"

namespace {

constexpr std::uint8_t kLastItem = 10;
constexpr std::uint8_t kEndOfTestItem = 11;
constexpr std::uint8_t kSkewItem = 7;
constexpr std::uint32_t kUnderTest = 1;
constexpr std::uint32_t kPassed = 2;
constexpr std::uint32_t kFailed = 3;

unsigned fieldShift(std::uint8_t item) {
    return 20u - 2u * item;
}

}  // namespace

bool diagnosisItemSkipped(std::uint8_t item) {
    return item == kSkewItem && (g_AntennaModel == 1 || g_SkewlessFlag == 1);
}

bool DiagnosisExchange::onReply(std::span<const std::uint8_t> payload) {
    switch (payload[0]) {
        case cmd::DiagnosisStart:
            g_DiagLamps = 0;
            m_Link.stopTimer(cmd::DiagnosisStart);
            return true;
        case cmd::DiagnosisItem:
            itemUnderTest(payload[1]);
            return true;
        case cmd::DiagnosisResult:
            itemResult(payload[1], payload[2]);
            return true;
        case cmd::DiagnosisStop:
            m_Link.stopTimer(cmd::DiagnosisStop);
            g_DiagIdle = 1;
            m_Link.view().setDiagnosisButtonCaption("Diagnosis Start");
            m_Link.view().DrawStateLamps(6);
            return true;
        default:
            return false;
    }
}

void DiagnosisExchange::itemUnderTest(std::uint8_t item) {
    if (diagnosisItemSkipped(item)) return;
    if (item >= 1 && item <= kLastItem) g_DiagLamps |= kUnderTest << fieldShift(item);
    if (item == kEndOfTestItem) m_Link.sendAndStart(cmd::DiagnosisStop, kChainPeriod);
    m_Link.view().DrawDiagLamps(g_DiagLamps);
}

void DiagnosisExchange::itemResult(std::uint8_t item, std::uint8_t result) {
    if (diagnosisItemSkipped(item)) return;
    if (item >= 1 && item <= kLastItem) {
        const unsigned shift = fieldShift(item);
        const std::uint32_t value = result == 'P' ? kPassed : kFailed;
        g_DiagLamps = (g_DiagLamps & ~(3u << shift)) | (value << shift);
    }
    m_Link.view().DrawDiagLamps(g_DiagLamps);
}
