#pragma once

#include <QRect>

#include "widgets/quiet_dialog.h"

struct AntennaGpsTexts;
struct LookAngleInputs;
class QComboBox;
class QLabel;
class QLineEdit;

// The page "Set GPS and Antenna Angle Calculation": the antenna's reported GPS position with
// its link lamps, a position typed by the user, and the look-angle calculation.
class Set_GPS : public QuietDialog {
    Q_OBJECT

public:
    explicit Set_GPS(QWidget* parent);

    // The placeholder that the two GPS lamps are drawn over, in page pixels.
    QRect gpsLampRect() const;

    // The "Antenna GPS" group: the position the ACU reported last.
    void showAntennaGps(const AntennaGpsTexts& texts);
    // The satellite "Longitude" box and its selector for entry position of the region's
    // satellites, as when the user picks that satellite.
    void ShowSatelliteLongitude(int position);

private:
    void useAntennaGps();
    void useRegionGps();
    // An empty hemisphere selector is computed as W or S: it is made to show that.
    void showTakenHemisphere(const char* name);
    void showResults(LookAngleInputs inputs);
    QLabel* label(const char* name) const;
    QLineEdit* edit(const char* name) const;
    QComboBox* combo(const char* name) const;
};
