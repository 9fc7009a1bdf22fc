#pragma once

#include <QDialog>

// The about box, opened from the main window's context menu: the program's name and version
// and what it is for. It keeps the default keys: Enter and Escape close it.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
