#pragma once

#include <string>
#include <vector>

#include "support/bytes.h"

// A small satellite information file worked out by hand: Oceania region 7 alone, two
// satellites. Line numbers in the comments count from 0, as the layout does.
inline std::vector<std::string> oneRegionLines() {
    return {
        "SKYRELAY SATELLITE INFORMATION FILE",           // 0
        "SIF 2026-11-30 REV 1203",                       // 1: header number 1203
        "#",                                             // 2
        "#",                                             // 3
        "#",                                             // 4
        "#",                                             // 5
        "#",                                             // 6
        "2 7",                                           // 7: scope 2, region 7
        "# REGION",                                      // 8
        "2 7",                                           // 9: index
        "TASMAN 2 1",                                    // 10: name
        "1 2",                                           // 11: list
        "1 10750 9750 10600 2",                          // 12: LNB
        "150 60 40 175 65 45 200 70 50 -250 120 10 30",  // 13: parameters
        "16000 E 3850 S",                                // 14: GPS
        "# SATELLITES",                                  // 15
        "2",                                             // 16: satellite count
        "#",                                             // 17
        "1",                                             // 18: satellite 0
        "ALPHA 1300 E",                                  // 19
        "11470 27500 101 12110 27500 101",               // 20
        "11390 27500 101 12200 27500 101",               // 21
        "1 0 2",                                         // 22
        "-",                                             // 23
        "2",                                             // 24: satellite 1
        "BETA 480 W",                                    // 25
        "1 2 3 4 5 6",                                   // 26
        "7 8 9 10 11 12",                                // 27
        "0 1 1",                                         // 28
        "-",                                             // 29
    };
}

inline Bytes sifBytes(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return Bytes(text.begin(), text.end());
}
