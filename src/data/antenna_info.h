#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/antenna_values.h"

// The antenna information page's texts over what the ACU reports about itself (reply 2) and
// the seven tracking parameters that command 29 sends (antenna_values.h), and the edits.

// The texts of the antenna information page's product fields, from what reply 2 reported.
// Names are byte-for-character and end at the first zero byte.
struct ProductInformationTexts {
    std::string antennaType;  // " Sub-Reflector Type", " Gyro Sensor Type" or empty
    std::u16string antennaModel;
    std::u16string serialNumber;
    std::string antSwVersion;  // "%1.2f"
    std::string acuSwVersion;
    std::string libraryVersion;
    std::string antennaPower;  // "%2.2f"
    std::string acuPower;
    std::string receiver;  // as the "RECEIVER" field always shows it
};
ProductInformationTexts productInformationTexts(const ProductInformation& product);

// "EUROPE" .. "AFRICA" for continents 0..5, empty for any other index.
std::string continentName(std::uint32_t continent);

// The seven parameter edits, in the page's order.
struct AntennaParameterTexts {
    std::string trackingScale;   // "%2.2f"
    std::string detectLevel;     // "%d"
    std::string trackingLevel;   // "%d"
    std::string elAdjust;        // "%2.2f"
    std::string skewAdjust;      // "%2.2f"
    std::string signalLostTime;  // "%d"
    std::string breakTime;       // "%d"
};
AntennaParameterTexts antennaParameterTexts(const AntennaParameters& parameters);

// The refusal of a number that does not fit where it would be sent: names the field and the
// range it takes, e.g. " EL Adjust : out of range !!! \r\n Enter -655.35 to 655.35 !!!".
std::string outOfRangeMessage(const std::string& field, const std::string& range);
inline constexpr const char* kAngleRange = "-655.35 to 655.35";

// The seven parameter edits as typed.
struct AntennaParameterEdits {
    std::u16string trackingScale;
    std::u16string detectLevel;
    std::u16string trackingLevel;
    std::u16string elAdjust;
    std::u16string skewAdjust;
    std::u16string signalLostTime;
    std::u16string breakTime;
};

// The seven edits converted as typed numbers are: the reals as reals, the counts as integers.
AntennaParameters readAntennaParameters(const AntennaParameterEdits& edits);

// Each number must fit its field of command 29: the tracking scale 0..655.35, the adjustments
// -655.35..655.35, the four counts 0..65535. Anything else would reach the ACU as a different
// number, so the first that does not fit, in the page's order, is refused with a message naming
// it. Nothing when all seven fit.
std::optional<std::string> parameterRefusal(const AntennaParameters& parameters);
