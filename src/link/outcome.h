#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// What a caller asks the controller to do. Each operation started ends in exactly one Outcome,
// which the window shows (it already has, as a message), skyrelay-cli turns into its exit
// status and the exporter into a metric.
enum class Operation : std::uint8_t {
    Connect,             // the link check and the identification, from StartConnection
    AntennaInformation,  // the identification again, from "Get Antenna Information"
    Restart,
    SetupMode,
    TargetChange,
    FactoryReset,  // to its last progress report (reply 32)
    Upload,        // "Update Default Data", to its last record (reply 13)
    EditSatellite,
    LocalFrequency,
    Diseqc,
    DiagnosisStart,  // to reply 21: the self test started
    DiagnosisStop,   // to reply 24, when the user stopped the self test
    Diagnosis,       // the self test's run, to the stop that follows its last item
    GoToPosition,
    Step,
    Parameters,
    LcdWrite,  // to the last piece (reply 37)
    LcdRead,   // to the last piece (reply 42)
};
inline constexpr std::size_t kOperationCount = static_cast<std::size_t>(Operation::LcdRead) + 1;

enum class Ending : std::uint8_t {
    Done,        // the ACU answered as asked
    Refused,     // nothing was sent: see refusedBy
    Unanswered,  // the ACU stayed silent until the command was given up
    HungUp,      // the line went away meanwhile
    Cancelled,   // the user said no, or closed the link
};

enum class RefusedBy : std::uint8_t {
    None,
    Arguments,  // a number the line cannot carry, nothing selected, no default data loaded
    SetupGate,  // the ACU is not in setup mode
    Link,       // no link is open
};

struct Outcome {
    Operation operation = Operation::Connect;
    Ending ending = Ending::Done;
    // Refused: by what, and the message shown for it (empty where the window shows none, as
    // for a button pressed without a link).
    RefusedBy refusedBy = RefusedBy::None;
    std::string reason;
    // Done: the reply that ended it. Unanswered: the command that went unanswered, or the
    // reply that stopped coming (31, a factory reset's progress; sends is then 0).
    std::uint8_t code = 0;
    // Done: what the ACU reported beyond its code: the records it acknowledged (Upload), the
    // progress total (FactoryReset), the lamp word (Diagnosis), its state (SetupMode).
    std::uint32_t value = 0;
    // Unanswered: how often the command went out, and how long its answer was waited for.
    std::uint32_t sends = 0;
    std::chrono::milliseconds waited{0};
};

// "Go to position", as a log or a command line names the operation.
const char* operationName(Operation operation);

// Which operations are under way, and the one listener told how each ends. A reply that comes
// when its operation is not under way (late, or unasked) ends nothing.
class OutcomeTracker {
public:
    using Listener = std::function<void(const Outcome&)>;

    void setListener(Listener listener) { m_Listener = std::move(listener); }
    void begin(Operation operation) { m_Pending |= bit(operation); }
    bool pending(Operation operation) const { return (m_Pending & bit(operation)) != 0; }
    // Ends outcome.operation when it is under way.
    void end(const Outcome& outcome);
    // Reports an operation that ended before it began (a refusal, a question answered no).
    void report(const Outcome& outcome);
    // Every operation under way ends so (the line went away, or was closed).
    void endAll(Ending ending);
    // The usual ends of an operation under way.
    void done(Operation operation, std::uint8_t reply, std::uint32_t value = 0);
    void unanswered(Operation operation, std::uint8_t code, std::uint32_t sends,
                    std::chrono::milliseconds waited);

private:
    static std::uint32_t bit(Operation operation) { return 1u << static_cast<unsigned>(operation); }

    std::uint32_t m_Pending = 0;
    Listener m_Listener;
};
