#pragma once

#include "app/quiet_dialog.h"

// The page "Set Satellite Information and Tracking Information": one satellite of the current
// region with its transponders and settings, the LNB and the DiSEqC use, each sent to the ACU
// by its own button.
class Satellite_Information : public QuietDialog {
    Q_OBJECT

public:
    explicit Satellite_Information(QWidget* parent);
};
