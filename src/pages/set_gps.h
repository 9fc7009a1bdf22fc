#pragma once

#include <QRect>

#include "app/quiet_dialog.h"

// The page "Set GPS and Antenna Angle Calculation": the antenna's reported GPS position with
// its link lamps, a position typed by the user, and the look-angle calculation.
class Set_GPS : public QuietDialog {
    Q_OBJECT

public:
    explicit Set_GPS(QWidget* parent);

    // The placeholder that the two GPS lamps are drawn over, in page pixels.
    QRect gpsLampRect() const;
};
