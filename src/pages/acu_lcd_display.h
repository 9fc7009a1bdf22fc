#pragma once

#include <array>

#include "lcd/lcd_data.h"
#include "widgets/quiet_dialog.h"

class QLineEdit;
class QPushButton;

// The LCD text editor page: one edit per line of the ACU's LCD texts (named lcd_line_0 to
// lcd_line_13 in the order of the 272-byte block), reached from the Administrator page. Its
// buttons are "font_load", "view_write", "read", "save" and "back"; the main window answers
// them.
class ACU_LCD_Display : public QuietDialog {
    Q_OBJECT

public:
    explicit ACU_LCD_Display(QWidget* parent);

    // Every field from its line of block, up to the line's first zero byte.
    void showLines(const LcdDataBlock& block);
    // Every field into its line of block, blank-padded.
    void storeLines(LcdDataBlock& block) const;

    QLineEdit* lineEdit(std::size_t line) const { return m_Lines.at(line); }
    QPushButton* button(const char* name) const;

private:
    std::array<QLineEdit*, kLcdLineCount> m_Lines{};
};
