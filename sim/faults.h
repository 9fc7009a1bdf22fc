#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

// The ways the simulated unit can misbehave, for tests and for a person trying the program
// against a bad line. The simulator applies the first five; the transports (the in-memory
// link and the pseudo-terminal) apply the splitting, pacing and hang-up, since those are
// about how bytes travel rather than what the unit says.
struct SimFaults {
    // A count that never runs out.
    static constexpr std::uint32_t kEvery = std::numeric_limits<std::uint32_t>::max();
    // 10 bits a byte (start, 8 data, stop) at 57600 baud.
    static constexpr std::uint32_t kLineBaud = 57600;
    static constexpr std::uint32_t kBitsPerByte = 10;

    // No unit on the line: nothing received is looked at, nothing is ever sent.
    bool silent = false;
    // Command code -> how many more commands of that code to drop unanswered.
    std::map<std::uint8_t, std::uint32_t> ignore;
    // Reply code -> how many more replies of that code go out with a checksum one off.
    std::map<std::uint8_t, std::uint32_t> corrupt;
    bool corruptAll = false;
    // Line noise before every reply. No STX in it, so a sound frame after it still counts.
    bool garbage = false;
    std::vector<std::uint8_t> garbageBytes{0x00, 0xFF, 0x55, 0x03, 0xAA};
    // Every reply is held back this long before it goes out.
    std::chrono::microseconds replyDelay{0};

    // Byte offsets at which a reply is cut into separate writes, each piece splitGap after
    // the one before, so a reader really does see the pieces apart.
    std::vector<std::size_t> splitAt;
    std::chrono::microseconds splitGap{std::chrono::milliseconds{5}};
    // Bytes leave at the real line rate instead of all at once.
    bool pace = false;
    // The unit's end of the line goes away right after this many frames were received, or
    // this long after the start.
    std::optional<std::uint32_t> hangupAfterFrames;
    std::optional<std::chrono::microseconds> hangupAfter;
    // A unit with a bad memory cell: it stores one received byte one too high and
    // acknowledges as usual, so only reading back shows it. The first name byte of the K-th
    // satellite record of an upload (command 12, K from 1), and byte N of the LCD block.
    std::optional<std::uint32_t> misstoreSatellite;
    std::optional<std::size_t> misstoreLcdByte;

    void ignoreNext(std::uint8_t code, std::uint32_t count = 1) { ignore[code] = count; }
    void corruptNext(std::uint8_t code, std::uint32_t count = 1) { corrupt[code] = count; }

    // Uses up one of the counts above; true when this command or reply is the one to spoil.
    bool takeIgnore(std::uint8_t code) { return take(ignore, code); }
    bool takeCorrupt(std::uint8_t code) { return corruptAll || take(corrupt, code); }

    bool hangupDue(std::uint32_t framesReceived, std::chrono::microseconds now) const {
        return (hangupAfterFrames && framesReceived >= *hangupAfterFrames) ||
               (hangupAfter && now >= *hangupAfter);
    }

    // How long the wire needs for count bytes, rounded up to the microsecond.
    static std::chrono::microseconds wireTime(std::size_t count) {
        const std::uint64_t bits = static_cast<std::uint64_t>(count) * kBitsPerByte * 1'000'000;
        return std::chrono::microseconds{
            static_cast<std::int64_t>((bits + kLineBaud - 1) / kLineBaud)};
    }

private:
    static bool take(std::map<std::uint8_t, std::uint32_t>& counts, std::uint8_t code) {
        const auto it = counts.find(code);
        if (it == counts.end() || it->second == 0) return false;
        if (it->second != kEvery) --it->second;
        return true;
    }
};
