#pragma once

#include <chrono>
#include <cstdint>

#include "acu_state.h"

// The antenna's axes and its search for the target satellite. After a restart or a target
// change it initialises, then searches while the axes slew towards the satellite's look
// angles, then tracks once it points at it; in setup mode it holds or goes where the move
// commands send it. The signal level follows how well the dish points at the target.
class AntennaMotion {
public:
    struct Settings {
        std::chrono::microseconds initializeTime{std::chrono::seconds{2}};
        // Even a dish already on the satellite spends this long searching, so a program
        // polling once a second sees every state.
        std::chrono::microseconds minimumSearchTime{std::chrono::seconds{1}};
        double azRate = 30.0;  // degrees per second
        double elRate = 15.0;
        double skewRate = 20.0;
        // The level drifts this far either side of what the pointing gives, slowly, as rain
        // and the vessel's motion make it (0: it holds still). The phase tells units apart.
        std::uint16_t signalWander = 0;
        double wanderPhase = 0.0;
    };

    static constexpr std::uint16_t kNoiseFloor = 180;
    static constexpr std::uint16_t kLockedLevel = 820;
    // Degrees off the satellite at which the level is down to the noise floor.
    static constexpr double kBeamWidth = 2.0;
    // Close enough to call it pointing at the satellite.
    static constexpr double kOnTarget = 0.05;

    AntennaMotion(AcuState& state, const Settings& settings)
        : m_State(state), m_Settings(settings) {}

    // The dish points at its target and tracks it, as after a completed search.
    void settleOnTarget();
    // Antenna restart and target change: initialise, search, track.
    void restart();
    // Setup mode: the axes stop where they are and wait for move commands.
    void enterSetup();
    // The self test holds the axes; its end leaves the unit stopped in setup mode.
    void enterDiagnosis();
    void leaveDiagnosis();
    // Move commands: each sets the axes it names. Only heeded in setup mode, where nothing
    // else drives the axes.
    void moveTo(const AntennaAngles& target, bool az, bool el, bool skew);

    void step(std::chrono::microseconds elapsed);

    // The look angles of the current target satellite from the GPS position.
    AntennaAngles satelliteAngles() const;

private:
    bool drivenByTracking() const;
    void slew(double seconds);
    void updateSignal();

    AcuState& m_State;
    const Settings& m_Settings;
    std::chrono::microseconds m_PhaseTime{0};
    std::chrono::microseconds m_Clock{0};  // since the unit started, for the wander
};
