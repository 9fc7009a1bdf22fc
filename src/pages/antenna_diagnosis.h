#pragma once

#include <QRect>

#include "widgets/quiet_dialog.h"

// The page "Antenna Antenna_Diagnosis and Antenna Move": the ACU's self test with one lamp per
// item, and the dish moved to a position or by steps.
class Antenna_Diagnosis : public QuietDialog {
    Q_OBJECT

public:
    explicit Antenna_Diagnosis(QWidget* parent);

    // The placeholder of the first item's lamp, in page pixels; the other lamps and the legend
    // are drawn at fixed pixel steps from it.
    QRect diagLampRect() const;

    // The three "Current Position" fields and the start/stop button, as the controller asks.
    void showCurrentPosition(const QString& az, const QString& el, const QString& skew);
    void setDiagnosisButtonCaption(const QString& caption);

private:
    QString editText(const char* name) const;
};
