#pragma once

class ACU_LCD_Display;
class AcuController;
class QWidget;

// What a page asks of the main window it sits in, and nothing more: the controller its buttons
// drive, the page area, and the default-data loading the Administrator page starts. The main
// window implements it; a page shown on its own (as the page tests build them) has no host.
class PageHost {
public:
    virtual AcuController& controller() = 0;
    virtual void showPage(QWidget* page) = 0;
    virtual ACU_LCD_Display* lcdDisplay() const = 0;
    virtual void loadDefaultData() = 0;

protected:
    ~PageHost() = default;
};
