#include "pages/acu_lcd_display.h"

#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <array>

#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

// The LCD shows capitals only, so letters become upper case as they are typed. Each character
// is converted on its own so that the text keeps its length and the cursor its place. A letter
// whose capital needs more than one byte (ÿ, µ) stays as it is: the block keeps a character's
// low byte, and the capital's would be another letter altogether.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            const QChar upper = c.toUpper();
            if (upper.unicode() <= 0xFF) c = upper;
        }
        return Acceptable;
    }
};

// Each dish group repeats one pattern: the heads over two columns, the rows "Single" and
// "Multi". The edits are named after their line of the block.
constexpr std::array kLayout = {
    ControlSpec{K::Label, 5, 5, 0, 8, "First Main Display Font", "first_main_display_label"},
    ControlSpec{K::Label, 10, 19, 32, 8, "COMPANY", "company_label"},
    ControlSpec{K::Edit, 44, 17, 88, 12, "", "lcd_line_0"},

    ControlSpec{K::Group, 5, 33, 222, 50, "Dish 37cm", "dish_37_group"},
    ControlSpec{K::CenteredLabel, 44, 43, 88, 8, "Initialize Display Font", "dish_37_init_head"},
    ControlSpec{K::CenteredLabel, 135, 43, 88, 8, "Version Display Font", "dish_37_version_head"},
    ControlSpec{K::Label, 10, 55, 32, 8, "Single", "dish_37_single_label"},
    ControlSpec{K::Edit, 44, 53, 88, 12, "", "lcd_line_1"},
    ControlSpec{K::Edit, 135, 53, 88, 12, "", "lcd_line_3"},
    ControlSpec{K::Label, 10, 69, 32, 8, "Multi", "dish_37_multi_label"},
    ControlSpec{K::Edit, 44, 67, 88, 12, "", "lcd_line_2"},
    ControlSpec{K::Edit, 135, 67, 88, 12, "", "lcd_line_4"},

    ControlSpec{K::Group, 5, 86, 222, 50, "Dish 45cm", "dish_45_group"},
    ControlSpec{K::CenteredLabel, 44, 96, 88, 8, "Initialize Display Font", "dish_45_init_head"},
    ControlSpec{K::CenteredLabel, 135, 96, 88, 8, "Version Display Font", "dish_45_version_head"},
    ControlSpec{K::Label, 10, 108, 32, 8, "Single", "dish_45_single_label"},
    ControlSpec{K::Edit, 44, 106, 88, 12, "", "lcd_line_5"},
    ControlSpec{K::Edit, 135, 106, 88, 12, "", "lcd_line_7"},
    ControlSpec{K::Label, 10, 122, 32, 8, "Multi", "dish_45_multi_label"},
    ControlSpec{K::Edit, 44, 120, 88, 12, "", "lcd_line_6"},
    ControlSpec{K::Edit, 135, 120, 88, 12, "", "lcd_line_8"},

    ControlSpec{K::Group, 5, 139, 222, 50, "Dish 60cm", "dish_60_group"},
    ControlSpec{K::CenteredLabel, 44, 149, 88, 8, "Initialize Display Font", "dish_60_init_head"},
    ControlSpec{K::CenteredLabel, 135, 149, 88, 8, "Version Display Font", "dish_60_version_head"},
    ControlSpec{K::Label, 10, 161, 32, 8, "Single", "dish_60_single_label"},
    ControlSpec{K::Edit, 44, 159, 88, 12, "", "lcd_line_9"},
    ControlSpec{K::Edit, 135, 159, 88, 12, "", "lcd_line_11"},
    ControlSpec{K::Label, 10, 175, 32, 8, "Multi", "dish_60_multi_label"},
    ControlSpec{K::Edit, 44, 173, 88, 12, "", "lcd_line_10"},
    ControlSpec{K::Edit, 135, 173, 88, 12, "", "lcd_line_12"},

    ControlSpec{K::Label, 5, 195, 0, 8, "S/N LCD Display Font", "serial_display_label"},
    ControlSpec{K::Label, 10, 209, 48, 8, "Serial Number", "serial_number_label"},
    ControlSpec{K::Edit, 60, 207, 72, 12, "", "lcd_line_13"},

    ControlSpec{K::MultiLineButton, 231, 17, 37, 24, "Font Load", "font_load"},
    ControlSpec{K::MultiLineButton, 231, 45, 37, 24, "View ＆ Write", "view_write"},
    ControlSpec{K::MultiLineButton, 231, 73, 37, 24, "Read", "read"},
    // Beside the file's "Font Load", below the ACU's buttons: keeps the texts in an .lcd file.
    ControlSpec{K::Button, 231, 101, 37, 24, "Save", "save"},
    ControlSpec{K::Button, 231, 201, 37, 18, "BACK", "back"},
};

}  // namespace

ACU_LCD_Display::ACU_LCD_Display(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    setWindowFlags(Qt::Widget);  // a page inside the main window, hidden until shown
    buildControls(this, kLayout);
    auto* upperCase = new UpperCaseValidator(this);
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        QLineEdit* edit = findChild<QLineEdit*>(QStringLiteral("lcd_line_%1").arg(line));
        edit->setMaxLength(static_cast<int>(lcdLineSize(line)));
        edit->setValidator(upperCase);
        m_Lines[line] = edit;
    }
    keepButtonsOffEnter(this);
}

// Set as a whole, not typed: the upper-case conversion stays out of it, so that what the ACU
// or a file holds comes back into the block as it was, lower case included.
void ACU_LCD_Display::showLines(const LcdDataBlock& block) {
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        QLineEdit* edit = m_Lines[line];
        const QValidator* upperCase = edit->validator();
        edit->setValidator(nullptr);
        edit->setText(QString::fromStdU16String(editorLineText(block, line)));
        edit->setValidator(upperCase);
    }
}

void ACU_LCD_Display::storeLines(LcdDataBlock& block) const {
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        storeEditorLine(m_Lines[line]->text().toStdU16String(), line, block);
    }
}

QPushButton* ACU_LCD_Display::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromUtf8(name));
}
