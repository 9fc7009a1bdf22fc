#pragma once

#include "widgets/quiet_dialog.h"

class PageHost;

// The page "View Region Satellite Information": the loaded region default data browsed by
// continent, region and satellite, and the way into the LCD text editor.
class Administrator : public QuietDialog {
    Q_OBJECT

public:
    explicit Administrator(QWidget* parent);

    // The satellite list: one entry per satellite of the current region, none selected.
    void fillAdminSatelliteList();
    // Selects position in the list without the details following; -1 or a position past the
    // list selects nothing.
    void selectSatellite(int position);
    // The numbered fields for the satellite selected in the list, and the LNB line.
    void showSatelliteDetails();
    void showLnbInformation(const QString& text);
    // After Get Antenna Information the selectors hold only the ACU's continent and region,
    // each selected, and cannot be changed: the file's other regions are not what the ACU has.
    void showDownloadedRegion(const QString& continent, const QString& region);

private:
    void connectSatelliteControls();
    // The main window this page lives in; none on a page made alone.
    PageHost* mainWindow() const;
};
