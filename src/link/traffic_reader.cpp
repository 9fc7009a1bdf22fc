#include "link/traffic_reader.h"

#include <charconv>
#include <string_view>

#include "wire/frame.h"
#include "wire/protocol.h"

namespace {

constexpr std::string_view kCsvHeader = "time_ms,direction,code,meaning,hex";
constexpr std::string_view kHexMark = " | ";
constexpr std::size_t kDirectionWidth = 6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes the leading digits of text as a number; false when there are none or too many.
bool takeNumber(std::string_view& text, std::uint64_t& value, std::size_t& digits) {
    digits = 0;
    while (digits < text.size() && isDigit(text[digits])) ++digits;
    if (digits == 0 || digits > 12) return false;
    std::from_chars(text.data(), text.data() + digits, value);
    text.remove_prefix(digits);
    return true;
}

bool takeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "02 01 0E 0F 03" into entry's bytes; "" or what is wrong.
std::string readHex(std::string_view hex, TrafficEntry& entry) {
    entry.size = 0;
    for (std::size_t at = 0; at < hex.size(); at += 3) {
        if (entry.size == kMaxFrameSize) return "more bytes than the longest frame";
        const int high = hexDigit(hex[at]);
        const int low = at + 1 < hex.size() ? hexDigit(hex[at + 1]) : -1;
        if (high < 0 || low < 0 || (at + 2 < hex.size() && hex[at + 2] != ' ')) {
            // Built by appending: GCC 12 at -O3 takes "'" + std::string(...) for an
            // overlapping copy (-Wrestrict) and fails the optimised builds.
            std::string text = "'";
            text.append(hex.substr(at, 2));
            return text.append("' is not a byte in hex");
        }
        entry.data[entry.size++] = static_cast<std::uint8_t>(high * 16 + low);
    }
    if (entry.size == 0) return "no bytes after the '|'";
    return "";
}

bool soundFrame(const TrafficEntry& entry) {
    const auto bytes = entry.bytes();
    return bytes.size() >= kFrameOverhead && bytes[0] == kStx &&
           bytes.size() == bytes[1] + kFrameOverhead && bytes.back() == kEtx &&
           bytes[bytes.size() - 2] == frameChecksum(bytes.subspan(2, bytes[1]));
}

// One event line into entry; "" or what is wrong with it.
std::string readLine(std::string_view line, TrafficEntry& entry) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    std::uint64_t seconds = 0;
    std::uint64_t micros = 0;
    std::size_t digits = 0;
    if (!takeNumber(line, seconds, digits) || !takeChar(line, '.') ||
        !takeNumber(line, micros, digits) || digits != 6 || !takeChar(line, ' ')) {
        return "no time in seconds with six decimals at the start";
    }
    entry.at = std::chrono::microseconds{static_cast<std::int64_t>(seconds * 1'000'000 + micros)};

    const std::string_view direction = line.substr(0, kDirectionWidth);
    line.remove_prefix(direction.size());
    if (!takeChar(line, ' ') ||
        (direction != "PC>ACU" && direction != "ACU>PC" && direction != "------")) {
        return "no direction PC>ACU, ACU>PC or ------ after the time";
    }

    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    int code = -1;
    if (!takeChar(line, '-')) {
        std::uint64_t number = 0;
        if (!takeNumber(line, number, digits) || number > 255) return "no code 0..255 or '-'";
        code = static_cast<int>(number);
    }
    if (!takeChar(line, ' ') || line.empty()) return "no meaning after the code";

    const std::size_t mark = line.rfind(kHexMark);
    entry.size = 0;
    if (direction == "------") {
        if (code != -1 || mark != std::string_view::npos) return "a link marker with bytes";
        entry.kind = TrafficKind::LinkOpened;
        return "";
    }
    if (mark == std::string_view::npos) return "no bytes: the line has no ' | '";
    if (std::string error = readHex(line.substr(mark + kHexMark.size()), entry); !error.empty()) {
        return error;
    }
    if (direction == "ACU>PC" && code == -1) {
        entry.kind = TrafficKind::Discarded;
        return "";
    }
    if (code == -1 || entry.size < 3 || entry.data[2] != code) {
        return "the code column does not match the frame's third byte";
    }
    if (direction == "PC>ACU") {
        entry.kind = TrafficKind::Sent;
    } else {
        entry.kind = soundFrame(entry) ? TrafficKind::Received : TrafficKind::Rejected;
    }
    return "";
}

// A line that names the format: "" when it is ours, else the refusal.
std::string readFormatMark(std::string_view line) {
    line.remove_prefix(std::string_view(kTrafficFormatMark).size());
    std::uint64_t format = 0;
    std::size_t digits = 0;
    if (!takeNumber(line, format, digits) || !line.empty()) return "a format line without a number";
    if (format == static_cast<std::uint64_t>(kTrafficFormat)) return "";
    return "a recording in line format " + std::to_string(format) + "; this program reads format " +
           std::to_string(kTrafficFormat);
}

}  // namespace

TrafficReading readTrafficText(std::span<const std::uint8_t> text) {
    TrafficReading reading;
    const std::string_view all(reinterpret_cast<const char*>(text.data()), text.size());
    std::size_t number = 0;
    std::chrono::microseconds last{0};
    const auto refuse = [&reading, &number](std::string error) {
        reading.entries.clear();
        reading.errorLine = number;
        reading.error = std::move(error);
        return reading;
    };
    for (std::size_t begin = 0; begin < all.size();) {
        const std::size_t end = std::min(all.find('\n', begin), all.size());
        std::string_view line = all.substr(begin, end - begin);
        begin = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos) continue;
        if (line == kCsvHeader) {
            return refuse("the Traffic Monitor's CSV; save the monitor as text to replay it");
        }
        if (line.starts_with(kTrafficFormatMark)) {
            if (std::string error = readFormatMark(line); !error.empty()) return refuse(error);
            continue;
        }
        // Notes a person added to a recording.
        if (line.front() == '#') continue;
        TrafficEntry entry;
        if (std::string error = readLine(line, entry); !error.empty()) return refuse(error);
        // Times count from the last link opening, so only a new opening may start again.
        if (entry.kind != TrafficKind::LinkOpened && entry.at < last) {
            return refuse("the time goes back");
        }
        last = entry.at;
        reading.entries.push_back(entry);
    }
    return reading;
}
