#include "command_processor.h"

#include "data/record_codec.h"
#include "default_data_intake.h"
#include "wire/encoding.h"
#include "wire/protocol.h"

void CommandProcessor::handle(std::span<const std::uint8_t> payload,
                              std::chrono::microseconds now) {
    if (payload.empty()) return;
    const std::uint8_t code = payload[0];
    switch (code) {
        case cmd::LinkCheck:
            m_Out.sendReply(linkCheckReply(m_State));
            break;
        case cmd::AntennaInformation:
            m_Out.sendReply(productReply(m_State));
            break;
        case cmd::CurrentRegion:
            m_Out.sendReply(currentRegionReply(m_State));
            break;
        case cmd::RegionSatellite:
            regionSatellite(payload);
            break;
        case cmd::RegionCountAnnouncement:
            if (takeAnnouncement(payload, m_State.chain)) acknowledge(code);
            break;
        case cmd::RegionRecord:
            if (takeRegionRecord(payload, m_State.chain)) acknowledge(code);
            break;
        case cmd::SatelliteRecord:
            if (takeSatelliteRecord(payload, m_State.chain)) acknowledge(code);
            break;
        case cmd::ChainEnd:
            m_State.chain.complete = true;
            applyReceivedDefaults(m_State.chain, m_State.current);
            acknowledge(code);
            break;
        case cmd::UploadStart:
            if (takeUploadHeader(payload, m_State.upload)) acknowledge(code);
            break;
        case cmd::UploadRegion:
            if (takeRegionRecord(payload, m_State.upload)) acknowledge(code);
            break;
        case cmd::UploadSatellite:
            if (takeSatelliteRecord(payload, m_State.upload)) acknowledge(code);
            break;
        case cmd::UploadEnd:
            m_State.upload.complete = true;
            applyReceivedDefaults(m_State.upload, m_State.current);
            acknowledge(code);
            break;
        case cmd::StatusPoll:
            m_Out.sendReply(statusReply(m_State));
            break;
        case cmd::AntennaRestart:
            m_Diagnosis.stop();
            m_Motion.restart();
            acknowledge(code);
            break;
        case cmd::SetupMode:
            m_Diagnosis.stop();
            m_Motion.enterSetup();
            m_Out.sendReply(setupModeReply(m_State));
            break;
        case cmd::TargetChange:
            targetChange(payload);
            break;
        case cmd::EditSatellite:
            editSatellite(payload);
            break;
        case cmd::SetLocalFrequency:
            setLocalFrequency(payload);
            break;
        case cmd::SetDiseqc:
            setDiseqc(payload);
            break;
        case cmd::DiagnosisStart:
            startDiagnosis(now);
            break;
        case cmd::DiagnosisStop:
            stopDiagnosis();
            break;
        case cmd::GoToPosition:
        case cmd::MoveAzimuth:
        case cmd::MoveElevation:
        case cmd::MoveSkew:
            move(payload);
            break;
        case cmd::SetParameters:
            setParameters(payload);
            break;
        case cmd::FactoryDefault:
            m_Factory.start(now);
            break;
        default:
            if (code >= cmd::LcdWriteFirst && code <= cmd::LcdWriteLast) {
                lcdWrite(payload);
            } else if (code >= cmd::LcdReadFirst && code <= cmd::LcdReadLast) {
                m_Out.sendReply(lcdReadReply(code, m_State.lcd));
            }
            // 0, 5, the reply-only codes and anything above 42 mean nothing to the unit.
            break;
    }
}

void CommandProcessor::regionSatellite(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2) return;
    const std::uint8_t index = payload[1];
    // An index past the list gets the first satellite, the entry the program stores it in.
    const std::size_t at = index < m_State.current.satelliteCount() ? index : 0;
    m_Out.sendReply(regionSatelliteReply(index, m_State.current.satellites[at]));
}

