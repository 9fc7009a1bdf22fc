#include "pages/view_lcd_display.h"

#include <QByteArray>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

// A cell is a 12-unit square and the cells of a row touch; a half holds 20 cells.
constexpr int kCell = 12;
constexpr int kCellsPerRow = 20;
constexpr int kLeftCells = 14;
constexpr int kRightCells = 266;
constexpr int kSerialRow = 13;

// Everything but the cells. Each dish group holds two pairs of rows: the Initialize screen on
// the left, the Version screen on the right, each with its upper and lower LCD line.
constexpr std::array kLayout = {
    ControlSpec{K::Label, 14, 8, 0, 8, "First Main Display : Company", "company_label"},
    ControlSpec{K::Button, 404, 8, 50, 16, "Write", "write"},
    ControlSpec{K::Button, 458, 8, 50, 16, "Close", "close"},

    ControlSpec{K::Group, 7, 40, 506, 56, "Antenna Dish 37cm Size", "dish_37_group"},
    ControlSpec{K::Label, 14, 51, 0, 8, "Second Main Display : Initialize / Model",
                "dish_37_init_label"},
    ControlSpec{K::Label, 266, 51, 0, 8, "Version Display : Model", "dish_37_version_label"},
    ControlSpec{K::Group, 7, 102, 506, 56, "Antenna Dish 45cm Size", "dish_45_group"},
    ControlSpec{K::Label, 14, 113, 0, 8, "Second Main Display : Initialize / Model",
                "dish_45_init_label"},
    ControlSpec{K::Label, 266, 113, 0, 8, "Version Display : Model", "dish_45_version_label"},
    ControlSpec{K::Group, 7, 164, 506, 56, "Antenna Dish 60cm Size", "dish_60_group"},
    ControlSpec{K::Label, 14, 175, 0, 8, "Second Main Display : Initialize / Model",
                "dish_60_init_label"},
    ControlSpec{K::Label, 266, 175, 0, 8, "Version Display : Model", "dish_60_version_label"},

    ControlSpec{K::Label, 14, 227, 0, 8, "Serial Number LCD Display", "serial_label"},
};

constexpr int kWidth = 520;
constexpr int kHeight = 258;

// Where each line's row of cells starts (x, y in dialog units), lines 0 to 12 in block order
// and the serial row last.
struct RowPlace {
    int x;
    int y;
};
constexpr std::array<RowPlace, 14> kRows = {{
    {kLeftCells, 20},
    {kLeftCells, 62},
    {kLeftCells, 74},
    {kRightCells, 62},
    {kRightCells, 74},
    {kLeftCells, 124},
    {kLeftCells, 136},
    {kRightCells, 124},
    {kRightCells, 136},
    {kLeftCells, 186},
    {kLeftCells, 198},
    {kRightCells, 186},
    {kRightCells, 198},
    {kLeftCells, 239},
}};

// The serial row frames the 12 serial characters ('#' here) with fixed text; the seven fixed
// letters keep the default colour, every other cell is red like the texts the program fills.
constexpr char kSerialPattern[] = "SN:############ EXIT";
static_assert(sizeof kSerialPattern - 1 == kCellsPerRow);

QLabel* addCell(QWidget* window, int row, int column) {
    const char pattern = row == kSerialRow ? kSerialPattern[column] : '#';
    const bool fixed = pattern != '#' && pattern != ' ';
    const char fixedText[] = {pattern != '#' ? pattern : '\0', '\0'};
    const QByteArray name = QStringLiteral("cell_%1_%2").arg(row).arg(column).toUtf8();
    const RowPlace place = kRows[row];
    const ControlSpec cell{
        K::FramedCenteredValue, place.x + column * kCell, place.y, kCell, kCell, fixedText,
        name.constData()};
    buildControls(window, std::span(&cell, 1));
    auto* label = window->findChild<QLabel*>(QString::fromUtf8(name));
    // A cell shows a byte as its character, never as markup or a shortcut mark.
    label->setTextFormat(Qt::PlainText);
    if (!fixed) setTextColour(label, QColor(255, 0, 0));
    return label;
}

// The serial row's cells that show the 12 serial bytes.
constexpr int kSerialFirstCell = 3;

}  // namespace

View_LCD_Display::View_LCD_Display(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ACU LCD Display"));
    paintWhite(this);
    setFixedSize(dialogSize(kWidth, kHeight));
    buildControls(this, kLayout);
    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        for (int column = 0; column < kCellsPerRow; ++column) {
            m_Cells[row][column] = addCell(this, row, column);
        }
    }
}

void View_LCD_Display::showBlock(const LcdDataBlock& block) {
    const auto setCell = [this](int row, int column, std::uint8_t byte) {
        m_Cells[row][column]->setText(QString(QChar(byte)));
    };
    for (int row = 0; row < kSerialRow; ++row) {
        const std::size_t offset = lcdLineOffset(row);
        for (int column = 0; column < kCellsPerRow; ++column) {
            setCell(row, column, block[offset + column]);
        }
    }
    const std::size_t serial = lcdLineOffset(kLcdSerialLine);
    for (std::size_t i = 0; i < kLcdSerialSize; ++i) {
        setCell(kSerialRow, kSerialFirstCell + static_cast<int>(i), block[serial + i]);
    }
    m_Cells[kSerialRow][kSerialFirstCell + kLcdSerialSize]->setText(QStringLiteral(" "));
}

QPushButton* View_LCD_Display::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromUtf8(name));
}
