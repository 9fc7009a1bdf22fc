#include "pages/set_gps.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "geo/gps_inputs.h"
#include "geo/look_angles.h"
#include "link/controller.h"
#include "pages/page_controller.h"
#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

// Rows without a position of their own (the captions before the fields, the result captions)
// are lined up with the fields they name. The two frames that reach the right edge end one
// unit short of 269: the page area is 470 px wide, and 269 units would put their right line
// just outside it.
constexpr std::array kLayout = {
    ControlSpec{K::Group, 5, 5, 130, 70, "Antenna GPS", "antenna_gps_group"},
    ControlSpec{K::Placeholder, 16, 20, 10, 10, "", "gps_lamp"},
    ControlSpec{K::Label, 31, 21, 0, 8, "GPS Link", "gps_link_label"},
    ControlSpec{K::Label, 81, 21, 0, 8, "GPS Not Link", "gps_not_link_label"},
    ControlSpec{K::Label, 14, 40, 50, 8, "Longitude ：", "antenna_longitude_label"},
    ControlSpec{K::FramedRightValue, 66, 38, 30, 12, "0.0", "antenna_longitude"},
    ControlSpec{K::FramedCenteredValue, 98, 38, 12, 12, "E", "antenna_longitude_hemisphere"},
    ControlSpec{K::Label, 14, 55, 50, 8, "Latitude ：", "antenna_latitude_label"},
    ControlSpec{K::FramedRightValue, 66, 53, 30, 12, "0.0", "antenna_latitude"},
    ControlSpec{K::FramedCenteredValue, 98, 53, 12, 12, "N", "antenna_latitude_hemisphere"},

    ControlSpec{K::Group, 139, 5, 129, 70, "Region GPS", "region_gps_group"},
    ControlSpec{K::Label, 148, 20, 50, 8, "Longitude ：", "region_longitude_label"},
    ControlSpec{K::RightEdit, 200, 18, 30, 12, "", "region_longitude"},
    ControlSpec{K::Label, 231, 20, 0, 8, "˚", "region_longitude_degree"},
    ControlSpec{K::ComboBox, 239, 18, 25, 12, "", "region_longitude_hemisphere"},
    ControlSpec{K::Label, 148, 35, 50, 8, "Latitude ：", "region_latitude_label"},
    ControlSpec{K::RightEdit, 200, 33, 30, 12, "", "region_latitude"},
    ControlSpec{K::Label, 231, 35, 0, 8, "˚", "region_latitude_degree"},
    ControlSpec{K::ComboBox, 239, 33, 25, 12, "", "region_latitude_hemisphere"},

    ControlSpec{K::Group, 5, 82, 263, 110, "Antenna Angle Calculation", "angle_group"},
    ControlSpec{K::Label, 14, 106, 34, 8, "Satellite", "satellite_label"},
    ControlSpec{K::ComboBox, 50, 104, 90, 120, "", "satellite"},
    ControlSpec{K::Label, 14, 126, 34, 8, "Longitude", "satellite_longitude_label"},
    ControlSpec{K::RightEdit, 50, 124, 28, 12, "", "satellite_longitude"},
    ControlSpec{K::Label, 79, 125, 0, 8, "˚", "satellite_longitude_degree"},
    ControlSpec{K::ComboBox, 86, 124, 25, 12, "", "satellite_longitude_hemisphere"},
    ControlSpec{K::Label, 160, 105, 42, 8, "Azimuth", "azimuth_label"},
    ControlSpec{K::FramedRightValue, 204, 103, 30, 12, "", "azimuth"},
    ControlSpec{K::Label, 236, 104, 0, 8, "˚", "azimuth_degree"},
    ControlSpec{K::Label, 160, 120, 42, 8, "Elevation", "elevation_label"},
    ControlSpec{K::FramedRightValue, 204, 118, 30, 12, "", "elevation"},
    ControlSpec{K::Label, 236, 119, 0, 8, "˚", "elevation_degree"},
    ControlSpec{K::Label, 160, 135, 42, 8, "Skew", "skew_label"},
    ControlSpec{K::FramedRightValue, 204, 133, 30, 12, "", "skew"},
    ControlSpec{K::Label, 236, 134, 0, 8, "˚", "skew_degree"},
    ControlSpec{K::WrappedLabel, 24, 161, 60, 20, "Angle ＆ Skew Calculation", "calculation_label"},
    ControlSpec{K::MultiLineButton, 90, 153, 70, 30, "Use Antenna GPS", "use_antenna_gps"},
    ControlSpec{K::MultiLineButton, 164, 153, 70, 30, "Use Region GPS", "use_region_gps"},
};

// Latitudes are typed as at most "37.5", longitudes as at most "127.5".
constexpr std::array kEditLimits = {
    EditLimit{"region_longitude", 5},
    EditLimit{"region_latitude", 4},
    EditLimit{"satellite_longitude", 5},
};

constexpr std::array kEastWest = {"E", "W"};
constexpr std::array kNorthSouth = {"N", "S"};

