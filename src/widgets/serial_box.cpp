#include "widgets/serial_box.h"

#include <QPainter>

#include "widgets/lamp.h"

namespace {

constexpr int kTextMargin = 4;

}  // namespace

SerialBox::SerialBox(QWidget* parent) : QWidget(parent) {}

void SerialBox::setPlaces(const QRect& normal, const QRect& wide) {
    m_Normal = normal;
    m_Wide = wide;
    setGeometry(m_Normal);
}

bool SerialBox::fits(const QString& shown, int width) const {
    return fontMetrics().horizontalAdvance(shown) <= width - kTextMargin;
}

void SerialBox::setState(bool connected, const QString& portName) {
    m_Connected = connected;
    m_PortName = portName;
    if (m_Normal.isValid()) {
        const bool spread = m_Connected && !fits(text(), m_Normal.width());
        setGeometry(spread ? m_Wide : m_Normal);
        if (spread) raise();
    }
    update();
}

QString SerialBox::shownText() const {
    // Device paths are long; the end of a name tells ports apart.
    return fontMetrics().elidedText(text(), Qt::ElideLeft, width() - kTextMargin);
}

void SerialBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor fill = lampQColor(m_Connected ? LampColor::Blue : LampColor::Grey);
    painter.setPen(Qt::white);
    painter.setBrush(fill);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // White reads well on blue but not on the light grey of a closed port.
    painter.setPen(m_Connected ? Qt::white : Qt::black);
    painter.drawText(rect(), Qt::AlignCenter, shownText());
}
