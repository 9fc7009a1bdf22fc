#include "pages/antenna_diagnosis.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "link/controller.h"
#include "pages/page_controller.h"
#include "widgets/dialog_layout.h"
#include "wire/number_text.h"

namespace {

using K = ControlKind;

// The first lamp's placeholder sits where the lamps are drawn (35, 73 px), so the rows of
// lamps and labels below line up with it.
constexpr std::array kLayout = {
    ControlSpec{K::Group, 5, 5, 125, 222, "Antenna Antenna_Diagnosis", "diagnosis_group"},
    ControlSpec{K::Button, 20, 18, 95, 16, "Diagnosis Start", "diagnosis_start_stop"},
    ControlSpec{K::Placeholder, 20, 45, 12, 12, "", "diag_lamp"},

    ControlSpec{K::Group, 135, 5, 133, 222, "Antenna Move", "move_group"},
    ControlSpec{K::Group, 141, 17, 121, 40, "Current Position", "current_position_group"},
    ControlSpec{K::CenteredLabel, 146, 28, 34, 8, "AZ", "az_head"},
    ControlSpec{K::CenteredLabel, 184, 28, 34, 8, "EL", "el_head"},
    ControlSpec{K::CenteredLabel, 222, 28, 34, 8, "Skew", "skew_head"},
    ControlSpec{K::FramedCenteredValue, 146, 38, 34, 12, "", "current_az"},
    ControlSpec{K::FramedCenteredValue, 184, 38, 34, 12, "", "current_el"},
    ControlSpec{K::FramedCenteredValue, 222, 38, 34, 12, "", "current_skew"},

    ControlSpec{K::Group, 141, 62, 121, 48, "Go to Position", "go_to_group"},
    ControlSpec{K::Label, 148, 76, 20, 8, "AZ", "go_to_az_label"},
    ControlSpec{K::CenteredEdit, 168, 74, 36, 12, "", "go_to_az"},
    ControlSpec{K::Label, 148, 93, 20, 8, "EL", "go_to_el_label"},
    ControlSpec{K::CenteredEdit, 168, 91, 36, 12, "", "go_to_el"},
    ControlSpec{K::MultiLineButton, 210, 74, 46, 29, "Go to Position", "go_to_position"},

    ControlSpec{K::Group, 141, 115, 121, 66, "Antenna Move Step", "move_step_group"},
    ControlSpec{K::Label, 148, 130, 20, 8, "AZ", "az_step_label"},
    ControlSpec{K::Button, 170, 127, 26, 14, "CCW", "az_step_ccw"},
    ControlSpec{K::CenteredEdit, 199, 128, 28, 12, "", "az_step"},
    ControlSpec{K::Button, 230, 127, 26, 14, "CW", "az_step_cw"},
    ControlSpec{K::Label, 148, 147, 20, 8, "EL", "el_step_label"},
    ControlSpec{K::Button, 170, 144, 26, 14, "UP", "el_step_up"},
    ControlSpec{K::CenteredEdit, 199, 145, 28, 12, "", "el_step"},
    ControlSpec{K::Button, 230, 144, 26, 14, "DN", "el_step_down"},
    ControlSpec{K::Label, 148, 164, 20, 8, "Skew", "skew_step_label"},
    ControlSpec{K::Button, 170, 161, 26, 14, "-", "skew_step_minus"},
    ControlSpec{K::CenteredEdit, 199, 162, 28, 12, "", "skew_step"},
    ControlSpec{K::Button, 230, 161, 26, 14, "+", "skew_step_plus"},
};

constexpr std::array kEditLimits = {
    EditLimit{"go_to_az", 5}, EditLimit{"go_to_el", 5},  EditLimit{"az_step", 5},
    EditLimit{"el_step", 5},  EditLimit{"skew_step", 5},
};

// The items in the order of their lamps (the ACU's item numbers 1 to 10).
constexpr std::array kDiagItems = {
    "Serial Communication", "Gyro Sensor Check",  "LNB Status Check",
    "AZ CW Limit Check",    "AZ CCW Limit Check", "EL UP Limit Check",
    "Skew Limit Check",     "Antenna Power",      "ACU Power",
    "Receiver Connect",
};
constexpr std::array kLegend = {"Test", "PASS", "FAIL"};
constexpr std::array kLegendNames = {"legend_test", "legend_pass", "legend_fail"};

// The lamps are drawn in pixels from the first lamp: items 25 px apart, the legend 260 px
// below the first lamp with its lamps 60 px apart. Each label starts a little right of its lamp.
constexpr int kItemStep = 25;
constexpr int kLegendDown = 260;
constexpr int kLegendStep = 60;
constexpr int kLabelGap = 5;
constexpr int kLabelWidth = 150;
constexpr int kLegendLabelWidth = 34;

QLabel* addLampLabel(QWidget* page, const char* caption, const QString& name, QRect rect) {
    auto* label = new QLabel(QString::fromUtf8(caption), page);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(rect);
    return label;
}

}  // namespace

