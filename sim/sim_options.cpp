#include "sim_options.h"

#include <charconv>
#include <functional>
#include <map>
#include <type_traits>

#include "fleet_units.h"
#include "wire/protocol.h"

namespace {

bool parseNumber(const std::string& text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    return failure == std::errc{} && stop == end && value >= low && value <= high;
}

bool parseMs(const std::string& text, std::chrono::milliseconds& value) {
    long long number = 0;
    if (!parseNumber(text, 0, 24LL * 3600 * 1000, number)) return false;
    value = std::chrono::milliseconds{number};
    return true;
}

// "CODE" or "CODE:K"; K left out means every one.
bool parseCodeCount(const std::string& text, std::uint8_t& code, std::uint32_t& count) {
    const std::size_t colon = text.find(':');
    long long number = 0;
    if (!parseNumber(text.substr(0, colon), 1, cmd::Last, number)) return false;
    code = static_cast<std::uint8_t>(number);
    count = SimFaults::kEvery;
    if (colon == std::string::npos) return true;
    if (!parseNumber(text.substr(colon + 1), 1, 1'000'000, number)) return false;
    count = static_cast<std::uint32_t>(number);
    return true;
}

bool parseOffsets(const std::string& text, std::vector<std::size_t>& offsets) {
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t comma = std::min(text.find(',', begin), text.size());
        long long number = 0;
        if (!parseNumber(text.substr(begin, comma - begin), 1, 258, number)) return false;
        offsets.push_back(static_cast<std::size_t>(number));
        begin = comma + 1;
    }
    return !offsets.empty();
}

using Handler = std::function<bool(const std::string&, SimOptions&)>;

struct Option {
    bool takesValue;
    Handler apply;
    const char* expected;  // what a bad value should have been, for the message
};

// The builders below take the field an option sets as a function from the options to the
// field's address, so the table stays about one line an option.

template <typename Field>
Option flag(Field field) {
    return {false, [field](const std::string&, SimOptions& o) { return *field(o) = true; }, ""};
}

// Number fields are optionals: absent means "leave the unit's own value".
template <typename Field>
Option number(Field field, long long low, long long high, const char* expected) {
    return {true,
            [=](const std::string& v, SimOptions& o) {
                long long n = 0;
                if (!parseNumber(v, low, high, n)) return false;
                using Target = typename std::remove_cvref_t<decltype(*field(o))>::value_type;
                *field(o) = static_cast<Target>(n);
                return true;
            },
            expected};
}

template <typename Field>
Option millis(Field field, long long lowest, const char* expected) {
    return {true,
            [=](const std::string& v, SimOptions& o) {
                std::chrono::milliseconds ms{};
                if (!parseMs(v, ms) || ms.count() < lowest) return false;
                *field(o) = ms;
                return true;
            },
            expected};
}

template <typename Field>
Option text(Field field, const char* expected) {
    return {true,
            [field](const std::string& v, SimOptions& o) {
                *field(o) = v;
                return !v.empty();
            },
            expected};
}

template <typename Counts>
Option codeCount(Counts counts, const char* expected) {
    return {true,
            [counts](const std::string& v, SimOptions& o) {
                std::uint8_t code = 0;
                std::uint32_t count = 0;
                if (!parseCodeCount(v, code, count)) return false;
                (*counts(o))[code] = count;
                return true;
            },
            expected};
}

