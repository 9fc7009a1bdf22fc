#pragma once

#include <cstdint>

// Where the default-data upload stands: the region record and the satellite to send next.
// Command 10 starts it at the Administrator page's selector positions as read, so an empty
// selection is held as 0xFFFFFFFF (-1).
struct UploadCursor {
    std::uint32_t UploadContinent = 0;
    std::uint32_t UploadRegion = 0;
    std::uint32_t UploadSatIndex = 0;

    bool operator==(const UploadCursor&) const = default;
};
