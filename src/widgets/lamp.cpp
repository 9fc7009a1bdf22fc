#include "widgets/lamp.h"

#include <QPainter>

QColor lampQColor(LampColor color) {
    switch (color) {
        case LampColor::Grey:
            return QColor(225, 225, 225);
        case LampColor::Blue:
            return QColor(0, 0, 255);
        case LampColor::Red:
            return QColor(255, 0, 0);
        case LampColor::Green:
            return QColor(0, 255, 0);
        case LampColor::White:
            break;
    }
    return QColor(255, 255, 255);
}

Lamp::Lamp(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Lamp::setColor(LampColor color) {
    if (color == m_Color) return;
    m_Color = color;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A bare lamp has a thin outline so that its place shows on the white window.
    painter.setPen(m_Color == LampColor::White ? QPen(Qt::black) : QPen(Qt::white));
    painter.setBrush(lampQColor(m_Color));
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
