// How a command that took the ACU into setup mode leaves it: as it is, or tracking again.

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "link/controller.h"
#include "link/frame_text.h"
#include "link/link_state.h"
#include "wire/protocol.h"

namespace {

constexpr std::uint8_t kTracking = 4;  // "Satellite Tracking" among the state lamps
// A restart initialises the antenna and searches the sky before it tracks; a real unit may
// search for minutes, and past this one that finds nothing will not.
constexpr auto kTrackingLimit = std::chrono::minutes{5};

}  // namespace

void addResumeFlag(CLI::App& command, bool& resume) {
    command.add_flag("--resume", resume,
                     "At the end restart the antenna (15) and wait until it reports tracking; "
                     "without it the ACU stays in setup mode");
}

int leaveSetupMode(Session& session, bool resume, int result, ExitReport& out) {
    if (result != exitcode::Done && result != exitcode::Differs && result != exitcode::TestFailed) {
        return result;
    }
    if (!out.result().is_object()) out.result() = nlohmann::json::object();
    out.result()["resumed"] = false;
    out.result()["setup_mode"] = true;
    if (!resume) {
        out.say(
            "the ACU stays in setup mode and does not track; 'skyrelay-cli restart', or "
            "--resume next time, sets it tracking again");
        return result;
    }
    AcuController& acu = session.controller();
    acu.OnAntennaRestart();
    if (const int code = session.await(Operation::Restart); code != exitcode::Done) return code;
    out.result()["setup_mode"] = false;
    out.say("antenna restarted; waiting until it reports tracking");
    const auto deadline = std::chrono::steady_clock::now() + kTrackingLimit;
    while (acu.state().AntennaMode != kTracking) {
        if (std::chrono::steady_clock::now() > deadline) {
            return session.fail(exitcode::NoAnswer,
                                "the antenna did not report tracking within 5 minutes of the "
                                "restart (last: " +
                                    antennaStateText(acu.state().AntennaMode) + ")");
        }
        const int before = session.view().statusShown;
        if (const int code = session.waitFor([&] { return session.view().statusShown > before; },
                                             cmd::StatusPoll);
            code != exitcode::Done) {
            return code;
        }
    }
    out.result()["resumed"] = true;
    out.say("the antenna tracks again");
    return result;
}
