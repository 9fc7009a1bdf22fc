#include "data/antenna_values.h"

std::uint8_t g_AntennaType = 0;
std::uint8_t g_AntennaModel = 0;
std::uint8_t g_SkewlessFlag = 0;
std::array<std::uint8_t, kModelNameWidth> g_ModelName{};
std::array<std::uint8_t, kSerialNumberWidth> g_SerialNumber{};
double g_AntSwVersion = 0.0;
double g_AcuSwVersion = 0.0;
double g_LibraryVersion = 0.0;
double g_AntennaPowerV = 0.0;
double g_AcuPowerV = 0.0;
double g_ReceiverV = 0.0;
std::uint8_t g_Receiver18V = 0;
std::uint8_t g_Receiver22k = 0;

double g_ParTrackingScale = 0.0;
int g_ParDetectLevel = 0;
int g_ParTrackingLevel = 0;
double g_ParElAdjust = 0.0;
double g_ParSkewAdjust = 0.0;
int g_ParSignalLostTime = 0;
int g_ParBreakTime = 0;
