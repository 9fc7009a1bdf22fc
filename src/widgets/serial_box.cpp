#include "widgets/serial_box.h"

#include <QPainter>

#include "widgets/lamp.h"

SerialBox::SerialBox(QWidget* parent) : QWidget(parent) {}

void SerialBox::setState(bool connected, const QString& portName) {
    m_Connected = connected;
    m_PortName = portName;
    update();
}

void SerialBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor fill = lampQColor(m_Connected ? LampColor::Blue : LampColor::Grey);
    painter.setPen(Qt::white);
    painter.setBrush(fill);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // White reads well on blue but not on the light grey of a closed port.
    painter.setPen(m_Connected ? Qt::white : Qt::black);
    // Device paths are long; the box shows the name's end, which tells ports apart.
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideLeft, width() - 4);
    painter.drawText(rect(), Qt::AlignCenter, shown);
}
