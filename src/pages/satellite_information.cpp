#include "pages/satellite_information.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "data/region_display.h"
#include "data/satellite_edit.h"
#include "data/satellite_tables.h"
#include "link/controller.h"
#include "pages/page_controller.h"
#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

// The satellite and its transponders on the left, its settings on the right, the LNB below.
// Transponder edits are named <v|h><low|high>_<freq|symbol|nid>, after the record's fields.
constexpr std::array kLayout = {
    ControlSpec{K::Label, 7, 8, 36, 8, "Satellite", "satellite_label"},
    ControlSpec{K::ComboBox, 45, 6, 80, 120, "", "satellite"},
    ControlSpec{K::Label, 7, 23, 36, 8, "Name", "name_label"},
    ControlSpec{K::Edit, 45, 21, 80, 12, "", "name"},
    ControlSpec{K::Label, 7, 38, 36, 8, "Longitude", "longitude_label"},
    ControlSpec{K::RightEdit, 45, 36, 32, 12, "", "longitude"},
    ControlSpec{K::ComboBox, 80, 36, 25, 40, "", "east_west"},

    ControlSpec{K::Group, 5, 52, 145, 48, "Vertical / RHCP", "vertical_group"},
    ControlSpec{K::CenteredLabel, 45, 62, 32, 8, "Freq.", "vertical_freq_head"},
    ControlSpec{K::CenteredLabel, 79, 62, 32, 8, "Symbol", "vertical_symbol_head"},
    ControlSpec{K::CenteredLabel, 113, 62, 32, 8, "NID", "vertical_nid_head"},
    ControlSpec{K::Label, 10, 73, 34, 8, "LowBand", "vertical_low_label"},
    ControlSpec{K::RightEdit, 45, 71, 32, 12, "", "vlow_freq"},
    ControlSpec{K::RightEdit, 79, 71, 32, 12, "", "vlow_symbol"},
    ControlSpec{K::RightEdit, 113, 71, 32, 12, "", "vlow_nid"},
    ControlSpec{K::Label, 10, 87, 34, 8, "HighBand", "vertical_high_label"},
    ControlSpec{K::RightEdit, 45, 85, 32, 12, "", "vhigh_freq"},
    ControlSpec{K::RightEdit, 79, 85, 32, 12, "", "vhigh_symbol"},
    ControlSpec{K::RightEdit, 113, 85, 32, 12, "", "vhigh_nid"},

    ControlSpec{K::Group, 5, 103, 145, 48, "Horizontal / LHCP", "horizontal_group"},
    ControlSpec{K::CenteredLabel, 45, 113, 32, 8, "Freq.", "horizontal_freq_head"},
    ControlSpec{K::CenteredLabel, 79, 113, 32, 8, "Symbol", "horizontal_symbol_head"},
    ControlSpec{K::CenteredLabel, 113, 113, 32, 8, "NID", "horizontal_nid_head"},
    ControlSpec{K::Label, 10, 124, 34, 8, "LowBand", "horizontal_low_label"},
    ControlSpec{K::RightEdit, 45, 122, 32, 12, "", "hlow_freq"},
    ControlSpec{K::RightEdit, 79, 122, 32, 12, "", "hlow_symbol"},
    ControlSpec{K::RightEdit, 113, 122, 32, 12, "", "hlow_nid"},
    ControlSpec{K::Label, 10, 138, 34, 8, "HighBand", "horizontal_high_label"},
    ControlSpec{K::RightEdit, 45, 136, 32, 12, "", "hhigh_freq"},
    ControlSpec{K::RightEdit, 79, 136, 32, 12, "", "hhigh_symbol"},
    ControlSpec{K::RightEdit, 113, 136, 32, 12, "", "hhigh_nid"},

    ControlSpec{K::Button, 5, 156, 145, 16, "Edit Satellite Information", "edit_satellite"},

    ControlSpec{K::Group, 156, 5, 112, 50, "Pol ＆ Band", "pol_band_group"},
    ControlSpec{K::RadioButton, 163, 16, 45, 10, "Auto", "pol_auto"},
    ControlSpec{K::RadioButton, 163, 28, 45, 10, "13V", "pol_13v"},
    ControlSpec{K::RadioButton, 163, 40, 45, 10, "18V", "pol_18v"},
    ControlSpec{K::RadioButton, 213, 16, 50, 10, "Auto", "tone_auto"},
    ControlSpec{K::RadioButton, 213, 28, 50, 10, "0kHz", "tone_0khz"},
    ControlSpec{K::RadioButton, 213, 40, 50, 10, "22kHz", "tone_22khz"},

    ControlSpec{K::Group, 156, 58, 112, 58, "Verification", "verification_group"},
    ControlSpec{K::RadioButton, 163, 69, 95, 10, "Signal Level", "verification_signal_level"},
    ControlSpec{K::RadioButton, 163, 80, 95, 10, "DVB Lock", "verification_dvb_lock"},
    ControlSpec{K::RadioButton, 163, 91, 95, 10, "DVD Decode", "verification_dvb_decode"},
    ControlSpec{K::RadioButton, 163, 102, 95, 10, "DSS Decode", "verification_dss_decode"},

    ControlSpec{K::Group, 156, 119, 112, 55, "DiSEqc", "diseqc_group"},
    ControlSpec{K::RadioButton, 163, 131, 10, 10, "", "diseqc_not_use_mark"},
    ControlSpec{K::RadioButton, 163, 146, 10, 10, "", "diseqc_change_band_mark"},
    ControlSpec{K::RadioButton, 163, 161, 10, 10, "", "diseqc_change_satellite_mark"},
    ControlSpec{K::Button, 178, 129, 82, 14, "Not Use", "diseqc_not_use"},
    ControlSpec{K::Button, 178, 144, 82, 14, "Change Band", "diseqc_change_band"},
    ControlSpec{K::Button, 178, 159, 82, 14, "Change Satellite", "diseqc_change_satellite"},

    ControlSpec{K::Group, 5, 177, 263, 48, "Local Frequency", "local_frequency_group"},
    ControlSpec{K::RadioButton, 12, 189, 65, 10, "Single Band", "single_band"},
    ControlSpec{K::RightEdit, 80, 188, 35, 12, "", "single_band_frequency"},
    ControlSpec{K::Label, 118, 190, 0, 8, "MHz", "single_band_mhz"},
    ControlSpec{K::RadioButton, 12, 207, 65, 10, "Universal LNB", "universal_lnb"},
    ControlSpec{K::Value, 80, 208, 50, 8, "", "universal_frequency"},
    ControlSpec{K::Label, 133, 208, 0, 8, "MHz", "universal_mhz"},
    ControlSpec{K::Button, 170, 193, 90, 18, "Set Local Frequency", "set_local_frequency"},
};