Antenna_Diagnosis::Antenna_Diagnosis(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    setWindowFlags(Qt::Widget);  // a page inside the main window, hidden until shown
    buildControls(this, kLayout);
    applyEditLimits(this, kEditLimits);

    const QRect lamp = diagLampRect();
    const int labelLeft = lamp.right() + 1 + kLabelGap;
    for (int k = 0; k < static_cast<int>(kDiagItems.size()); ++k) {
        const QRect rect(labelLeft, lamp.top() + k * kItemStep, kLabelWidth, lamp.height());
        addLampLabel(this, kDiagItems[k], QStringLiteral("diag_item_%1").arg(k + 1), rect);
    }
    for (int k = 0; k < static_cast<int>(kLegend.size()); ++k) {
        const QRect rect(labelLeft + k * kLegendStep, lamp.top() + kLegendDown, kLegendLabelWidth,
                         lamp.height());
        addLampLabel(this, kLegend[k], QString::fromUtf8(kLegendNames[k]), rect);
    }
    keepButtonsOffEnter(this);

    // Each button reads its fields as numbers, as typed numbers are read, and hands them to one
    // controller operation; the gates and the ranges are the controller's.
    using StepOperation = void (AcuController::*)(double);
    const auto onClick = [this](const char* name, auto operation) {
        connect(findChild<QPushButton*>(QString::fromUtf8(name)), &QPushButton::clicked, this,
                [this, operation] {
                    if (AcuController* controller = pageController(this)) operation(*controller);
                });
    };
    const auto onStep = [this, onClick](const char* name, const char* edit, StepOperation step) {
        onClick(name, [this, edit, step](AcuController& controller) {
            (controller.*step)(wideToReal(editText(edit).toStdU16String()));
        });
    };
    onClick("diagnosis_start_stop",
            [](AcuController& controller) { controller.OnDiagnosisStartStop(); });
    onClick("go_to_position", [this](AcuController& controller) {
        controller.OnGoToPosition(wideToReal(editText("go_to_az").toStdU16String()),
                                  wideToReal(editText("go_to_el").toStdU16String()));
    });
    onStep("az_step_ccw", "az_step", &AcuController::OnAzStepCcw);
    onStep("az_step_cw", "az_step", &AcuController::OnAzStepCw);
    onStep("el_step_up", "el_step", &AcuController::OnElStepUp);
    onStep("el_step_down", "el_step", &AcuController::OnElStepDown);
    onStep("skew_step_minus", "skew_step", &AcuController::OnSkewStepMinus);
    onStep("skew_step_plus", "skew_step", &AcuController::OnSkewStepPlus);
}

QString Antenna_Diagnosis::editText(const char* name) const {
    const auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
    return edit != nullptr ? edit->text() : QString();
}

void Antenna_Diagnosis::showCurrentPosition(const QString& az, const QString& el,
                                            const QString& skew) {
    findChild<QLabel*>(QStringLiteral("current_az"))->setText(az);
    findChild<QLabel*>(QStringLiteral("current_el"))->setText(el);
    findChild<QLabel*>(QStringLiteral("current_skew"))->setText(skew);
}

void Antenna_Diagnosis::setDiagnosisButtonCaption(const QString& caption) {
    findChild<QPushButton*>(QStringLiteral("diagnosis_start_stop"))->setText(caption);
}

QRect Antenna_Diagnosis::diagLampRect() const {
    const QWidget* placeholder = findChild<QWidget*>(QStringLiteral("diag_lamp"));
    return placeholder ? placeholder->geometry() : QRect();
}