const std::map<std::string, Option>& optionTable() {
    using O = SimOptions;
    static const std::map<std::string, Option> kTable = {
        {"--link", text([](O& o) { return &o.linkPath; }, "a path")},
        {"--log", text([](O& o) { return &o.logPath; }, "a file name")},
        {"--units", number([](O& o) { return &o.units; }, 1, kMaxFleetUnits, "a count 1..1000")},
        {"--type", number([](O& o) { return &o.antennaType; }, 0, 255, "a number 0..255")},
        {"--model", number([](O& o) { return &o.antennaModel; }, 0, 255, "a number 0..255")},
        {"--skewless", flag([](O& o) { return &o.skewless; })},
        {"--fail-item",
         number([](O& o) { return &o.failingItem; }, 1, kDiagnosisItems, "an item 1..10")},
        {"--diag-step",
         millis([](O& o) { return &o.settings.diagnosis.step; }, 1, "milliseconds above 0")},
        {"--factory-step",
         millis([](O& o) { return &o.settings.factory.step; }, 1, "milliseconds above 0")},
        {"--announce-after", millis([](O& o) { return &o.announceAfter; }, 0, "milliseconds")},
        {"--replay", text([](O& o) { return &o.replayPath; }, "a recording")},
        {"--replay-rest",
         {true,
          [](const std::string& v, O& o) {
              o.replay.rest = v == "silent" ? Replay::Rest::Silent : Replay::Rest::Model;
              return v == "model" || v == "silent";
          },
          "model or silent"}},
        {"--replay-fast", flag([](O& o) { return &o.replay.fast; })},
        {"--silent", flag([](O& o) { return &o.faults.silent; })},
        {"--ignore", codeCount([](O& o) { return &o.faults.ignore; }, "CODE or CODE:K")},
        {"--corrupt",
         {true,
          [](const std::string& v, O& o) {
              if (v == "all") return o.faults.corruptAll = true;
              return codeCount([](O& p) { return &p.faults.corrupt; }, "").apply(v, o);
          },
          "CODE, CODE:K or all"}},
        {"--garbage", flag([](O& o) { return &o.faults.garbage; })},
        {"--split",
         {true,
          [](const std::string& v, O& o) {
              o.faults.splitAt.clear();
              return parseOffsets(v, o.faults.splitAt);
          },
          "byte offsets 1..258, comma-separated"}},
        {"--split-gap", millis([](O& o) { return &o.faults.splitGap; }, 0, "milliseconds")},
        {"--delay", millis([](O& o) { return &o.faults.replyDelay; }, 0, "milliseconds")},
        {"--pace", flag([](O& o) { return &o.faults.pace; })},
        {"--hangup-after", millis([](O& o) { return &o.faults.hangupAfter; }, 0, "milliseconds")},
        {"--misstore",
         {true,
          [](const std::string& v, O& o) {
              long long n = 0;
              if (v.starts_with("satellite:") && parseNumber(v.substr(10), 1, 200, n)) {
                  o.faults.misstoreSatellite = static_cast<std::uint32_t>(n);
                  return true;
              }
              if (v.starts_with("lcd:") && parseNumber(v.substr(4), 0, 271, n)) {
                  o.faults.misstoreLcdByte = static_cast<std::size_t>(n);
                  return true;
              }
              return false;
          },
          "satellite:K (1..200) or lcd:N (0..271)"}},
        {"--hangup-after-frames", number([](O& o) { return &o.faults.hangupAfterFrames; }, 1,
                                         1'000'000'000, "a count from 1")},
    };
    return kTable;
}

}  // namespace

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name == "-h" || name == "--help") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto found = optionTable().find(name);
        if (found == optionTable().end()) {
            error = "unknown option '" + name + "'";
            return false;
        }
        const Option& option = found->second;
        if (!option.takesValue && value) {
            error = name + " takes no value";
            return false;
        }
        if (option.takesValue && !value) {
            if (i + 1 >= args.size()) {
                error = name + " needs " + option.expected;
                return false;
            }
            value = args[++i];
        }
        if (!option.apply(value.value_or(std::string{}), options)) {
            error = name + " needs " + option.expected + ", not '" + value.value_or("") + "'";
            return false;
        }
    }
    return true;
}