constexpr std::array kEditLimits = {
    EditLimit{"name", 12},        EditLimit{"longitude", 5}, EditLimit{"vlow_freq", 5},
    EditLimit{"vlow_symbol", 5},  EditLimit{"vlow_nid", 5},  EditLimit{"vhigh_freq", 5},
    EditLimit{"vhigh_symbol", 5}, EditLimit{"vhigh_nid", 5}, EditLimit{"hlow_freq", 5},
    EditLimit{"hlow_symbol", 5},  EditLimit{"hlow_nid", 5},  EditLimit{"hhigh_freq", 5},
    EditLimit{"hhigh_symbol", 5}, EditLimit{"hhigh_nid", 5}, EditLimit{"single_band_frequency", 5},
};

constexpr std::array kEastWest = {"E", "W"};

// Each group's ids are the values the ACU uses for the choice (polarisation 0..2, tone 0..2,
// verification 0..3, LNB type 0..1, DiSEqC mode 0..2).
constexpr std::array kPolarization = {"pol_auto", "pol_13v", "pol_18v"};
constexpr std::array kTone = {"tone_auto", "tone_0khz", "tone_22khz"};
constexpr std::array kVerification = {"verification_signal_level", "verification_dvb_lock",
                                      "verification_dvb_decode", "verification_dss_decode"};
