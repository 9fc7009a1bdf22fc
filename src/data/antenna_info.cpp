#include "data/antenna_info.h"

#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "wire/display_text.h"
#include "wire/encoding.h"
#include "wire/number_text.h"

void resetAntennaInfo() {
    g_AntennaType = 0;
    g_AntennaModel = 0;
    g_SkewlessFlag = 0;
    g_ModelName.fill(0);
    g_SerialNumber.fill(0);
    g_AntSwVersion = 0.0;
    g_AcuSwVersion = 0.0;
    g_LibraryVersion = 0.0;
    g_AntennaPowerV = 0.0;
    g_AcuPowerV = 0.0;
    g_ReceiverV = 0.0;
    g_Receiver18V = 0;
    g_Receiver22k = 0;
    g_ParTrackingScale = 0.0;
    g_ParDetectLevel = 0;
    g_ParTrackingLevel = 0;
    g_ParElAdjust = 0.0;
    g_ParSkewAdjust = 0.0;
    g_ParSignalLostTime = 0;
    g_ParBreakTime = 0;
}

namespace {

// A blank, then the bytes as characters up to the first zero byte.
template <std::size_t N>
std::u16string nameText(const std::array<std::uint8_t, N>& bytes) {
    std::u16string text = u" ";
    for (std::uint8_t byte : bytes) {
        if (byte == 0) break;
        text.push_back(static_cast<char16_t>(byte));
    }
    return text;
}

constexpr std::int64_t kCountLimit = 65535;

// The four counts travel as plain unsigned 16-bit numbers.
bool fitsCount(std::int64_t value) {
    return value >= 0 && value <= kCountLimit;
}

}  // namespace

ProductInformationTexts productInformationTexts() {
    ProductInformationTexts texts;
    if (g_AntennaType == 1) texts.antennaType = " Sub-Reflector Type";
    if (g_AntennaType == 2) texts.antennaType = " Gyro Sensor Type";
    texts.antennaModel = nameText(g_ModelName);
    texts.serialNumber = nameText(g_SerialNumber);
    texts.antSwVersion = formatText("%1.2f", g_AntSwVersion);
    texts.acuSwVersion = formatText("%1.2f", g_AcuSwVersion);
    texts.libraryVersion = formatText("%1.2f", g_LibraryVersion);
    texts.antennaPower = formatText("%2.2f", g_AntennaPowerV);
    texts.acuPower = formatText("%2.2f", g_AcuPowerV);
    texts.receiver = receiverVoltageText(g_ReceiverV, g_Receiver22k);
    return texts;
}

std::string continentName(std::uint32_t continent) {
    static constexpr const char* kNames[kContinentCount] = {"EUROPE",     "ASIA",       "OCEANIA",
                                                            "N. AMERICA", "S. AMERICA", "AFRICA"};
    return continent < kContinentCount ? kNames[continent] : "";
}

AntennaParameterTexts antennaParameterTexts() {
    return {formatText("%2.2f", g_ParTrackingScale), formatText("%d", g_ParDetectLevel),
            formatText("%d", g_ParTrackingLevel),    formatText("%2.2f", g_ParElAdjust),
            formatText("%2.2f", g_ParSkewAdjust),    formatText("%d", g_ParSignalLostTime),
            formatText("%d", g_ParBreakTime)};
}

std::string outOfRangeMessage(const std::string& field, const std::string& range) {
    return " " + field + " : out of range !!! \r\n Enter " + range + " !!!";
}

std::optional<std::string> takeAntennaParameters(const AntennaParameterEdits& edits) {
    const double trackingScale = wideToReal(edits.trackingScale);
    const std::int64_t detectLevel = wideToInteger(edits.detectLevel);
    const std::int64_t trackingLevel = wideToInteger(edits.trackingLevel);
    const double elAdjust = wideToReal(edits.elAdjust);
    const double skewAdjust = wideToReal(edits.skewAdjust);
    const std::int64_t signalLostTime = wideToInteger(edits.signalLostTime);
    const std::int64_t breakTime = wideToInteger(edits.breakTime);

    // In the page's order, so the message names the first edit to correct.
    if (!fitsX100(trackingScale)) return outOfRangeMessage("Tracking Scale", "0 to 655.35");
    if (!fitsCount(detectLevel)) return outOfRangeMessage("Detect Level Threshold", "0 to 65535");
    if (!fitsCount(trackingLevel)) {
        return outOfRangeMessage("Tracking Level Threshold", "0 to 65535");
    }
    if (!fitsSGN100(elAdjust)) return outOfRangeMessage("EL Adjust", kAngleRange);
    if (!fitsSGN100(skewAdjust)) return outOfRangeMessage("Skew Adjust", kAngleRange);
    if (!fitsCount(signalLostTime)) return outOfRangeMessage("Signal lost time", "0 to 65535");
    if (!fitsCount(breakTime)) return outOfRangeMessage("Antenna Break Time", "0 to 65535");

    g_ParTrackingScale = trackingScale;
    // Each count is 0..65535 by now.
    g_ParDetectLevel = static_cast<int>(detectLevel);
    g_ParTrackingLevel = static_cast<int>(trackingLevel);
    g_ParElAdjust = elAdjust;
    g_ParSkewAdjust = skewAdjust;
    g_ParSignalLostTime = static_cast<int>(signalLostTime);
    g_ParBreakTime = static_cast<int>(breakTime);
    return std::nullopt;
}
