#pragma once

#include <QWidget>

// The box beside "Connect": the open port's name in white on blue, or "COM" in black on grey.
class SerialBox : public QWidget {
    Q_OBJECT

public:
    explicit SerialBox(QWidget* parent = nullptr);

    void setState(bool connected, const QString& portName);
    bool connected() const { return m_Connected; }
    QString text() const { return m_Connected ? m_PortName : QStringLiteral("COM"); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_Connected = false;
    QString m_PortName;
};
