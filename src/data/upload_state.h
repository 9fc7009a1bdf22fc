#pragma once

#include <cstdint>

// Where the default-data upload stands: the region record and the satellite to send next.
// Command 10 stores the Administrator page's selector positions here as read, so an empty
// selection is held as 0xFFFFFFFF (-1).

extern std::uint32_t g_UploadContinent;
extern std::uint32_t g_UploadRegion;
extern std::uint32_t g_UploadSatIndex;

void resetUploadState();
