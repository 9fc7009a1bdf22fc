#include "pages/antenna_information.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <string_view>

#include "data/antenna_info.h"
#include "data/region_display.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "pages/page_controller.h"
#include "widgets/dialog_layout.h"

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

// The typing limit of the named edit.
int limitOf(const char* name) {
    for (const EditLimit& limit : kEditLimits) {
        if (std::string_view(limit.name) == name) return limit.maxLength;
    }
    return 0;
}

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

    connect(
        findChild<QPushButton*>(QStringLiteral("set_parameters")), &QPushButton::clicked, this,
        [this] {
            AcuController* controller = pageController(this);
            if (controller == nullptr) return;
            controller->OnSetParameters(readAntennaParameters(
                {editText("tracking_scale").toStdU16String(),
                 editText("detect_level").toStdU16String(),
                 editText("tracking_level").toStdU16String(),
                 editText("el_adjust").toStdU16String(), editText("skew_adjust").toStdU16String(),
                 editText("signal_lost_time").toStdU16String(),
                 editText("break_time").toStdU16String()}));
        });
}

void Antenna_Information::setField(const char* name, const QString& text) {
    if (auto* field = findChild<QLabel*>(QString::fromUtf8(name))) field->setText(text);
}

QString Antenna_Information::editText(const char* name) const {
    const auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
    return edit != nullptr ? edit->text() : QString();
}

void Antenna_Information::ShowProductInformation() {
    const AcuController* controller = pageController(this);
    if (controller == nullptr) return;
    const ProductInformationTexts texts = productInformationTexts(controller->state().product);
    setField("antenna_type", QString::fromStdString(texts.antennaType));
    setField("antenna_model", QString::fromStdU16String(texts.antennaModel));
    setField("serial_number", QString::fromStdU16String(texts.serialNumber));
    setField("ant_sw_version", QString::fromStdString(texts.antSwVersion));
    setField("acu_sw_version", QString::fromStdString(texts.acuSwVersion));
    setField("library_version", QString::fromStdString(texts.libraryVersion));
    setField("antenna_power", QString::fromStdString(texts.antennaPower));
    setField("acu_power", QString::fromStdString(texts.acuPower));
    setField("receiver", QString::fromStdString(texts.receiver));
}

void Antenna_Information::ShowRegionName() {
    const AcuController* controller = pageController(this);
    if (controller == nullptr) return;
    const SatelliteData& data = controller->state().data;
    setField("continent", QString::fromStdString(continentName(data.CurContinent)));
    setField("region", QString::fromStdU16String(regionNameText(currentRegion(data))));
}

void Antenna_Information::ShowAntennaParameters() {
    const AcuController* controller = pageController(this);
    if (controller == nullptr) return;
    const AntennaParameterTexts texts = antennaParameterTexts(controller->state().parameters);
    const std::pair<const char*, const std::string*> edits[] = {
        {"tracking_scale", &texts.trackingScale}, {"detect_level", &texts.detectLevel},
        {"tracking_level", &texts.trackingLevel}, {"el_adjust", &texts.elAdjust},
        {"skew_adjust", &texts.skewAdjust},       {"signal_lost_time", &texts.signalLostTime},
        {"break_time", &texts.breakTime}};
    for (const auto& [name, text] : edits) {
        auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
        if (edit == nullptr) continue;
        // The limit is on typing only: a value such as "-0.25" is longer than the four
        // characters its edit takes, and cutting it would send a different number with the
        // next "Set Parameters". The edit takes as many as the value shows.
        const QString shown = QString::fromStdString(*text);
        const int typed = limitOf(name);
        edit->setMaxLength(std::max(typed, static_cast<int>(shown.size())));
        edit->setText(shown);
    }
}
