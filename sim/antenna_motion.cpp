#include "antenna_motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "look_angles.h"

namespace {

double approach(double from, double to, double maxStep) {
    if (std::fabs(to - from) <= maxStep) return to;
    return to > from ? from + maxStep : from - maxStep;
}

}  // namespace

AntennaAngles AntennaMotion::satelliteAngles() const {
    return lookAngles(m_State.gps, m_State.current.target());
}

void AntennaMotion::settleOnTarget() {
    m_State.setupMode = false;
    m_State.mode = AntennaMode::Tracking;
    m_State.target = satelliteAngles();
    m_State.position = m_State.target;
    m_PhaseTime = std::chrono::microseconds{0};
    updateSignal();
}

void AntennaMotion::restart() {
    m_State.setupMode = false;
    m_State.mode = AntennaMode::Initialize;
    m_State.target = m_State.position;
    m_PhaseTime = std::chrono::microseconds{0};
    updateSignal();
}

void AntennaMotion::enterSetup() {
    m_State.setupMode = true;
    m_State.mode = AntennaMode::Stop;
    m_State.target = m_State.position;
    m_PhaseTime = std::chrono::microseconds{0};
}

void AntennaMotion::enterDiagnosis() {
    m_State.mode = AntennaMode::Diagnosis;
    m_State.target = m_State.position;
}

void AntennaMotion::leaveDiagnosis() {
    if (m_State.mode != AntennaMode::Diagnosis) return;
    m_State.mode = AntennaMode::Stop;
    m_State.setupMode = true;
}

void AntennaMotion::moveTo(const AntennaAngles& target, bool az, bool el, bool skew) {
    if (!m_State.setupMode || m_State.mode != AntennaMode::Stop) return;
    if (az) m_State.target.az = target.az;
    if (el) m_State.target.el = target.el;
    if (skew) m_State.target.skew = target.skew;
}

bool AntennaMotion::drivenByTracking() const {
    return m_State.mode == AntennaMode::Search || m_State.mode == AntennaMode::Tracking;
}

void AntennaMotion::step(std::chrono::microseconds elapsed) {
    m_PhaseTime += elapsed;
    m_Clock += elapsed;
    std::chrono::microseconds moving = elapsed;
    if (m_State.mode == AntennaMode::Initialize) {
        // The gyro is being set up: the axes hold still until it is done, and move only for
        // what is left of the step after that.
        if (m_PhaseTime < m_Settings.initializeTime) {
            updateSignal();
            return;
        }
        m_State.mode = AntennaMode::Search;
        m_PhaseTime -= m_Settings.initializeTime;
        moving = m_PhaseTime;
    }
    if (drivenByTracking()) m_State.target = satelliteAngles();
    // The self test drives its own checks and puts the axes back: seen from here they hold.
    if (m_State.mode != AntennaMode::Diagnosis) {
        slew(std::chrono::duration<double>(moving).count());
    }
    if (m_State.mode == AntennaMode::Search && m_PhaseTime >= m_Settings.minimumSearchTime) {
        const AntennaAngles& at = m_State.position;
        const AntennaAngles& want = m_State.target;
        if (std::fabs(at.az - want.az) <= kOnTarget && std::fabs(at.el - want.el) <= kOnTarget &&
            std::fabs(at.skew - want.skew) <= kOnTarget) {
            m_State.mode = AntennaMode::Tracking;
            m_PhaseTime = std::chrono::microseconds{0};
        }
    }
    updateSignal();
}

void AntennaMotion::slew(double seconds) {
    AntennaAngles& at = m_State.position;
    const AntennaAngles& want = m_State.target;
    at.az = approach(at.az, want.az, m_Settings.azRate * seconds);
    at.el = approach(at.el, want.el, m_Settings.elRate * seconds);
    at.skew = approach(at.skew, want.skew, m_Settings.skewRate * seconds);
}

void AntennaMotion::updateSignal() {
    if (m_State.mode == AntennaMode::Initialize) {
        // The tuner is not set up yet: nothing but noise.
        m_State.signalLevel = kNoiseFloor;
        return;
    }
    const AntennaAngles want = satelliteAngles();
    const AntennaAngles& at = m_State.position;
    // An azimuth error matters less the higher the dish looks.
    const double azError =
        std::fabs(at.az - want.az) * std::cos(want.el * std::numbers::pi / 180.0);
    const double error = std::max(azError, std::fabs(at.el - want.el));
    const double quality = std::clamp(1.0 - error / kBeamWidth, 0.0, 1.0);
    double level = kNoiseFloor + (kLockedLevel - kNoiseFloor) * quality;
    if (m_Settings.signalWander != 0) {
        // Two slow waves of unrelated periods: no repeating pattern within a test's minutes.
        const double t = std::chrono::duration<double>(m_Clock).count();
        const double phase = m_Settings.wanderPhase;
        const double drift = 0.6 * std::sin(2 * std::numbers::pi * t / 53.0 + phase) +
                             0.4 * std::sin(2 * std::numbers::pi * t / 11.0 + 2 * phase);
        level = std::max<double>(kNoiseFloor, level + m_Settings.signalWander * drift);
    }
    m_State.signalLevel = static_cast<std::uint16_t>(level);
}
