#include "pages/set_gps.h"

#include <array>

#include "app/dialog_layout.h"

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
}

QRect Set_GPS::gpsLampRect() const {
    const QWidget* placeholder = findChild<QWidget*>(QStringLiteral("gps_lamp"));
    return placeholder ? placeholder->geometry() : QRect();
}
