#include "link/diagnosis_exchange.h"

#include "link/controller_view.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "link/outcome.h"
#include "wire/protocol.h"

namespace {

constexpr std::uint8_t kLastItem = 10;
constexpr std::uint8_t kEndOfTestItem = 11;
constexpr std::uint8_t kSkewItem = 7;
constexpr std::uint8_t kStopState = 6;
constexpr std::uint32_t kUnderTest = 1;
constexpr std::uint32_t kPassed = 2;
constexpr std::uint32_t kFailed = 3;

unsigned fieldShift(std::uint8_t item) {
    return 20u - 2u * item;
}

}  // namespace

bool diagnosisItemSkipped(const ProductInformation& product, std::uint8_t item) {
    return item == kSkewItem && (product.AntennaModel == 1 || product.SkewlessFlag == 1);
}

bool DiagnosisExchange::onReply(std::span<const std::uint8_t> payload) {
    LinkState& state = m_Link.linkState();
    switch (payload[0]) {
        case cmd::DiagnosisStart:
            state.antenna.DiagLamps = 0;
            m_Link.stopTimer(cmd::DiagnosisStart);
            m_Link.outcomes().done(Operation::DiagnosisStart, cmd::DiagnosisStart);
            return true;
        case cmd::DiagnosisItem:
            itemUnderTest(payload[1]);
            return true;
        case cmd::DiagnosisResult:
            itemResult(payload[1], payload[2]);
            return true;
        case cmd::DiagnosisStop:
            m_Link.stopTimer(cmd::DiagnosisStop);
            state.DiagIdle = 1;
            state.StateLamps = kStopState;
            m_Link.view().stateChanged(changed::DiagnosisCaption | changed::StateLamps);
            m_Link.outcomes().done(Operation::DiagnosisStop, cmd::DiagnosisStop);
            m_Link.outcomes().done(Operation::Diagnosis, cmd::DiagnosisStop,
                                   state.antenna.DiagLamps);
            return true;
        default:
            return false;
    }
}

void DiagnosisExchange::itemUnderTest(std::uint8_t item) {
    LinkState& state = m_Link.linkState();
    if (diagnosisItemSkipped(state.product, item)) return;
    if (item >= 1 && item <= kLastItem) state.antenna.DiagLamps |= kUnderTest << fieldShift(item);
    if (item == kEndOfTestItem) m_Link.sendStep(cmd::DiagnosisStop, kChainPeriod);
    m_Link.view().stateChanged(changed::DiagLamps);
}

void DiagnosisExchange::itemResult(std::uint8_t item, std::uint8_t result) {
    LinkState& state = m_Link.linkState();
    if (diagnosisItemSkipped(state.product, item)) return;
    if (item >= 1 && item <= kLastItem) {
        const unsigned shift = fieldShift(item);
        const std::uint32_t value = result == 'P' ? kPassed : kFailed;
        std::uint32_t& lamps = state.antenna.DiagLamps;
        lamps = (lamps & ~(3u << shift)) | (value << shift);
    }
    m_Link.view().stateChanged(changed::DiagLamps);
}
