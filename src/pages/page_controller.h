#pragma once

#include <QWidget>

#include "pages/page_host.h"

// The main window a page sits in; nothing for a page shown on its own.
inline PageHost* pageHost(QWidget* window) {
    return dynamic_cast<PageHost*>(window);
}

// The controller behind the main window a page sits in; nothing for a page shown on its own
// (as the page tests build them), whose buttons then do nothing.
inline AcuController* pageController(QWidget* page) {
    PageHost* host = pageHost(page->window());
    return host != nullptr ? &host->controller() : nullptr;
}
