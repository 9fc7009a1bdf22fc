#include "app/signal_pointing_window.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "app/pointing_charts.h"
#include "app/sky_view.h"
#include "data/satellite_tables.h"
#include "geo/pointing_error.h"
#include "link/frame_text.h"

namespace {

// How often a shown window looks for news; it redraws only when there is some.
constexpr auto kRefreshPeriod = std::chrono::milliseconds{250};
constexpr std::int64_t kAxisSteps = 12;
// Two points (lowest, highest) for every two pixel columns or so of a chart: the series are
// what a redraw costs most.
constexpr std::size_t kBuckets = 400;
// The sky view's track: the last ten minutes, at most this many dots.
constexpr std::int64_t kTrackMs = 10 * 60 * 1000;
constexpr std::size_t kTrackDots = 600;
// How far back the sky view looks for the last reply that carried a GPS position (setup
// mode replies carry none).
constexpr std::size_t kSiteLookBack = 3600;

struct RangeButton {
    const char* caption;
    const char* name;
    SignalPointingWindow::Range range;
    std::int64_t spanMs;
};
const RangeButton kRangeButtons[] = {
    {"Last minute", "range_minute", SignalPointingWindow::Range::Minute, 60 * 1000},
    {"10 minutes", "range_10min", SignalPointingWindow::Range::TenMinutes, 10 * 60 * 1000},
    {"Hour", "range_hour", SignalPointingWindow::Range::Hour, 3600 * 1000},
    {"All", "range_all", SignalPointingWindow::Range::All, 0},
};

QPushButton* button(QWidget* parent, const char* caption, const char* name) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    return b;
}

QLabel* label(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromUtf8(name));
    return l;
}

QString signedDegrees(double degrees) {
    // Rounded first, so that a dish on target reads +0.0 rather than -0.0.
    const double tenths = std::round(degrees * 10.0) / 10.0 + 0.0;
    return QString::asprintf("%+.1f", tenths) + QStringLiteral("°");
}

}  // namespace

SignalPointingWindow::SignalPointingWindow(const SatelliteData& data, QWidget* parent)
    : QWidget(parent, Qt::Window), m_Data(data) {
    setWindowTitle(QStringLiteral("Signal and Pointing"));
    setObjectName(QStringLiteral("signal_pointing"));
    resize(1180, 720);

    auto* controls = new QHBoxLayout;
    m_Ranges = new QButtonGroup(this);
    for (const RangeButton& r : kRangeButtons) {
        QPushButton* b = button(this, r.caption, r.name);
        b->setCheckable(true);
        b->setChecked(r.range == m_Range);
        m_Ranges->addButton(b, static_cast<int>(r.range));
        controls->addWidget(b);
    }
    controls->addStretch();
    m_PauseButton = button(this, "Pause", "pause_button");
    m_PauseButton->setCheckable(true);
    QPushButton* clear = button(this, "Clear", "clear_button");
    QPushButton* png = button(this, "Save as PNG…", "save_png_button");
    QPushButton* csv = button(this, "Save as CSV…", "save_csv_button");
    for (QPushButton* b : {m_PauseButton, clear, png, csv}) controls->addWidget(b);

    m_Charts = new PointingCharts(this);
    m_Sky = new SkyView(this);
    m_TargetAngles = label(this, "target_angles");
    m_PointingError = label(this, "pointing_error");
    QFont bigger = m_PointingError->font();
    bigger.setPixelSize(bigger.pixelSize() + 3);
    bigger.setBold(true);
    m_PointingError->setFont(bigger);
    auto* skyColumn = new QWidget(this);
    auto* skyLayout = new QVBoxLayout(skyColumn);
    skyLayout->setContentsMargins(0, 0, 0, 0);
    skyLayout->addWidget(m_Sky, 1);
    skyLayout->addWidget(m_TargetAngles);
    skyLayout->addWidget(m_PointingError);
    skyColumn->setMaximumWidth(400);
    auto* split = new QSplitter(this);
    split->addWidget(m_Charts);
    split->addWidget(skyColumn);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    m_Hover = label(this, "hover_values");
    m_Status = label(this, "pointing_status");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(split, 1);
    layout->addWidget(makeLegend());
    layout->addWidget(m_Hover);
    layout->addWidget(m_Status);

    connect(m_Ranges, &QButtonGroup::idClicked, this,
            [this](int id) { setRange(static_cast<Range>(id)); });
    connect(m_PauseButton, &QPushButton::toggled, this, [this](bool paused) {
        m_PauseButton->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        if (!paused) refreshNow();
        updateStatus();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_Samples.clear();
        refreshNow();
    });
    connect(png, &QPushButton::clicked, this, [this] { saveWithDialog(false); });
    connect(csv, &QPushButton::clicked, this, [this] { saveWithDialog(true); });
    connect(m_Charts, &PointingCharts::hovered, this, [this](qint64 atMs) {
        const QString text = valuesAt(atMs);
        m_Hover->setText(text);
        QToolTip::showText(QCursor::pos(), text, this);
    });

    m_RefreshTimer = new QTimer(this);
    m_RefreshTimer->setInterval(kRefreshPeriod);
    connect(m_RefreshTimer, &QTimer::timeout, this, [this] { onTick(); });
}

SignalPointingWindow::~SignalPointingWindow() = default;

