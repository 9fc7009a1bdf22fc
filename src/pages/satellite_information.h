#pragma once

#include "widgets/quiet_dialog.h"

class AcuController;
struct SatelliteForm;

// The page "Set Satellite Information and Tracking Information": one satellite of the current
// region with its transponders and settings, the LNB and the DiSEqC use, each sent to the ACU
// by its own button.
class Satellite_Information : public QuietDialog {
    Q_OBJECT

public:
    explicit Satellite_Information(QWidget* parent);

    // Element k of the edit copy with its radio choices, and the DiSEqC mode. When k names no
    // satellite of the current region the satellite's fields are emptied instead.
    void showEditSatellite(int k);
    // The LNB type with its radios and enabling, and the local frequencies.
    void showLnbSetting();

private:
    SatelliteForm readForm() const;
    void showChoice(const char* groupName, int value);
    void enableLnbFields(int lnbType);
    void clearSatellite();
    // The controller of the main window this page lives in; none on a page made alone.
    AcuController* controller() const;
};
