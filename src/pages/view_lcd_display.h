#pragma once

#include <QDialog>
#include <array>

#include "lcd/lcd_data.h"

class QLabel;
class QPushButton;

// The preview of the LCD texts, captioned "ACU LCD Display": every line as a row of 20
// character cells the way the LCD shows it, and the "Write" that sends them to the ACU.
// Cells are named cell_<row>_<column>, rows 0 to 12 the lines of the block, row 13 the serial
// row, columns 0 to 19. Escape and the caption's close box close it like "Close" does.
class View_LCD_Display : public QDialog {
    Q_OBJECT

public:
    explicit View_LCD_Display(QWidget* parent);

    // Every cell from the block: one character per byte, the serial row framed by its fixed
    // cells. Shown from the block, not from the editor, so it is exactly what "Write" sends.
    void showBlock(const LcdDataBlock& block);

    // "write" and "close"; the main window answers them.
    QPushButton* button(const char* name) const;

private:
    std::array<std::array<QLabel*, 20>, kLcdLineCount> m_Cells{};
};
