#pragma once

#include "app/quiet_dialog.h"

// The page "Antenna Information and Set Antenna Parameters": what the ACU reports about
// itself, and the seven tracking parameters sent with "Set Parameters".
class Antenna_Information : public QuietDialog {
    Q_OBJECT

public:
    explicit Antenna_Information(QWidget* parent);
};
