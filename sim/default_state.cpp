#include "default_state.h"

#include <string_view>

#include "wire/fixed_text.h"

namespace {

struct Transponders {
    std::uint32_t vLowFreq, vLowSymbolRate, vLowNid;
    std::uint32_t vHighFreq, vHighSymbolRate, vHighNid;
    std::uint32_t hLowFreq, hLowSymbolRate, hLowNid;
    std::uint32_t hHighFreq, hHighSymbolRate, hHighNid;
};

SatelliteRecord satellite(std::uint8_t number, std::u16string_view name, double longitude,
                          char eastWest, const Transponders& tp, std::uint8_t verification) {
    SatelliteRecord sat;
    sat.number = number;
    storeFixedText(sat.name, name);
    sat.longitude = longitude;
    sat.eastWest = eastWest;
    sat.vLowFreq = tp.vLowFreq;
    sat.vLowSymbolRate = tp.vLowSymbolRate;
    sat.vLowNid = tp.vLowNid;
    sat.vHighFreq = tp.vHighFreq;
    sat.vHighSymbolRate = tp.vHighSymbolRate;
    sat.vHighNid = tp.vHighNid;
    sat.hLowFreq = tp.hLowFreq;
    sat.hLowSymbolRate = tp.hLowSymbolRate;
    sat.hLowNid = tp.hLowNid;
    sat.hHighFreq = tp.hHighFreq;
    sat.hHighSymbolRate = tp.hHighSymbolRate;
    sat.hHighNid = tp.hHighNid;
    sat.verification = verification;
    sat.polarization = static_cast<std::uint8_t>(PolarizationMode::Auto);
    sat.tone = static_cast<std::uint8_t>(ToneMode::Auto);
    return sat;
}

// Six satellites a dish in the North Sea can see, one reference transponder per polarisation
// and band. Numbers are the satellites' places in the unit's own table.
void fillSatellites(CurrentRegion& current) {
    auto& sats = current.satellites;
    sats[0] = satellite(1, u"ASTRA 1", 19.2, 'E',
                        {11597, 22000, 1, 12603, 22000, 1, 11494, 22000, 1, 12515, 22000, 1}, 1);
    sats[1] =
        satellite(2, u"HOTBIRD", 13.0, 'E',
                  {11034, 27500, 318, 12597, 27500, 318, 10971, 29700, 318, 12476, 29900, 318}, 2);
    sats[2] = satellite(3, u"ASTRA 2", 28.2, 'E',
                        {10773, 22000, 2, 11778, 27500, 2, 10788, 22000, 2, 11954, 27500, 2}, 1);
    sats[3] =
        satellite(4, u"THOR", 0.8, 'W',
                  {10872, 24500, 70, 12015, 28000, 70, 10747, 24500, 70, 11785, 24500, 70}, 1);
    sats[4] = satellite(5, u"EUTEL 5WA", 5.0, 'W',
                        {11096, 29950, 1, 12648, 27500, 1, 11006, 29950, 1, 12543, 29950, 1}, 0);
    sats[5] =
        satellite(6, u"HISPASAT", 30.0, 'W',
                  {10979, 27500, 49, 12092, 27500, 49, 10890, 27500, 49, 11884, 27500, 49}, 1);
}

RegionRecord northWestEurope() {
    RegionRecord region;
    storeFixedText(region.name, u"NW-EUROPE");
    region.satelliteCount = 6;
    region.defaultSatellite = 1;  // HOTBIRD
    for (std::uint32_t k = 0; k < 6; ++k) region.satelliteList[k] = k + 1;
    region.lnbType = static_cast<std::uint8_t>(LnbType::Universal);
    region.singleLocalFreq = 10750;
    region.universalLowLocalFreq = 9750;
    region.universalHighLocalFreq = 10600;
    region.diseqcMode = static_cast<std::uint8_t>(DiseqcMode::NotUse);
    region.modelParams[0] = {1.50, 300, 250};
    region.modelParams[1] = {1.80, 320, 270};
    region.modelParams[2] = {2.00, 350, 300};
    region.elAdjust = 0.50;
    region.skewAdjust = -1.25;
    region.signalLostTime = 30;
    region.breakTime = 10;
    region.gpsLongitude = 4.48;  // Rotterdam
    region.gpsEastWest = 'E';
    region.gpsLatitude = 51.90;
    region.gpsNorthSouth = 'N';
    return region;
}

void storeLine(LcdBlock& block, std::size_t offset, std::size_t width, std::string_view text) {
    for (std::size_t i = 0; i < width; ++i) {
        block[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
    }
}

}  // namespace

LcdBlock factoryLcdBlock() {
    constexpr std::size_t kLineWidth = 20;
    constexpr std::string_view kLines[] = {
        "  OCEANSAT  MARINE  ",  //
        "SR-37   INITIALIZE  ", "SR-37M  INITIALIZE  ", "SR-37   VER 2.07    ",
        "SR-37M  VER 2.07    ", "SR-45   INITIALIZE  ", "SR-45M  INITIALIZE  ",
        "SR-45   VER 2.07    ", "SR-45M  VER 2.07    ", "SR-60   INITIALIZE  ",
        "SR-60M  INITIALIZE  ", "SR-60   VER 2.07    ", "SR-60M  VER 2.07    ",
    };
    LcdBlock block{};
    std::size_t offset = 0;
    for (std::string_view line : kLines) {
        storeLine(block, offset, kLineWidth, line);
        offset += kLineWidth;
    }
    storeLine(block, offset, kLcdDataSize - offset, "SR60-2419087");
    return block;
}

AcuState factoryDefaultState() {
    AcuState state;

    ProductInfo& product = state.product;
    product.antennaType = 2;  // gyro sensor
    product.antennaModel = 2;
    product.skewless = 0;
    // The firmware pads its texts with zero bytes, which the program's pages stop at.
    constexpr std::string_view kModelName = "OCEANSAT SR-60";
    constexpr std::string_view kSerial = "SR60-2419087";
    for (std::size_t i = 0; i < kModelName.size(); ++i) product.modelName[i] = kModelName[i];
    for (std::size_t i = 0; i < kSerial.size(); ++i) product.serialNumber[i] = kSerial[i];
    product.antSwVersion = 132;
    product.acuSwVersion = 207;
    product.libraryVersion = 115;
    product.antennaPowerCentivolts = 2410;
    product.acuPowerCentivolts = 1220;

    state.receiver = {1830, 1, 1};  // 18.30 V with the tone: horizontal, high band

    state.current.continent = static_cast<std::uint8_t>(Continent::Europe);
    state.current.region = 1;
    state.current.regionCount = 4;
    state.current.record = northWestEurope();
    fillSatellites(state.current);

    state.gps.linkState = 1;
    state.gps.longitude = state.current.record.gpsLongitude;
    state.gps.eastWest = state.current.record.gpsEastWest;
    state.gps.latitude = state.current.record.gpsLatitude;
    state.gps.northSouth = state.current.record.gpsNorthSouth;

    state.mode = AntennaMode::Tracking;
    state.lcd = factoryLcdBlock();
    return state;
}
