#pragma once

#include "app/quiet_dialog.h"

// The page "View Region Satellite Information": the loaded region default data browsed by
// continent, region and satellite, and the way into the LCD text editor.
class Administrator : public QuietDialog {
    Q_OBJECT

public:
    explicit Administrator(QWidget* parent);
};
