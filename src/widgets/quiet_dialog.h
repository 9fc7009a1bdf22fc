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
    // A page's background belongs to the main window: its menu (with the about entry) opens
    // there too, where QDialog would otherwise take the click for its "What's This?" menu.
    void contextMenuEvent(QContextMenuEvent* event) override;
};
