#pragma once

#include <array>
#include <cstdint>

// Which colour each status lamp shows for a reported state. The windows only paint.
enum class LampColor { Grey, Blue, Red, Green, White };

inline constexpr std::size_t kStateLamps = 6;
inline constexpr std::size_t kDiagnosisLamps = 10;

// "Antenna Connect": 0 grey, 1 red (no answer, or setup), 2 blue; any other state shows
// the bare white lamp.
LampColor connectLampColor(int state);

// The six state lamps, "Antenna Initialize" (mode 2) to "Antenna Diagonis" (mode 7): the lamp
// of the mode is lit, blue except "Antenna Stop / Setup" in red.
std::array<LampColor, kStateLamps> stateLampColors(int mode);

// "GPS Link" blue for state 1, "GPS Not Link" red for state 2.
std::array<LampColor, 2> gpsLampColors(int state);

// Ten diagnosis items, two bits each from bit 19 down: grey, green (under test), blue
// (passed), red (failed).
std::array<LampColor, kDiagnosisLamps> diagnosisLampColors(std::uint32_t word);

// The legend beside the diagnosis lamps: "Test", "PASS", "FAIL".
inline constexpr std::array<LampColor, 3> kDiagnosisLegend = {LampColor::Green, LampColor::Blue,
                                                              LampColor::Red};
