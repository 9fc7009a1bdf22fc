#pragma once

#include <QRect>
#include <QString>
#include <span>

class QButtonGroup;
class QColor;
class QWidget;

// Windows are laid out in dialog units of DejaVu Sans 8: one x unit is 1.75 px and one y
// unit 1.625 px, so the given pixel constants (page area, lamps) land on their placeholders.
inline constexpr double kDialogUnitX = 1.75;
inline constexpr double kDialogUnitY = 1.625;

QRect dialogRect(int x, int y, int width, int height);
QSize dialogSize(int width, int height);

enum class ControlKind {
    Group,          // frame with a title
    Label,          // static text, left aligned; width 0 sizes it to its text
    CenteredLabel,  // static text, centred (multi-line captions break at "\n")
    RightLabel,     // static text, right aligned and vertically centred
    Value,          // static text that the program fills, left aligned
    CenteredValue,  // the same, centred
    Button,
    MultiLineButton,  // wraps its caption at the button's width, the caption kept as given
    Edit,
    CenteredEdit,
    ComboBox,  // drop-down list; the height is that of its open list
    ListBox,
    RadioButton,
    ProgressBar,
    Placeholder,  // reserves a place for something painted (lamps, the serial box)

    WrappedLabel,         // static text, left aligned, wrapping its words at its width
    FramedValue,          // bordered read-only text that the program fills, left aligned
    FramedRightValue,     // the same, right aligned (numbers)
    FramedCenteredValue,  // the same, centred (single letters, character cells)
    RightEdit,            // edit whose text is right aligned (numbers)
};

// One row of a window's control table: kind, rectangle in dialog units, caption (UTF-8)
// and the object name by which the window and the tests find the control.
struct ControlSpec {
    ControlKind kind;
    int x;
    int y;
    int width;
    int height;
    const char* caption;
    const char* name;
};

// Creates the controls of a table as children of parent, in table order (so frames listed
// first stay behind the controls inside them).
void buildControls(QWidget* parent, std::span<const ControlSpec> table);

// Fills a window's background white, as every window of the program is.
void paintWhite(QWidget* window);

// The character limit of one edit of a window, found by its object name. Limits are set
// after the table is built because a table row has no place for them.
struct EditLimit {
    const char* name;
    int maxLength;
};
void applyEditLimits(QWidget* window, std::span<const EditLimit> limits);

// Fills a drop-down list with fixed items and leaves it without a selection, so that it
// shows nothing until the user or the program picks an item.
void setFixedItems(QWidget* window, const char* name, std::span<const char* const> items);

// Makes the named radio buttons one exclusive group, each with its position as id, so that
// groups sharing a window do not uncheck each other. The group is named groupName.
QButtonGroup* groupRadioButtons(QWidget* window, const char* groupName,
                                std::span<const char* const> buttonNames);

// Sets the text colour of a static control.
void setTextColour(QWidget* control, const QColor& colour);

// Enter must never press a button of the pages and popups: a focused push button of a
// dialog would otherwise click itself on Enter before the window can swallow the key.
void keepButtonsOffEnter(QWidget* window);
