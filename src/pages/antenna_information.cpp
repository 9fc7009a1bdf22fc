#include "pages/antenna_information.h"

#include <QLabel>
#include <array>

#include "app/dialog_layout.h"

namespace {

using K = ControlKind;

// What the ACU reports on the left, the parameters on the right. The parameter captions wrap
// onto two lines beside their edits: the longest would not fit the column on one.
constexpr std::array kLayout = {
    ControlSpec{K::Group, 5, 5, 150, 50, "Product Information", "product_group"},
    ControlSpec{K::Label, 11, 18, 50, 8, "Antenna Model", "antenna_model_label"},
    ControlSpec{K::FramedValue, 62, 16, 88, 11, "", "antenna_model"},
    ControlSpec{K::Label, 11, 30, 50, 8, "Antenna Type", "antenna_type_label"},
    ControlSpec{K::FramedValue, 62, 28, 88, 11, "", "antenna_type"},
    ControlSpec{K::Label, 11, 42, 50, 8, "Serial Number", "serial_number_label"},
    ControlSpec{K::FramedValue, 62, 40, 88, 11, "", "serial_number"},

    ControlSpec{K::Group, 5, 60, 150, 113, "Antenna Information", "antenna_group"},
    ControlSpec{K::Label, 11, 73, 50, 8, "Ant S/W Ver.", "ant_sw_version_label"},
    ControlSpec{K::FramedValue, 62, 71, 88, 11, "", "ant_sw_version"},
    ControlSpec{K::Label, 11, 85, 50, 8, "ACU S/W Ver.", "acu_sw_version_label"},
    ControlSpec{K::FramedValue, 62, 83, 88, 11, "", "acu_sw_version"},
    ControlSpec{K::Label, 11, 97, 50, 8, "Library Ver.", "library_version_label"},
    ControlSpec{K::FramedValue, 62, 95, 88, 11, "", "library_version"},
    ControlSpec{K::Label, 11, 109, 50, 8, "Antenna Power", "antenna_power_label"},
    ControlSpec{K::FramedValue, 62, 107, 88, 11, "", "antenna_power"},
    ControlSpec{K::Label, 11, 121, 50, 8, "ACU Power", "acu_power_label"},
    ControlSpec{K::FramedValue, 62, 119, 88, 11, "", "acu_power"},
    ControlSpec{K::Label, 11, 133, 50, 8, "RECEIVER", "receiver_label"},
    ControlSpec{K::FramedValue, 62, 131, 88, 11, "", "receiver"},
    ControlSpec{K::Label, 11, 145, 50, 8, "Continent", "continent_label"},
    ControlSpec{K::FramedValue, 62, 143, 88, 11, "", "continent"},
    ControlSpec{K::Label, 11, 157, 50, 8, "Region", "region_label"},
    ControlSpec{K::FramedValue, 62, 155, 88, 11, "", "region"},

    ControlSpec{K::Group, 160, 5, 108, 168, "Parameter Setting", "parameter_group"},
    ControlSpec{K::WrappedLabel, 166, 14, 62, 18, "Tracking Scale", "tracking_scale_label"},
    ControlSpec{K::CenteredEdit, 232, 17, 30, 12, "", "tracking_scale"},
    ControlSpec{K::WrappedLabel, 166, 33, 62, 18, "Detect Level Threshold", "detect_level_label"},
    ControlSpec{K::CenteredEdit, 232, 36, 30, 12, "", "detect_level"},
    ControlSpec{K::WrappedLabel, 166, 52, 62, 18, "Tracking Level Threshold",
                "tracking_level_label"},
    ControlSpec{K::CenteredEdit, 232, 55, 30, 12, "", "tracking_level"},
    ControlSpec{K::WrappedLabel, 166, 71, 62, 18, "EL Adjust", "el_adjust_label"},
    ControlSpec{K::CenteredEdit, 232, 74, 30, 12, "", "el_adjust"},
    ControlSpec{K::WrappedLabel, 166, 90, 62, 18, "Skew Adjust", "skew_adjust_label"},
    ControlSpec{K::CenteredEdit, 232, 93, 30, 12, "", "skew_adjust"},
    ControlSpec{K::WrappedLabel, 166, 109, 62, 18, "Signal lost time", "signal_lost_time_label"},
    ControlSpec{K::CenteredEdit, 232, 112, 30, 12, "", "signal_lost_time"},
    ControlSpec{K::WrappedLabel, 166, 128, 62, 18, "Antenna Break Time", "break_time_label"},
    ControlSpec{K::CenteredEdit, 232, 131, 30, 12, "", "break_time"},
    ControlSpec{K::Button, 174, 151, 80, 16, "Set Parameters", "set_parameters"},
};

constexpr std::array kEditLimits = {
    EditLimit{"tracking_scale", 4}, EditLimit{"detect_level", 4}, EditLimit{"tracking_level", 4},
    EditLimit{"el_adjust", 4},      EditLimit{"skew_adjust", 4},  EditLimit{"signal_lost_time", 3},
    EditLimit{"break_time", 3},
};

// The eleven fields the ACU's report fills, drawn in blue so they stand apart from captions.
constexpr std::array kReportedFields = {
    "antenna_model",  "antenna_type",    "serial_number", "ant_sw_version",
    "acu_sw_version", "library_version", "antenna_power", "acu_power",
    "receiver",       "continent",       "region",
};

constexpr std::array kParameterLabels = {
    "tracking_scale_label", "detect_level_label",     "tracking_level_label", "el_adjust_label",
    "skew_adjust_label",    "signal_lost_time_label", "break_time_label",
};

}  // namespace

Antenna_Information::Antenna_Information(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    setWindowFlags(Qt::Widget);  // a page inside the main window, hidden until shown
    buildControls(this, kLayout);
    applyEditLimits(this, kEditLimits);
    for (const char* name : kReportedFields) {
        if (auto* field = findChild<QLabel*>(QString::fromUtf8(name))) {
            setTextColour(field, QColor(0, 0, 255));
        }
    }
    // A one-line caption sits level with its edit, a two-line one around it.
    for (const char* name : kParameterLabels) {
        if (auto* label = findChild<QLabel*>(QString::fromUtf8(name))) {
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    keepButtonsOffEnter(this);
}

void Antenna_Information::ShowProductInformation() {}
void Antenna_Information::ShowRegionName() {}
void Antenna_Information::ShowAntennaParameters() {}
