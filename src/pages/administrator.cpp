#include "pages/administrator.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <array>

#include "data/region_display.h"
#include "link/controller.h"
#include "pages/acu_lcd_display.h"
#include "pages/page_controller.h"
#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

// The satellite list runs down the left edge; the eleven details stand in two columns beside
// it, each caption above its field, and the LNB line spans the page below. The LNB field has
// room for two lines: in the large font its two halves do not fit on one.
constexpr std::array kLayout = {
    ControlSpec{K::Label, 5, 8, 34, 8, "Continent", "continent_label"},
    ControlSpec{K::ComboBox, 40, 6, 78, 100, "", "continent"},
    ControlSpec{K::Label, 124, 8, 24, 8, "Region", "region_label"},
    ControlSpec{K::ComboBox, 149, 6, 75, 100, "", "region"},
    ControlSpec{K::MultiLineButton, 229, 3, 39, 24, "LCD Display Font", "lcd_display_font"},
    ControlSpec{K::Button, 124, 24, 50, 12, "Load Factory Data", "load_factory_data"},
    ControlSpec{K::Button, 176, 24, 50, 12, "Update Factory Data", "update_factory_data"},

    ControlSpec{K::Label, 5, 28, 0, 8, "1. Satellite Information", "satellite_information_label"},
    ControlSpec{K::ListBox, 5, 38, 30, 150, "", "satellite_list"},

    ControlSpec{K::Label, 42, 38, 110, 8, "① Index", "index_label"},
    ControlSpec{K::FramedValue, 42, 47, 110, 13, "", "index"},
    ControlSpec{K::Label, 42, 63, 110, 8, "② Name", "name_label"},
    ControlSpec{K::FramedValue, 42, 72, 110, 13, "", "name"},
    ControlSpec{K::Label, 42, 88, 110, 8, "③ Longitude", "longitude_label"},
    ControlSpec{K::FramedValue, 42, 97, 110, 13, "", "longitude"},
    ControlSpec{K::Label, 42, 113, 110, 8, "④ VER Low Band", "ver_low_band_label"},
    ControlSpec{K::FramedValue, 42, 122, 110, 13, "", "ver_low_band"},
    ControlSpec{K::Label, 42, 138, 110, 8, "⑤ VER High Band", "ver_high_band_label"},
    ControlSpec{K::FramedValue, 42, 147, 110, 13, "", "ver_high_band"},
    ControlSpec{K::Label, 42, 163, 110, 8, "⑥ HOR Low Band", "hor_low_band_label"},
    ControlSpec{K::FramedValue, 42, 172, 110, 13, "", "hor_low_band"},
    ControlSpec{K::Label, 157, 38, 110, 8, "⑦ HOR High Band", "hor_high_band_label"},
    ControlSpec{K::FramedValue, 157, 47, 110, 13, "", "hor_high_band"},
    ControlSpec{K::Label, 157, 63, 110, 8, "⑧ Verfication", "verification_label"},
    ControlSpec{K::FramedValue, 157, 72, 110, 13, "", "verification"},
    ControlSpec{K::Label, 157, 88, 110, 8, "⑨ Polarization", "polarization_label"},
    ControlSpec{K::FramedValue, 157, 97, 110, 13, "", "polarization"},
    ControlSpec{K::Label, 157, 113, 110, 8, "⑩ 22kHz Tone", "tone_label"},
    ControlSpec{K::FramedValue, 157, 122, 110, 13, "", "tone"},
    ControlSpec{K::Label, 157, 138, 110, 8, "⑪ DiSEqc", "diseqc_label"},
    ControlSpec{K::FramedValue, 157, 147, 110, 13, "", "diseqc"},

    ControlSpec{K::Label, 5, 193, 0, 8, "2. LNB Information", "lnb_information_label"},
};

// The LNB field is made apart from the table, being a field of its own kind (below).
constexpr ControlSpec kLnbField{K::FramedValue, 5, 202, 263, 26, "", "lnb_information"};

constexpr std::array kValueFields = {
    "index",         "name",         "longitude",     "ver_low_band",
    "ver_high_band", "hor_low_band", "hor_high_band", "verification",
    "polarization",  "tone",         "diseqc",        "lnb_information",
};

// The LNB text is the LNB type and the local frequencies separated by a tab. In the large font
// the two halves do not fit side by side in the page, and wrapped at the field's width the
// line would break inside the frequencies, so each half is shown on a line of its own.
// text() keeps the tab.
class LnbInformationField : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);  // the border only
        QPainter painter(this);
        QString shown = text();
        shown.replace(QLatin1Char('\t'), QLatin1Char('\n'));
        const QRect area = contentsRect().adjusted(indent(), 0, 0, 0);
        style()->drawItemText(&painter, area, alignment(), palette(), isEnabled(), shown,
                              foregroundRole());
    }
};

// The fields are the page's reason to exist, so they are set large and dark: the font is the
// dialog font at 15 px and the heaviest weight, the colour RGB(0, 0, 125).
QFont administratorFont(const QFont& base) {
    QFont font = base;
    font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setWeight(QFont::Black);
    return font;
}

}  // namespace