QWidget* SignalPointingWindow::makeLegend() {
    auto* legend = new QWidget(this);
    auto* row = new QHBoxLayout(legend);
    row->setContentsMargins(0, 0, 0, 0);
    // Modes 1 and 6 share the setup colour; the label of 6 names both.
    for (const std::uint8_t state : PointingCharts::kBandStates) {
        if (state == 1) continue;
        auto* swatch = new QLabel(QString::fromUtf8(antennaModeName(state)), legend);
        swatch->setStyleSheet(QStringLiteral("background: %1; padding: 2px 6px;")
                                  .arg(PointingCharts::bandColor(state).name()));
        row->addWidget(swatch);
    }
    auto* link = new QLabel(QStringLiteral("┆ link opened"), legend);
    link->setStyleSheet(QStringLiteral("color: rgb(220, 0, 0); padding: 2px 6px;"));
    row->addWidget(link);
    row->addStretch();
    return legend;
}

void SignalPointingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_RefreshTimer->start();
    refreshNow();
}

void SignalPointingWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_RefreshTimer->stop();
}

void SignalPointingWindow::setRange(Range range) {
    m_Range = range;
    if (QAbstractButton* b = m_Ranges->button(static_cast<int>(range))) b->setChecked(true);
    refreshNow();
}

void SignalPointingWindow::onTick() {
    if (m_PauseButton->isChecked()) return;
    // Without news the charts only change when the time axis has to move on.
    if (m_Samples.pushed() != m_DrawnPushed || pointingClockMs() >= m_ToMs) refreshNow();
}

void SignalPointingWindow::refreshNow() {
    const std::int64_t now = pointingClockMs();
    m_DrawnPushed = m_Samples.pushed();
    // The newest sample may lie a little ahead of this clock after it was set back.
    const std::int64_t newest =
        m_Samples.size() > 0 ? std::max(now, m_Samples[m_Samples.size() - 1].atMs) : now;
    std::int64_t span = kRangeButtons[0].spanMs;
    for (const RangeButton& r : kRangeButtons) {
        if (r.range == m_Range) span = r.spanMs;
    }
    if (m_Range == Range::All && m_Samples.size() > 0) {
        span = std::max(span, newest - m_Samples[0].atMs);
    }
    // The time axis moves on in steps of a twelfth of the range, not every second: laying the
    // axes out again is what a redraw costs most.
    const std::int64_t step = std::max<std::int64_t>(1000, span / kAxisSteps);
    m_ToMs = (newest / step + 1) * step;
    m_FromMs = m_Range == Range::All && m_Samples.size() > 0 ? m_Samples[0].atMs : m_ToMs - span;
    reduceView(m_Samples, m_FromMs, m_ToMs, kBuckets, m_View);
    m_Charts->showView(m_View, m_FromMs, m_ToMs);
    showSky(now);
    updateStatus();
}

void SignalPointingWindow::showSky(std::int64_t nowMs) {
    const std::size_t size = m_Samples.size();
    const std::size_t first = m_Samples.lowerBound(nowMs - kTrackMs);
    const std::size_t step = std::max<std::size_t>(1, (size - first) / kTrackDots);
    QList<QPointF> track;
    // Stepping back from the newest, so the dish's present position is always the last dot.
    for (std::size_t i = size; i > first && i >= step; i -= step) {
        const PointingSample& s = m_Samples[i - 1];
        track.prepend(QPointF(s.azimuth, s.elevation));
    }
    m_Sky->showTrack(track);

    std::optional<LookAngles> target;
    for (std::size_t back = 0; back < std::min(size, kSiteLookBack) && !target; ++back) {
        const PointingSample& s = m_Samples[size - 1 - back];
        if (std::isnan(s.longitude) || std::isnan(s.latitude)) continue;
        target = targetLookAngles(m_Data, s.longitude, s.latitude, m_Data.DefaultSatIndex);
        break;
    }
    if (!target) {
        m_Sky->showTarget(std::nullopt);
        m_TargetAngles->setText(QStringLiteral("Target: no GPS position or no satellite data yet"));
        m_PointingError->clear();
        return;
    }
    m_Sky->showTarget(QPointF(target->azimuth, target->elevation));
    m_TargetAngles->setText(QStringLiteral("Target satellite: AZ %1°  EL %2°")
                                .arg(target->azimuth, 0, 'f', 1)
                                .arg(target->elevation, 0, 'f', 1));
    if (size == 0) return;
    const PointingSample& dish = m_Samples[size - 1];
    const PointingError error = pointingError(dish.azimuth, dish.elevation, *target);
    m_PointingError->setText(
        QStringLiteral("Dish off target: AZ %1  EL %2")
            .arg(signedDegrees(error.azimuth), signedDegrees(error.elevation)));
}

QString SignalPointingWindow::valuesAt(qint64 atMs) const {
    const PointingSample* s = m_Samples.nearest(atMs);
    if (s == nullptr) return {};
    QString state = QString::fromUtf8(antennaModeName(s->state));
    if (state.isEmpty()) state = QStringLiteral("state %1").arg(s->state);
    const QString signal = std::isnan(s->signal) ? QStringLiteral("-") : QString::number(s->signal);
    return QStringLiteral("%1   %2   Signal %3   AZ %4°   EL %5°   Skew %6°")
        .arg(QDateTime::fromMSecsSinceEpoch(s->atMs).toString(QStringLiteral("hh:mm:ss")), state,
             signal, QString::asprintf("%.2f", s->azimuth), QString::asprintf("%.2f", s->elevation),
             QString::asprintf("%.2f", s->skew));
}

void SignalPointingWindow::updateStatus() {
    QString text = QStringLiteral("%1 samples kept of %2 (24 hours at one a second)")
                       .arg(m_Samples.size())
                       .arg(m_Samples.capacity());
    if (m_PauseButton->isChecked()) text += QStringLiteral("   Paused");
    m_Status->setText(text);
}
