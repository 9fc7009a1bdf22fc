#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "data/satellite_tables.h"

// The satellite information file (.sif): 8-bit text, blank-separated fields, a fixed line
// layout. A scope line says whether the file holds one region, one continent or all of them;
// region blocks of seven lines and satellite blocks of six follow.

inline constexpr std::size_t kSifMaxLines = 2000;
// Far more than 2000 lines of plausible content; a bigger file is not a satellite file.
inline constexpr std::size_t kSifMaxBytes = 1024 * 1024;

// Why a file was refused. line counts from 1, as an editor shows it; 0 means the whole file.
struct SifRefusal {
    std::size_t line = 0;
    std::string reason;
};

struct SifReadResult {
    std::unique_ptr<SatelliteTables> tables;  // set when the file read whole
    SifRefusal refusal;                       // otherwise
};

// Reads a whole file's bytes over a copy of base. Fields a line does not reach keep base's
// values, as they keep the tables' values when the file is loaded.
SifReadResult readSatelliteInformation(std::span<const std::uint8_t> bytes,
                                       const SatelliteTables& base);
// The same over tables the caller holds, which are left half-read when the file is refused:
// for callers that read many files and keep one staging copy (the fuzz target).
std::optional<SifRefusal> readSatelliteInformationInto(std::span<const std::uint8_t> bytes,
                                                       SatelliteTables& staged);

// Reads bytes over the tables of data; a file that reads whole replaces them, is kept as the
// file loaded (LoadedFile) and marks the default data loaded. Otherwise nothing changes and the
// refusal is returned.
std::optional<SifRefusal> loadSatelliteInformation(SatelliteData& data,
                                                   std::span<const std::uint8_t> bytes);

// The ACU writes its current region into the tables: reply 3 at every connection, reply 14's
// GPS position every second. The upload puts the tables back as the last file loaded them, so
// that the ACU receives that file and not a mixture with its own region.
void restoreLoadedFile(SatelliteData& data);

// The messages that name the file and what is wrong with it.
std::string sifRefusalText(const std::string& fileName, const SifRefusal& refusal);
std::string sifOpenFailureText(const std::string& fileName);
