#include "cli/output.h"

#include <iostream>

namespace {

void appendLatin1(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string latin1ToUtf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) appendLatin1(out, c & 0xFFu);
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (char c : bytes) appendLatin1(out, static_cast<unsigned char>(c));
    return out;
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

nlohmann::json signedDegrees(double degrees, char hemisphere, char negative) {
    if (hemisphere == 0) return nullptr;
    return hemisphere == negative ? -degrees : degrees;
}

nlohmann::json parametersJson(const AntennaParameters& p) {
    return {{"tracking_scale", p.ParTrackingScale}, {"detect_level", p.ParDetectLevel},
            {"tracking_level", p.ParTrackingLevel}, {"el_adjust", p.ParElAdjust},
            {"skew_adjust", p.ParSkewAdjust},       {"signal_lost_time", p.ParSignalLostTime},
            {"break_time", p.ParBreakTime}};
}

void printJson(const nlohmann::json& document, bool oneLine) {
    // A byte from the ACU that is not text must not end the program: it shows as U+FFFD.
    std::cout << document.dump(oneLine ? -1 : 2, ' ', false,
                               nlohmann::json::error_handler_t::replace)
              << std::endl;
}
