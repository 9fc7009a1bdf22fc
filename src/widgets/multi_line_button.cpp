#include "widgets/multi_line_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

MultiLineButton::MultiLineButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void MultiLineButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}
