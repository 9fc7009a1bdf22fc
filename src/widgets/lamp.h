#pragma once

#include <QWidget>

#include "wire/lamp_colors.h"

// One status lamp: a filled circle in the colour of its last draw. It keeps that colour, so
// the lamp survives being covered and uncovered.
class Lamp : public QWidget {
    Q_OBJECT

public:
    explicit Lamp(QWidget* parent = nullptr);

    void setColor(LampColor color);
    LampColor color() const { return m_Color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LampColor m_Color = LampColor::White;
};

QColor lampQColor(LampColor color);