// Texts cross to the core as 8-bit characters, a character standing for the low byte of its
// code, so a stored letter comes back as the same byte.
std::string bytesOf(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) bytes.push_back(static_cast<char>(c.unicode() & 0xFF));
    return bytes;
}

QString textOf(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

Set_GPS::Set_GPS(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    // QDialog turns a window type of Qt::Widget into Qt::Dialog; a page lives inside the main
    // window, so it is made a plain child again. It starts hidden like every page.
    setWindowFlags(Qt::Widget);
    buildControls(this, kLayout);
    applyEditLimits(this, kEditLimits);
    setFixedItems(this, "region_longitude_hemisphere", kEastWest);
    setFixedItems(this, "region_latitude_hemisphere", kNorthSouth);
    setFixedItems(this, "satellite_longitude_hemisphere", kEastWest);
    keepButtonsOffEnter(this);

    // A pick by the user only: the region refresh fills the box itself when it selects.
    connect(combo("satellite"), &QComboBox::activated, this,
            [this](int position) { ShowSatelliteLongitude(position); });
    connect(findChild<QPushButton*>(QStringLiteral("use_antenna_gps")), &QPushButton::clicked, this,
            [this] { useAntennaGps(); });
    connect(findChild<QPushButton*>(QStringLiteral("use_region_gps")), &QPushButton::clicked, this,
            [this] { useRegionGps(); });
}

QRect Set_GPS::gpsLampRect() const {
    const QWidget* placeholder = findChild<QWidget*>(QStringLiteral("gps_lamp"));
    return placeholder ? placeholder->geometry() : QRect();
}

QLabel* Set_GPS::label(const char* name) const {
    return findChild<QLabel*>(QString::fromUtf8(name));
}

QLineEdit* Set_GPS::edit(const char* name) const {
    return findChild<QLineEdit*>(QString::fromUtf8(name));
}

QComboBox* Set_GPS::combo(const char* name) const {
    return findChild<QComboBox*>(QString::fromUtf8(name));
}

void Set_GPS::showAntennaGps(const AntennaGpsTexts& texts) {
    label("antenna_longitude")->setText(textOf(texts.longitude));
    label("antenna_longitude_hemisphere")->setText(textOf(texts.longitudeHemisphere));
    label("antenna_latitude")->setText(textOf(texts.latitude));
    label("antenna_latitude_hemisphere")->setText(textOf(texts.latitudeHemisphere));
}

void Set_GPS::ShowSatelliteLongitude(int position) {
    const AcuController* controller = pageController(this);
    if (controller == nullptr) return;
    const std::optional<SatelliteLongitude> shown =
        satelliteLongitudeFor(controller->state().data, position);
    if (!shown) return;
    edit("satellite_longitude")->setText(textOf(shown->text));
    combo("satellite_longitude_hemisphere")->setCurrentIndex(shown->east ? 0 : 1);
}

void Set_GPS::showTakenHemisphere(const char* name) {
    // No choice reads as the second entry (W or S); the selector says so before the result
    // shows what was computed from it.
    QComboBox* hemisphere = combo(name);
    if (hemisphere->currentIndex() < 0) hemisphere->setCurrentIndex(1);
}

void Set_GPS::useAntennaGps() {
    showTakenHemisphere("satellite_longitude_hemisphere");
    const TypedPosition satellite{bytesOf(edit("satellite_longitude")->text()),
                                  combo("satellite_longitude_hemisphere")->currentIndex() == 0};
    const AntennaGpsTexts antenna{bytesOf(label("antenna_longitude")->text()),
                                  bytesOf(label("antenna_longitude_hemisphere")->text()),
                                  bytesOf(label("antenna_latitude")->text()),
                                  bytesOf(label("antenna_latitude_hemisphere")->text())};
    showResults(ReadAntennaGpsInputs(satellite, antenna));
}

void Set_GPS::useRegionGps() {
    for (const char* name : {"satellite_longitude_hemisphere", "region_longitude_hemisphere",
                             "region_latitude_hemisphere"}) {
        showTakenHemisphere(name);
    }
    const TypedPosition satellite{bytesOf(edit("satellite_longitude")->text()),
                                  combo("satellite_longitude_hemisphere")->currentIndex() == 0};
    const TypedPosition longitude{bytesOf(edit("region_longitude")->text()),
                                  combo("region_longitude_hemisphere")->currentIndex() == 0};
    const TypedPosition latitude{bytesOf(edit("region_latitude")->text()),
                                 combo("region_latitude_hemisphere")->currentIndex() == 0};
    showResults(ReadRegionGpsInputs(satellite, longitude, latitude));
}

void Set_GPS::showResults(LookAngleInputs inputs) {
    AcuController* controller = pageController(this);
    const LookAngleTexts texts = controller != nullptr ? controller->calculateLookAngles(inputs)
                                                       : calculateLookAngles(inputs);
    label("azimuth")->setText(textOf(texts.azimuth));
    label("elevation")->setText(textOf(texts.elevation));
    label("skew")->setText(textOf(texts.skew));
}
