#pragma once

// What skyrelay-cli's exit status tells a script. The numbers are part of its interface:
// they are listed in --help and in the manual page, and never change meaning.
namespace exitcode {
inline constexpr int Done = 0;
inline constexpr int Usage = 1;       // bad command line, or a file that does not read
inline constexpr int NoPort = 2;      // no port, or the port cannot be opened or went away
inline constexpr int NoAnswer = 3;    // the ACU did not answer, or refused
inline constexpr int Differs = 4;     // --verify found differences
inline constexpr int TestFailed = 5;  // the self test found a failing item
inline constexpr int Interrupted = 130;
}  // namespace exitcode
