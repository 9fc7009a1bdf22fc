#pragma once

#include <array>
#include <cstdint>

// What the ACU reports about itself (reply 2) and the seven tracking parameters that
// command 29 sends: the values alone, apart from their texts, so that the tables and the
// target panel can read and set them without the antenna information page's pieces.

inline constexpr std::size_t kModelNameWidth = 20;
inline constexpr std::size_t kSerialNumberWidth = 12;

extern std::uint8_t g_AntennaType;   // 1 sub-reflector, 2 gyro sensor
extern std::uint8_t g_AntennaModel;  // 1..3 select the parameter set; 1 has no skew test
extern std::uint8_t g_SkewlessFlag;  // 1: no skew limit test
extern std::array<std::uint8_t, kModelNameWidth> g_ModelName;
extern std::array<std::uint8_t, kSerialNumberWidth> g_SerialNumber;
extern double g_AntSwVersion;
extern double g_AcuSwVersion;
extern double g_LibraryVersion;
extern double g_AntennaPowerV;
extern double g_AcuPowerV;
extern double g_ReceiverV;          // LNB supply the receiver applies, volts
extern std::uint8_t g_Receiver18V;  // non-zero: 18 V (horizontal), 0: 13 V
extern std::uint8_t g_Receiver22k;  // non-zero: 22 kHz tone present

extern double g_ParTrackingScale;
extern int g_ParDetectLevel;
extern int g_ParTrackingLevel;
extern double g_ParElAdjust;
extern double g_ParSkewAdjust;
extern int g_ParSignalLostTime;
extern int g_ParBreakTime;
