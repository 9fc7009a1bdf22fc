#pragma once

#include "widgets/quiet_dialog.h"

// The page "Antenna Information and Set Antenna Parameters": what the ACU reports about
// itself, and the seven tracking parameters sent with "Set Parameters".
class Antenna_Information : public QuietDialog {
    Q_OBJECT

public:
    explicit Antenna_Information(QWidget* parent);

    // The product information of reply 2, the current region's names and the seven tracking
    // parameters, from the state of the controller behind the main window.
    void ShowProductInformation();
    void ShowRegionName();
    void ShowAntennaParameters();

private:
    void setField(const char* name, const QString& text);
    QString editText(const char* name) const;
};
