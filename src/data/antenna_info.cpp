#include "data/antenna_info.h"

#include "data/satellite_tables.h"
#include "data/target_panel.h"
#include "wire/display_text.h"
#include "wire/encoding.h"
#include "wire/number_text.h"

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

ProductInformationTexts productInformationTexts(const ProductInformation& product) {
    ProductInformationTexts texts;
    if (product.AntennaType == 1) texts.antennaType = " Sub-Reflector Type";
    if (product.AntennaType == 2) texts.antennaType = " Gyro Sensor Type";
    texts.antennaModel = nameText(product.ModelName);
    texts.serialNumber = nameText(product.SerialNumber);
    texts.antSwVersion = formatText("%1.2f", product.AntSwVersion);
    texts.acuSwVersion = formatText("%1.2f", product.AcuSwVersion);
    texts.libraryVersion = formatText("%1.2f", product.LibraryVersion);
    texts.antennaPower = formatText("%2.2f", product.AntennaPowerV);
    texts.acuPower = formatText("%2.2f", product.AcuPowerV);
    texts.receiver = receiverVoltageText(product.ReceiverV, product.Receiver22k);
    return texts;
}

std::string continentName(std::uint32_t continent) {
    return continent < kContinentCount ? std::string(kContinentNames[continent].capitals) : "";
}

AntennaParameterTexts antennaParameterTexts(const AntennaParameters& p) {
    const auto count = [](std::int64_t value) { return formatText("%d", static_cast<int>(value)); };
    return {formatText("%2.2f", p.ParTrackingScale),
            count(p.ParDetectLevel),
            count(p.ParTrackingLevel),
            formatText("%2.2f", p.ParElAdjust),
            formatText("%2.2f", p.ParSkewAdjust),
            count(p.ParSignalLostTime),
            count(p.ParBreakTime)};
}

std::string outOfRangeMessage(const std::string& field, const std::string& range) {
    return " " + field + " : out of range !!! \r\n Enter " + range + " !!!";
}

AntennaParameters readAntennaParameters(const AntennaParameterEdits& edits) {
    return {wideToReal(edits.trackingScale),    wideToInteger(edits.detectLevel),
            wideToInteger(edits.trackingLevel), wideToReal(edits.elAdjust),
            wideToReal(edits.skewAdjust),       wideToInteger(edits.signalLostTime),
            wideToInteger(edits.breakTime)};
}

std::optional<std::string> parameterRefusal(const AntennaParameters& p) {
    if (!fitsX100(p.ParTrackingScale)) return outOfRangeMessage("Tracking Scale", "0 to 655.35");
    if (!fitsCount(p.ParDetectLevel)) {
        return outOfRangeMessage("Detect Level Threshold", "0 to 65535");
    }
    if (!fitsCount(p.ParTrackingLevel)) {
        return outOfRangeMessage("Tracking Level Threshold", "0 to 65535");
    }
    if (!fitsSGN100(p.ParElAdjust)) return outOfRangeMessage("EL Adjust", kAngleRange);
    if (!fitsSGN100(p.ParSkewAdjust)) return outOfRangeMessage("Skew Adjust", kAngleRange);
    if (!fitsCount(p.ParSignalLostTime)) {
        return outOfRangeMessage("Signal lost time", "0 to 65535");
    }
    if (!fitsCount(p.ParBreakTime)) return outOfRangeMessage("Antenna Break Time", "0 to 65535");
    return std::nullopt;
}