Administrator::Administrator(QWidget* parent) : QuietDialog(parent, Qt::Widget) {
    setWindowFlags(Qt::Widget);  // a page inside the main window, hidden until shown
    buildControls(this, kLayout);
    auto* lnb = new LnbInformationField(this);
    lnb->setObjectName(QString::fromUtf8(kLnbField.name));
    lnb->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lnb->setIndent(2);
    lnb->setTextFormat(Qt::PlainText);  // as it paints it
    lnb->setGeometry(dialogRect(kLnbField.x, kLnbField.y, kLnbField.width, kLnbField.height));

    for (const char* name : kValueFields) {
        if (auto* field = findChild<QLabel*>(QString::fromUtf8(name))) {
            field->setFont(administratorFont(field->font()));
            setTextColour(field, QColor(0, 0, 125));
            // Text set later may end in a line break (the longitude does); aligned to the top
            // the first line stays in place. The LNB line wraps between its two halves.
            field->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    if (auto* list = findChild<QListWidget*>(QStringLiteral("satellite_list"))) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    // These two reach functions the main window's own buttons already offer; they are kept
    // on the page but never shown.
    for (const char* name : {"load_factory_data", "update_factory_data"}) {
        if (auto* button = findChild<QWidget*>(QString::fromUtf8(name))) button->hide();
    }
    keepButtonsOffEnter(this);
    connectSatelliteControls();
}

// The satellite list, its details, the LCD editor and the factory-data buttons. The
// continent and region selectors are wired apart from these.
void Administrator::connectSatelliteControls() {
    connect(findChild<QListWidget*>(QStringLiteral("satellite_list")),
            &QListWidget::currentRowChanged, this, [this] { showSatelliteDetails(); });
    const auto onClick = [this](const char* name, auto action) {
        connect(findChild<QPushButton*>(QString::fromUtf8(name)), &QPushButton::clicked, this,
                action);
    };
    onClick("lcd_display_font", [this] {
        if (PageHost* window = mainWindow()) window->showPage(window->lcdDisplay());
    });
    onClick("load_factory_data", [this] {
        if (PageHost* window = mainWindow()) window->loadDefaultData();
    });
    onClick("update_factory_data", [this] {
        PageHost* window = mainWindow();
        if (window == nullptr || window->controller().state().Connected != 1) return;
        window->controller().updateDefaultData(
            findChild<QComboBox*>(QStringLiteral("continent"))->currentIndex(),
            findChild<QComboBox*>(QStringLiteral("region"))->currentIndex());
    });
}

PageHost* Administrator::mainWindow() const {
    return pageHost(parentWidget());
}

void Administrator::fillAdminSatelliteList() {
    PageHost* window = mainWindow();
    if (window == nullptr) return;
    auto* list = findChild<QListWidget*>(QStringLiteral("satellite_list"));
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& entry : adminSatelliteListEntries(window->controller().state().data)) {
        list->addItem(QString::fromStdString(entry));
    }
    list->setCurrentRow(-1);
}

void Administrator::selectSatellite(int position) {
    auto* list = findChild<QListWidget*>(QStringLiteral("satellite_list"));
    const QSignalBlocker quiet(list);
    list->setCurrentRow(position >= 0 && position < list->count() ? position : -1);
}

void Administrator::showSatelliteDetails() {
    PageHost* window = mainWindow();
    if (window == nullptr) return;
    const int row = findChild<QListWidget*>(QStringLiteral("satellite_list"))->currentRow();
    const SatelliteDetailsTexts texts =
        currentSatelliteDetails(window->controller().state().data, row);
    const std::pair<const char*, QString> fields[] = {
        {"index", QString::fromStdString(texts.index)},
        {"name", QString::fromStdU16String(texts.name)},
        // The hemisphere is the record's own byte, shown as the character of that code.
        {"longitude", QString::fromLatin1(texts.longitude.data(),
                                          static_cast<qsizetype>(texts.longitude.size()))},
        {"ver_low_band", QString::fromStdString(texts.verLowBand)},
        {"ver_high_band", QString::fromStdString(texts.verHighBand)},
        {"hor_low_band", QString::fromStdString(texts.horLowBand)},
        {"hor_high_band", QString::fromStdString(texts.horHighBand)},
        {"verification", QString::fromStdString(texts.verification)},
        {"polarization", QString::fromStdString(texts.polarization)},
        {"tone", QString::fromStdString(texts.tone)},
        {"diseqc", QString::fromStdString(texts.diseqc)},
        {"lnb_information", QString::fromStdString(texts.lnbInformation)},
    };
    for (const auto& [name, text] : fields) {
        findChild<QLabel*>(QString::fromUtf8(name))->setText(text);
    }
}

void Administrator::showLnbInformation(const QString& text) {
    findChild<QLabel*>(QStringLiteral("lnb_information"))->setText(text);
}

void Administrator::showDownloadedRegion(const QString& continent, const QString& region) {
    const std::pair<const char*, QString> selectors[] = {{"continent", continent},
                                                         {"region", region}};
    for (const auto& [name, entry] : selectors) {
        auto* combo = findChild<QComboBox*>(QString::fromUtf8(name));
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItem(entry);
        combo->setCurrentIndex(0);
        combo->setEnabled(false);
    }
}
