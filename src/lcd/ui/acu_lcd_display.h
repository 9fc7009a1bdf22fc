#pragma once

#include "app/quiet_dialog.h"

// The LCD text editor page: one edit per line of the ACU's LCD texts (named lcd_line_0 to
// lcd_line_13 in the order of the 272-byte block), reached from the Administrator page.
class ACU_LCD_Display : public QuietDialog {
    Q_OBJECT

public:
    explicit ACU_LCD_Display(QWidget* parent);
};
