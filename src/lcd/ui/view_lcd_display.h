#pragma once

#include <QDialog>

// The preview of the LCD texts, captioned "ACU LCD Display": every line as a row of 20
// character cells the way the LCD shows it, and the "Write" that sends them to the ACU.
// Cells are named cell_<row>_<column>, rows 0 to 12 the lines of the block, row 13 the serial
// row, columns 0 to 19. It keeps the default keys: Escape closes it like any dialog.
class View_LCD_Display : public QDialog {
    Q_OBJECT

public:
    explicit View_LCD_Display(QWidget* parent);
};
