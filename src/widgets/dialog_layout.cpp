#include "widgets/dialog_layout.h"

#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "widgets/multi_line_button.h"

QRect dialogRect(int x, int y, int width, int height) {
    const int left = static_cast<int>(std::lround(x * kDialogUnitX));
    const int top = static_cast<int>(std::lround(y * kDialogUnitY));
    const int right = static_cast<int>(std::lround((x + width) * kDialogUnitX));
    const int bottom = static_cast<int>(std::lround((y + height) * kDialogUnitY));
    return QRect(left, top, right - left, bottom - top);
}

QSize dialogSize(int width, int height) {
    return dialogRect(0, 0, width, height).size();
}

namespace {

QLabel* makeLabel(const QString& caption, Qt::Alignment alignment, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    // Names of satellites and regions come from files and from the ACU; a name that begins
    // like a tag must show as the characters it holds, never as markup. No caption is markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}

// A read-only field: a sunken box around the text, the text kept off the border.
QLabel* makeFramedValue(const QString& caption, Qt::Alignment alignment, QWidget* parent) {
    QLabel* label = makeLabel(caption, alignment | Qt::AlignVCenter, parent);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setIndent(2);
    return label;
}

QWidget* makeControl(const ControlSpec& row, QWidget* parent) {
    const QString caption = QString::fromUtf8(row.caption ? row.caption : "");
    switch (row.kind) {
        case ControlKind::Group:
            return new QGroupBox(caption, parent);
        case ControlKind::Label:
        case ControlKind::Value:
            return makeLabel(caption, Qt::AlignLeft | Qt::AlignTop, parent);
        case ControlKind::CenteredLabel:
        case ControlKind::CenteredValue:
            return makeLabel(caption, Qt::AlignHCenter | Qt::AlignTop, parent);
        case ControlKind::RightLabel:
            return makeLabel(caption, Qt::AlignRight | Qt::AlignVCenter, parent);
        case ControlKind::Button:
            return new QPushButton(caption, parent);
        case ControlKind::MultiLineButton:
            return new MultiLineButton(caption, parent);
        case ControlKind::Edit:
            return new QLineEdit(caption, parent);
        case ControlKind::CenteredEdit: {
            auto* edit = new QLineEdit(caption, parent);
            edit->setAlignment(Qt::AlignCenter);
            return edit;
        }
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::ListBox:
            return new QListWidget(parent);
        case ControlKind::RadioButton:
            return new QRadioButton(caption, parent);
        case ControlKind::ProgressBar:
            return new QProgressBar(parent);
        case ControlKind::Placeholder:
            return new QWidget(parent);
        case ControlKind::WrappedLabel: {
            QLabel* label = makeLabel(caption, Qt::AlignLeft | Qt::AlignTop, parent);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::FramedValue:
            return makeFramedValue(caption, Qt::AlignLeft, parent);
        case ControlKind::FramedRightValue:
            return makeFramedValue(caption, Qt::AlignRight, parent);
        case ControlKind::FramedCenteredValue:
            return makeFramedValue(caption, Qt::AlignHCenter, parent);
        case ControlKind::RightEdit: {
            auto* edit = new QLineEdit(caption, parent);
            edit->setAlignment(Qt::AlignRight);
            return edit;
        }
    }
    return new QWidget(parent);
}

}  // namespace

void buildControls(QWidget* parent, std::span<const ControlSpec> table) {
    for (const ControlSpec& row : table) {
        QWidget* control = makeControl(row, parent);
        control->setObjectName(QString::fromUtf8(row.name ? row.name : row.caption));
        QRect rect = dialogRect(row.x, row.y, row.width, row.height);
        if (row.kind == ControlKind::ComboBox) {
            // The table gives the height of the open list; the closed box keeps its own.
            rect.setHeight(control->sizeHint().height());
        }
        if (row.width == 0) {
            control->adjustSize();
            rect.setSize(control->size());
        }
        control->setGeometry(rect);
    }
}

void paintWhite(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void applyEditLimits(QWidget* window, std::span<const EditLimit> limits) {
    for (const EditLimit& limit : limits) {
        if (auto* edit = window->findChild<QLineEdit*>(QString::fromUtf8(limit.name))) {
            edit->setMaxLength(limit.maxLength);
        }
    }
}

void setFixedItems(QWidget* window, const char* name, std::span<const char* const> items) {
    auto* combo = window->findChild<QComboBox*>(QString::fromUtf8(name));
    if (!combo) return;
    for (const char* item : items) combo->addItem(QString::fromUtf8(item));
    combo->setCurrentIndex(-1);
}

QButtonGroup* groupRadioButtons(QWidget* window, const char* groupName,
                                std::span<const char* const> buttonNames) {
    auto* group = new QButtonGroup(window);
    group->setObjectName(QString::fromUtf8(groupName));
    int id = 0;
    for (const char* name : buttonNames) {
        if (auto* button = window->findChild<QRadioButton*>(QString::fromUtf8(name))) {
            group->addButton(button, id);
        }
        ++id;
    }
    return group;
}

void setTextColour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

void keepButtonsOffEnter(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}
