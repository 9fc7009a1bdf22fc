#pragma once

#include <chrono>
#include <span>

#include "acu_replies.h"
#include "acu_state.h"
#include "antenna_motion.h"
#include "diagnosis_run.h"
#include "factory_reset.h"

// What the unit does with each command: change its state, start a sequence, and answer.
// A command too short for its layout is dropped unanswered, as a unit would drop a frame it
// cannot make sense of; the program's timer then repeats it where it repeats anything.
class CommandProcessor {
public:
    CommandProcessor(AcuState& state, AntennaMotion& motion, DiagnosisRun& diagnosis,
                     FactoryReset& factory, ReplySink& out)
        : m_State(state),
          m_Motion(motion),
          m_Diagnosis(diagnosis),
          m_Factory(factory),
          m_Out(out) {}

    // payload: the code byte first.
    void handle(std::span<const std::uint8_t> payload, std::chrono::microseconds now);

private:
    void regionSatellite(std::span<const std::uint8_t> payload);
    void targetChange(std::span<const std::uint8_t> payload);
    void editSatellite(std::span<const std::uint8_t> payload);
    void setLocalFrequency(std::span<const std::uint8_t> payload);
    void setDiseqc(std::span<const std::uint8_t> payload);
    void move(std::span<const std::uint8_t> payload);
    void setParameters(std::span<const std::uint8_t> payload);
    void lcdWrite(std::span<const std::uint8_t> payload);
    void startDiagnosis(std::chrono::microseconds now);
    void stopDiagnosis();

    void acknowledge(std::uint8_t code) { m_Out.sendReply(acknowledgeReply(code)); }

    AcuState& m_State;
    AntennaMotion& m_Motion;
    DiagnosisRun& m_Diagnosis;
    FactoryReset& m_Factory;
    ReplySink& m_Out;
};