constexpr std::array kLnbType = {"single_band", "universal_lnb"};
constexpr std::array kDiseqcMarks = {"diseqc_not_use_mark", "diseqc_change_band_mark",
                                     "diseqc_change_satellite_mark"};
constexpr std::array kDiseqcButtons = {"diseqc_not_use", "diseqc_change_band",
                                       "diseqc_change_satellite"};

// The twelve transponder boxes in the record's order.
constexpr std::array kTransponderBoxes = {
    "vlow_freq", "vlow_symbol", "vlow_nid", "vhigh_freq", "vhigh_symbol", "vhigh_nid",
    "hlow_freq", "hlow_symbol", "hlow_nid", "hhigh_freq", "hhigh_symbol", "hhigh_nid",
};

QString wide(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

Satellite_Information::Satellite_Information(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    setWindowFlags(Qt::Widget);  // a page inside the main window, hidden until shown
    buildControls(this, kLayout);
    applyEditLimits(this, kEditLimits);
    setFixedItems(this, "east_west", kEastWest);
    groupRadioButtons(this, "polarization", kPolarization);
    groupRadioButtons(this, "tone", kTone);
    groupRadioButtons(this, "verification", kVerification);
    groupRadioButtons(this, "lnb_type", kLnbType);
    groupRadioButtons(this, "diseqc_mode", kDiseqcMarks);
    keepButtonsOffEnter(this);

    // The radios only change the page's current choices; the push buttons send.
    using Choice = AcuController::EditChoice;
    const auto onChoice = [this](const char* groupName, Choice choice) {
        connect(findChild<QButtonGroup*>(QString::fromUtf8(groupName)), &QButtonGroup::idClicked,
                this, [this, choice](int id) {
                    if (AcuController* acu = controller()) {
                        acu->setEditChoice(choice, static_cast<std::uint8_t>(id));
                    }
                    if (choice == Choice::LnbType) enableLnbFields(id);
                });
    };
    onChoice("verification", Choice::Verification);
    onChoice("polarization", Choice::Polarization);
    onChoice("tone", Choice::Tone);
    onChoice("lnb_type", Choice::LnbType);
    // The DiSEqC marks only show the mode held (the region's, or the one last sent); a click on
    // a mark, or the arrow keys among them, would show a mode never sent, so it is taken back.
    connect(findChild<QButtonGroup*>(QStringLiteral("diseqc_mode")), &QButtonGroup::idClicked, this,
            [this] {
                if (AcuController* acu = controller()) {
                    showChoice("diseqc_mode", acu->state().data.DiseqcMode);
                }
            });
    connect(findChild<QComboBox*>(QStringLiteral("satellite")), &QComboBox::currentIndexChanged,
            this, [this](int index) { showEditSatellite(index); });

    const auto onClick = [this](const char* name, auto action) {
        connect(findChild<QPushButton*>(QString::fromUtf8(name)), &QPushButton::clicked, this,
                action);
    };
    onClick("edit_satellite", [this] {
        if (AcuController* acu = controller()) acu->sendEditedSatellite(readForm());
    });
    onClick("set_local_frequency", [this] {
        const auto* box = findChild<QLineEdit*>(QStringLiteral("single_band_frequency"));
        if (AcuController* acu = controller())
            acu->sendLocalFrequency(box->text().toStdU16String());
    });
    for (std::size_t mode = 0; mode < kDiseqcButtons.size(); ++mode) {
        onClick(kDiseqcButtons[mode], [this, mode] {
            AcuController* acu = controller();
            if (acu != nullptr && acu->sendDiseqcMode(static_cast<std::uint8_t>(mode))) {
                showChoice("diseqc_mode", static_cast<int>(mode));
            }
        });
    }
}

AcuController* Satellite_Information::controller() const {
    PageHost* window = pageHost(parentWidget());
    return window != nullptr ? &window->controller() : nullptr;
}

void Satellite_Information::showChoice(const char* groupName, int value) {
    auto* group = findChild<QButtonGroup*>(QString::fromUtf8(groupName));
    // An exclusive group cannot be left with nothing checked; a value outside the group's
    // choices must show none of them.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
    if (QAbstractButton* button = group->button(value)) button->setChecked(true);
}

void Satellite_Information::enableLnbFields(int lnbType) {
    if (lnbType != 0 && lnbType != 1) return;
    findChild<QWidget*>(QStringLiteral("single_band_frequency"))->setEnabled(lnbType == 0);
    findChild<QWidget*>(QStringLiteral("universal_frequency"))->setEnabled(lnbType == 1);
}

void Satellite_Information::clearSatellite() {
    findChild<QLineEdit*>(QStringLiteral("name"))->clear();
    findChild<QLineEdit*>(QStringLiteral("longitude"))->clear();
    findChild<QComboBox*>(QStringLiteral("east_west"))->setCurrentIndex(-1);
    for (const char* name : kTransponderBoxes) {
        findChild<QLineEdit*>(QString::fromUtf8(name))->clear();
    }
    for (const char* group : {"verification", "polarization", "tone"}) showChoice(group, -1);
}

void Satellite_Information::showEditSatellite(int k) {
    AcuController* acu = controller();
    if (acu == nullptr) return;
    const SatelliteRecord* sat = acu->takeEditSatellite(k);
    if (sat == nullptr) {
        clearSatellite();
    } else {
        const EditSatelliteTexts texts = editSatelliteTexts(*sat);
        findChild<QLineEdit*>(QStringLiteral("name"))->setText(wide(texts.name));
        findChild<QLineEdit*>(QStringLiteral("longitude"))
            ->setText(QString::fromStdString(texts.longitude));
        findChild<QComboBox*>(QStringLiteral("east_west"))->setCurrentIndex(texts.hemisphere);
        for (std::size_t i = 0; i < kTransponderBoxes.size(); ++i) {
            findChild<QLineEdit*>(QString::fromUtf8(kTransponderBoxes[i]))
                ->setText(QString::fromStdString(texts.transponders[i]));
        }
        showChoice("verification", sat->verification);
        showChoice("polarization", sat->polarization);
        showChoice("tone", sat->tone);
    }
    showChoice("diseqc_mode", acu->state().data.DiseqcMode);
}

void Satellite_Information::showLnbSetting() {
    AcuController* acu = controller();
    if (acu == nullptr) return;
    const SatelliteData& data = acu->state().data;
    showChoice("lnb_type", data.LnbType);
    enableLnbFields(data.LnbType);
    findChild<QLineEdit*>(QStringLiteral("single_band_frequency"))
        ->setText(QString::fromStdString(singleBandFrequencyText(data)));
    findChild<QLabel*>(QStringLiteral("universal_frequency"))
        ->setText(QString::fromStdString(universalFrequencyText(data)));
}

SatelliteForm Satellite_Information::readForm() const {
    SatelliteForm form;
    form.position = findChild<QComboBox*>(QStringLiteral("satellite"))->currentIndex();
    form.name = findChild<QLineEdit*>(QStringLiteral("name"))->text().toStdU16String();
    form.longitude = findChild<QLineEdit*>(QStringLiteral("longitude"))->text().toStdU16String();
    form.hemisphere = findChild<QComboBox*>(QStringLiteral("east_west"))->currentIndex();
    for (std::size_t i = 0; i < kTransponderBoxes.size(); ++i) {
        form.transponders[i] =
            findChild<QLineEdit*>(QString::fromUtf8(kTransponderBoxes[i]))->text().toStdU16String();
    }
    return form;
}
