#include "cli/output.h"

#include <iostream>

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
