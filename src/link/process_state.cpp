#include "link/process_state.h"

#include "data/antenna_info.h"
#include "data/antenna_state.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "data/upload_state.h"
#include "geo/look_angles.h"
#include "lcd/lcd_data.h"
#include "link/link_state.h"

void ResetProcessState() {
    resetSatelliteTables();
    forgetLoadedFile();
    resetAntennaInfo();
    resetUploadState();
    resetLcdData();
    resetLinkState();
    resetAntennaState();
    resetLookAngleInputs();
}
