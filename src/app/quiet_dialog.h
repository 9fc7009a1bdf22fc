#pragma once

#include <QDialog>

// The base of the main window, the pages and the progress popups: Enter and Escape never
// press a default button and never close the window (a technician leaning on the keyboard
// must not lose a page), and the background is white.
class QuietDialog : public QDialog {
    Q_OBJECT

public:
    explicit QuietDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};
