#pragma once

#include "support/bytes.h"
#include "support/records.h"

// Reply payloads written out by hand from the reply table (code byte first).

// Reply 2: gyro-sensor antenna, model 3; versions 3.00, 3.50, 2.00; antenna 24.00 V, ACU
// 12.00 V, receiver 13.40 V with 18 V on and no tone.
inline Bytes productInfoReply() {
    return concat(
        {{0x02, 0x02, 0x03, 0x00},
         ascii("SR-90 MARINE        "),
         ascii("SN2026-00042"),
         {0x01, 0x2C, 0x01, 0x5E, 0x00, 0xC8, 0x09, 0x60, 0x04, 0xB0, 0x05, 0x3C, 0x01, 0x00}});
}

// Reply 3: continent 0, region 4 of 5 regions, holding europeWest() with satellites 3 and 7.
inline Bytes regionReply(std::uint8_t continent = 0, std::uint8_t region = 4) {
    return concat({{0x03, continent, region, 0x05},
                   ascii("EUROPE-WEST "),
                   {0x02, 0x01, 0x03, 0x07},
                   europeWestTail()});
}

// Reply 4: hotbird() at the given index.
inline Bytes satelliteReply(std::uint8_t index) {
    return concat({{0x04, index, 0x05},
                   ascii("HOTBIRD   "),
                   {0x00, 0x82, 'E',  0x2B, 0x1A, 0x6B, 0x6C, 0x01, 0x3E, 0x31,
                    0x35, 0x6B, 0x6C, 0x01, 0x3E, 0x2A, 0xDB, 0x74, 0x04, 0x01,
                    0x3E, 0x30, 0xBC, 0x74, 0xCC, 0x01, 0x3E, 0x01, 0x00, 0x02}});
}

// Reply 14: target 1, tracking (4) or the state given, signal 600, GPS link, 127.50 E 37.25 N,
// receiver 13.40 V with 18 V and no tone, AZ +180.50, EL +45.50, skew with a blank sign: -3.25.
inline Bytes statusReply(std::uint8_t state = 0x04) {
    return {0x0E, 0x01, state, 0x02, 0x58, 0x01, 0x31, 0xCE, 'E',  0x0E, 0x8D, 'N', 0x05,
            0x3C, 0x01, 0x00,  '+',  0x46, 0x82, '+',  0x11, 0xC6, ' ',  0x01, 0x45};
}
