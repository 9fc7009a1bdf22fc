#pragma once

#include <array>
#include <cstdint>

// What the ACU reports about itself (reply 2) and the seven tracking parameters that
// command 29 sends: the values alone, apart from their texts, so that the tables and the
// target panel can read and set them without the antenna information page's pieces.

inline constexpr std::size_t kModelNameWidth = 20;
inline constexpr std::size_t kSerialNumberWidth = 12;

struct ProductInformation {
    std::uint8_t AntennaType = 0;   // 1 sub-reflector, 2 gyro sensor
    std::uint8_t AntennaModel = 0;  // 1..3 select the parameter set; 1 has no skew test
    std::uint8_t SkewlessFlag = 0;  // 1: no skew limit test
    std::array<std::uint8_t, kModelNameWidth> ModelName{};
    std::array<std::uint8_t, kSerialNumberWidth> SerialNumber{};
    double AntSwVersion = 0.0;
    double AcuSwVersion = 0.0;
    double LibraryVersion = 0.0;
    double AntennaPowerV = 0.0;
    double AcuPowerV = 0.0;
    double ReceiverV = 0.0;        // LNB supply the receiver applies, volts
    std::uint8_t Receiver18V = 0;  // non-zero: 18 V (horizontal), 0: 13 V
    std::uint8_t Receiver22k = 0;  // non-zero: 22 kHz tone present

    bool operator==(const ProductInformation&) const = default;
};

// The counts are held as wide as a typed number is read, so that one beyond what the line can
// carry is refused rather than cut into range.
struct AntennaParameters {
    double ParTrackingScale = 0.0;
    std::int64_t ParDetectLevel = 0;
    std::int64_t ParTrackingLevel = 0;
    double ParElAdjust = 0.0;
    double ParSkewAdjust = 0.0;
    std::int64_t ParSignalLostTime = 0;
    std::int64_t ParBreakTime = 0;

    bool operator==(const AntennaParameters&) const = default;
};
