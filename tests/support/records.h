#pragma once

#include "data/satellite_tables.h"
#include "support/bytes.h"
#include "wire/fixed_text.h"

// Records whose line bytes were worked out by hand in the tests that use them.

inline SatelliteRecord hotbird() {
    SatelliteRecord sat;
    sat.number = 5;
    storeFixedText(sat.name, u"HOTBIRD");
    sat.longitude = 13.0;
    sat.eastWest = 'E';
    sat.vLowFreq = 11034;
    sat.vLowSymbolRate = 27500;
    sat.vLowNid = 318;
    sat.vHighFreq = 12597;
    sat.vHighSymbolRate = 27500;
    sat.vHighNid = 318;
    sat.hLowFreq = 10971;
    sat.hLowSymbolRate = 29700;
    sat.hLowNid = 318;
    sat.hHighFreq = 12476;
    sat.hHighSymbolRate = 29900;
    sat.hHighNid = 318;
    sat.verification = 1;
    sat.polarization = 0;
    sat.tone = 2;
    return sat;
}

inline RegionRecord europeWest() {
    RegionRecord region;
    storeFixedText(region.name, u"EUROPE-WEST");
    region.satelliteCount = 2;
    region.defaultSatellite = 1;
    region.satelliteList[0] = 3;
    region.satelliteList[1] = 7;
    region.lnbType = 1;
    region.singleLocalFreq = 10750;
    region.universalLowLocalFreq = 9750;
    region.universalHighLocalFreq = 10600;
    region.diseqcMode = 2;
    region.modelParams[0] = {1.5, 300, 250};
    region.modelParams[1] = {2.25, 400, 350};
    region.modelParams[2] = {0.75, 500, 450};
    region.elAdjust = 1.5;
    region.skewAdjust = -0.25;
    region.signalLostTime = 30;
    region.breakTime = 5;
    region.gpsLongitude = 127.5;
    region.gpsEastWest = 'E';
    region.gpsLatitude = 37.25;
    region.gpsNorthSouth = 'N';
    return region;
}

// The 42 bytes after europeWest()'s satellite list.
inline Bytes europeWestTail() {
    return {
        0x01,                                // LNB: universal
        0x29, 0xFE, 0x26, 0x16, 0x29, 0x68,  // 10750, 9750, 10600 MHz
        0x02,                                // DiSEqC: change satellite
        0x00, 0x96, 0x01, 0x2C, 0x00, 0xFA,  // model 1: 1.50, 300, 250
        0x00, 0xE1, 0x01, 0x90, 0x01, 0x5E,  // model 2: 2.25, 400, 350
        0x00, 0x4B, 0x01, 0xF4, 0x01, 0xC2,  // model 3: 0.75, 500, 450
        '+',  0x00, 0x96, '-',  0x00, 0x19,  // EL +1.50, skew -0.25
        0x00, 0x1E, 0x00, 0x05,              // signal lost 30, break 5
        0x31, 0xCE, 'E',  0x0E, 0x8D, 'N',   // 127.50 E, 37.25 N
    };
}
