#pragma once

#include <QRect>
#include <QWidget>

// The box beside "Connect": the open port's name in white on blue, or "COM" in black on grey.
// A name too long for the box (a serial server's address) is still shown whole: the open
// box then spreads over the wider place it is given, the port list and "Reflesh" beside it,
// which are disabled while a port is open.
class SerialBox : public QWidget {
    Q_OBJECT

public:
    explicit SerialBox(QWidget* parent = nullptr);

    // Where the box sits, and where it may spread for a long name.
    void setPlaces(const QRect& normal, const QRect& wide);
    void setState(bool connected, const QString& portName);
    bool connected() const { return m_Connected; }
    QString text() const { return m_Connected ? m_PortName : QStringLiteral("COM"); }
    // What the box shows of text(): all of it unless even the wide place is too narrow.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool fits(const QString& shown, int width) const;

    bool m_Connected = false;
    QString m_PortName;
    QRect m_Normal;
    QRect m_Wide;
};
