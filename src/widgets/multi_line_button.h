#pragma once

#include <QPushButton>

// A push button whose caption wraps at its width, like a multi-line button of the original
// layout: the inner blanks of captions such as "  Target    Change" decide where the lines
// break. text() keeps the caption exactly as given.
class MultiLineButton : public QPushButton {
    Q_OBJECT

public:
    explicit MultiLineButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
