#include "wire/display_text.h"

#include <cstdarg>
#include <cstdio>

std::string formatText(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length) < sizeof buffer
                                   ? static_cast<std::size_t>(length)
                                   : sizeof buffer - 1);
}

std::string progressPercentText(std::uint32_t count, std::uint32_t total) {
    if (total == 0) return "0";
    const std::uint32_t percent = count * 100u / total;
    return formatText("%d", static_cast<int>(percent));
}

std::string positionText(double degrees) {
    return formatText("%2.2f", degrees);
}

std::string lostChainReplyText(std::uint8_t code, std::uint32_t index, std::uint32_t count) {
    const std::string what =
        code == 3 ? std::string("current region")
                  : formatText("satellite %u of %u", static_cast<unsigned>(index) + 1u,
                               static_cast<unsigned>(count));
    return formatText("No valid answer to command %u (%s) came from the ACU.", code, what.c_str()) +
           "\r\nPress \"Get Antenna Information\" to try again.";
}

namespace {

const std::string kHangupTail = " was disconnected.\r\nCheck the cable and the serial adapter.";
const std::string kServerHangupTail =
    " was disconnected.\r\nCheck the serial server and the link to it; Skyrelay connects "
    "again when it answers.";
const std::string kQueueFull = "m_QueueRead FULL!";

}  // namespace

std::string hangupText(const std::string& portName, bool questionVoided) {
    // A serial server's address (scheme://...) has no cable or adapter at this end to check.
    const bool server = portName.find("://") != std::string::npos;
    return portName + (server ? kServerHangupTail : kHangupTail) +
           (questionVoided ? "\r\nThe open question was closed unanswered: nothing was sent." : "");
}

std::string hangupNoticeText(const std::string& portName, bool questionVoided) {
    const bool server = portName.find("://") != std::string::npos;
    return portName + " was disconnected. Skyrelay connects again by itself as soon as " +
           (server ? "the serial server answers; meanwhile check it and the link to it."
                   : "the port is back; meanwhile check the cable and the serial adapter.") +
           (questionVoided ? " The open question was closed unanswered: nothing was sent." : "");
}

std::string awaitedDevicesNoticeText(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return "Waiting for " + list + ", named at start-up: Skyrelay connects as soon as " +
           (names.size() == 1 ? "it appears" : "one appears") + ", and opens no other port.";
}

std::string unansweredCommandText(std::uint8_t code, const std::string& name,
                                  std::chrono::seconds limit) {
    return formatText("No answer to command %u (%s) came from the ACU in %lld seconds.", code,
                      name.c_str(), static_cast<long long>(limit.count())) +
           "\r\nIt is no longer sent. Check the ACU and try again.";
}

std::string queueFullText(std::uint64_t dropped) {
    return kQueueFull + formatText("\r\n%llu bytes dropped since the port was opened.",
                                   static_cast<unsigned long long>(dropped));
}

std::string messageKind(const std::string& text) {
    if (text.find(kHangupTail) != std::string::npos) return kHangupTail;
    if (text.rfind(kQueueFull, 0) == 0) return kQueueFull;
    return text;
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::optional<std::string> codeText(std::uint8_t code, std::initializer_list<const char*> texts) {
    if (code >= texts.size()) return std::nullopt;
    return std::string(texts.begin()[code]);
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string withoutSpacesAround(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string tabsAsSpaces(std::string text) {
    for (char& c : text) c = c == '\t' ? ' ' : c;
    return text;
}

namespace {

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string latin1ToUtf8(std::u16string_view text) {
    std::string out;
    for (const char16_t unit : text)
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string utf8Text(std::u16string_view text) {
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return latin1ToUtf8(text);
}