void applySimOptions(const SimOptions& options, AcuSimulator& acu) {
    acu.settings() = options.settings;
    acu.faults() = options.faults;
    ProductInfo& product = acu.state().product;
    if (options.antennaType) product.antennaType = *options.antennaType;
    if (options.antennaModel) product.antennaModel = *options.antennaModel;
    if (options.skewless) product.skewless = 1;
    if (options.failingItem) acu.settings().diagnosis.failingItem = *options.failingItem;
    acu.factoryState().product = product;
}

std::string simUsage() {
    return R"(Usage: skyrelay-acu-sim [options]

Serves a simulated antenna control unit (ACU) on a pseudo-terminal. The first line
written to standard output is the terminal's device path: open it in Skyrelay as the
serial port. The unit answers every command, runs the restart, diagnosis and factory
default sequences in real time, and stops on SIGINT or SIGTERM.

Options:
  --link PATH              also make PATH a symbolic link to the terminal; removed at exit
  --log FILE               one line per frame: seconds since start, PC>ACU or ACU>PC,
                           the code, the frame decoded, its bytes in hex (the lines
                           of Skyrelay's --trace and Traffic Monitor)
  --units N                serve a fleet of N units (1..1000) from this one process, each
                           with its own serial number, region, GPS position and a
                           signal that wanders; one terminal path a unit on standard
                           output, and --link P and --log P give P1 .. PN
  --type N                 antenna type in reply 2: 1 sub-reflector, 2 gyro sensor (2)
  --model N                antenna model in reply 2 (2); model 1 has no skew axis
  --skewless               report the skewless flag: no skew limit test
  --fail-item N            diagnosis item N (1..10) reports a failure
  --diag-step MS           time between two diagnosis reports (500)
  --factory-step MS        time between two factory default progress reports (200)
  --announce-after MS      send an unasked reply 6 after MS, which makes the program
                           send its default data (commands 7, 8, 9)

Replay:
  --replay FILE            play an ACU back from a recording: a trace (skyrelay --trace),
                           a Traffic Monitor saved as text or a --log. The k-th command
                           with code C gets what followed the k-th command with code C
                           in the recording, byte for byte: replies, rejected frames,
                           dropped bytes, and unasked frames (reply 6, the self-test
                           reports) at their recorded delay. At the end of the recording
                           it says how many commands it answered from it and names, in
                           hex, each one whose bytes differed from the recorded command
  --replay-rest WHAT       a command the recording does not hold: 'model' (default)
                           answers from the simulated unit and says so on stderr,
                           'silent' answers nothing
  --replay-fast            send everything at once instead of at the recorded delays

Faults:
  --silent                 no unit on the line: nothing is ever answered
  --ignore CODE[:K]        leave the next K commands with CODE unanswered (all of them
                           without K)
  --corrupt CODE[:K]       send the next K replies with CODE with a checksum one off (all
                           of them without K)
  --corrupt all            every reply with a checksum one off
  --garbage                noise bytes (no STX among them) before every reply
  --split N[,N...]         cut every reply at these byte offsets into separate writes
  --split-gap MS           pause between the pieces of a cut reply (5)
  --delay MS               hold every reply back MS milliseconds
  --pace                   send at the real line rate of 57600 baud 8N1, about 174 us a
                           byte (a pseudo-terminal has no baud rate of its own)
  --hangup-after MS        close the unit's end of the line MS after the start
  --hangup-after-frames K  close it right after the K-th frame received, unanswered
  --misstore satellite:K   store the first name byte of the K-th satellite record of an
                           upload (command 12) one too high, and acknowledge it as sound
  --misstore lcd:N         store byte N (0..271) of the LCD block (commands 33-37) one
                           too high, and acknowledge it as sound

  -h, --help               show this text
  --version                show the version and exit

Options that take a value accept --name VALUE and --name=VALUE. CODE is a command code
in decimal, 1..42.

Exit status: 0 after SIGINT, SIGTERM or a hang-up; 1 when the pseudo-terminal or the
link or log cannot be set up or the recording cannot be read (its line number is named);
2 on bad usage.
)";
}
