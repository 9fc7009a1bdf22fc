#include "data/upload_state.h"

std::uint32_t g_UploadContinent = 0;
std::uint32_t g_UploadRegion = 0;
std::uint32_t g_UploadSatIndex = 0;

void resetUploadState() {
    g_UploadContinent = 0;
    g_UploadRegion = 0;
    g_UploadSatIndex = 0;
}
