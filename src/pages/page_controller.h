#pragma once

#include <QWidget>

#include "app/lumidor_dlg.h"

class AcuController;

// The controller behind the main window a page sits in; nothing for a page shown on its own
// (as the page tests build them), whose buttons then do nothing.
inline AcuController* pageController(QWidget* page) {
    auto* mainWindow = qobject_cast<CLumidorDlg*>(page->window());
    return mainWindow != nullptr ? &mainWindow->controller() : nullptr;
}
