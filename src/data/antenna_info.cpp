#include "data/antenna_info.h"

#include "data/satellite_tables.h"

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

void LoadAntennaParameters(std::uint32_t c, std::uint32_t r) {
    if (mutableRegionRecord(c, r) == nullptr) return;
    const RegionRecord& region = regionRecord(c, r);
    if (g_AntennaModel >= 1 && g_AntennaModel <= kModelParamSets) {
        const ModelParams& params = region.modelParams[g_AntennaModel - 1];
        g_ParTrackingScale = params.trackingScale;
        g_ParDetectLevel = static_cast<int>(params.detectLevel);
        g_ParTrackingLevel = static_cast<int>(params.trackingLevel);
    }
    g_ParElAdjust = region.elAdjust;
    g_ParSkewAdjust = region.skewAdjust;
    g_ParSignalLostTime = static_cast<int>(region.signalLostTime);
    g_ParBreakTime = static_cast<int>(region.breakTime);
}

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
