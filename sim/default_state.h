#pragma once

#include "acu_state.h"

// The unit as it leaves the factory: a gyro-stabilised 60 cm dish sold for north-west Europe,
// tracking its default satellite with a GPS fix. Every value is made up, chosen to look right
// to a technician on the pages that show it.
AcuState factoryDefaultState();

// The same texts the unit shows on its own LCD out of the box.
LcdBlock factoryLcdBlock();