void CommandProcessor::targetChange(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2) return;
    // A position outside the list keeps the old target but still restarts the search.
    if (payload[1] < m_State.current.satelliteCount()) {
        m_State.current.record.defaultSatellite = payload[1];
    }
    m_Diagnosis.stop();
    m_Motion.restart();
    acknowledge(payload[0]);
}

void CommandProcessor::editSatellite(std::span<const std::uint8_t> payload) {
    PayloadReader in(payload.subspan(1));
    const std::uint8_t index = in.U8();
    const SatelliteRecord satellite = readSatelliteRecord(in);
    if (in.exhausted()) return;
    if (index < m_State.current.satelliteCount()) m_State.current.satellites[index] = satellite;
    acknowledge(payload[0]);
}

void CommandProcessor::setLocalFrequency(std::span<const std::uint8_t> payload) {
    PayloadReader in(payload.subspan(1));
    const std::uint8_t lnbType = in.U8();
    // Only a single-band LNB comes with its local frequency.
    const bool single = lnbType == static_cast<std::uint8_t>(LnbType::SingleBand);
    const std::uint16_t frequency = single ? in.BE16() : 0;
    if (in.exhausted()) return;
    m_State.current.record.lnbType = lnbType;
    if (single) m_State.current.record.singleLocalFreq = frequency;
    acknowledge(payload[0]);
}

void CommandProcessor::setDiseqc(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2) return;
    m_State.current.record.diseqcMode = payload[1];
    acknowledge(payload[0]);
}

void CommandProcessor::move(std::span<const std::uint8_t> payload) {
    const std::uint8_t code = payload[0];
    PayloadReader in(payload.subspan(1));
    AntennaAngles target;
    const bool az = code == cmd::GoToPosition || code == cmd::MoveAzimuth;
    const bool el = code == cmd::GoToPosition || code == cmd::MoveElevation;
    const bool skew = code == cmd::MoveSkew;
    if (az) target.az = in.SGN100();
    if (el) target.el = in.SGN100();
    if (skew) target.skew = in.SGN100();
    if (in.exhausted()) return;
    m_Motion.moveTo(target, az, el, skew);
    acknowledge(code);
}

void CommandProcessor::setParameters(std::span<const std::uint8_t> payload) {
    PayloadReader in(payload.subspan(1));
    ModelParams params;
    params.trackingScale = in.X100();
    params.detectLevel = in.BE16();
    params.trackingLevel = in.BE16();
    const double elAdjust = in.SGN100();
    const double skewAdjust = in.SGN100();
    const std::uint16_t signalLostTime = in.BE16();
    const std::uint16_t breakTime = in.BE16();
    if (in.exhausted()) return;

    // The unit keeps one triple per model; the one of its own model is what it was sent.
    RegionRecord& record = m_State.current.record;
    const std::uint8_t model = m_State.product.antennaModel;
    if (model >= 1 && model <= kModelParamSets) record.modelParams[model - 1] = params;
    record.elAdjust = elAdjust;
    record.skewAdjust = skewAdjust;
    record.signalLostTime = signalLostTime;
    record.breakTime = breakTime;
    acknowledge(payload[0]);
}

void CommandProcessor::lcdWrite(std::span<const std::uint8_t> payload) {
    const LcdPiece& piece = kLcdPieces[payload[0] - cmd::LcdWriteFirst];
    if (payload.size() < 1 + piece.size) return;
    for (std::size_t i = 0; i < piece.size; ++i) m_State.lcd[piece.offset + i] = payload[1 + i];
    acknowledge(payload[0]);
}

void CommandProcessor::startDiagnosis(std::chrono::microseconds now) {
    // A repeated start (its reply was lost) begins the run again; the program clears its
    // lamps with this reply anyway.
    m_Diagnosis.start(now, m_State.product.hasSkewTest());
    m_Motion.enterDiagnosis();
    acknowledge(cmd::DiagnosisStart);
}

void CommandProcessor::stopDiagnosis() {
    m_Diagnosis.stop();
    m_Motion.leaveDiagnosis();
    acknowledge(cmd::DiagnosisStop);
}
