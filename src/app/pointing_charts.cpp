#include "app/pointing_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace {

constexpr qreal kLineWidth = 1.5;
// The band of a lone reply still shows: one poll period wide.
constexpr std::int64_t kNarrowestBandMs = 1000;
// Beyond two hours the seconds of the time labels are noise.
constexpr std::int64_t kSecondsLabelsUpToMs = 2 * 3600 * 1000;

struct ChannelLook {
    const char* title;
    const char* labels;
    QColor color;
    double smallestSpan;  // the y axis never zooms in further than this
};
const ChannelLook kChannels[] = {
    {"Signal", "%.0f", QColor(0, 0, 200), 20.0},
    {"AZ (°)", "%.1f", QColor(0, 120, 0), 1.0},
    {"EL (°)", "%.1f", QColor(160, 60, 0), 1.0},
    {"Skew (°)", "%.1f", QColor(110, 0, 140), 1.0},
};

}  // namespace

void replacePoints(QXYSeries* series, const QList<QPointF>& points) {
    if (series->points() != points) series->replace(points);
}

QColor PointingCharts::bandColor(std::uint8_t state) {
    switch (state) {
        case 2:  // initialising
            return QColor(218, 218, 218);
        case 3:  // searching
            return QColor(255, 226, 170);
        case 4:  // tracking
            return QColor(200, 238, 200);
        case 5:  // break
            return QColor(232, 206, 240);
        case 6:  // stop / setup
        case 1:
            return QColor(255, 204, 204);
        case 7:  // diagnosis
            return QColor(200, 218, 255);
        default:
            return QColor(Qt::white);
    }
}

PointingCharts::PointingCharts(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (std::size_t c = 0; c < kPointingChannels; ++c) {
        m_Charts[c] = makeChart(QString::fromUtf8(kChannels[c].title), kChannels[c].color);
        m_Charts[c].y->setLabelFormat(QString::fromLatin1(kChannels[c].labels));
        layout->addWidget(m_Charts[c].view, 1);
    }
}

PointingCharts::Chart PointingCharts::makeChart(const QString& title, QColor color) {
    Chart c;
    c.chart = new QChart;
    c.chart->legend()->hide();
    c.chart->setAnimationOptions(QChart::NoAnimation);
    c.chart->setBackgroundRoundness(0);
    c.chart->setMargins(QMargins(2, 2, 2, 2));

    c.x = new QDateTimeAxis(c.chart);
    c.x->setFormat(QStringLiteral("hh:mm:ss"));
    c.x->setTickCount(7);
    // Time labels under every chart, not only the last: each chart then reads on its own, and
    // all four keep the same margins, so one time lies at one x in all of them.
    c.y = new QValueAxis(c.chart);
    c.y->setTitleText(title);
    c.y->setTickCount(4);
    // The bands and link marks span the plot's height whatever the curve's scale.
    auto* whole = new QValueAxis(c.chart);
    whole->setRange(0.0, 1.0);
    whole->setVisible(false);
    c.chart->addAxis(c.x, Qt::AlignBottom);
    c.chart->addAxis(c.y, Qt::AlignLeft);
    c.chart->addAxis(whole, Qt::AlignRight);

    for (std::size_t s = 0; s < kBandStates.size(); ++s) {
        c.bandEdges[s] = new QLineSeries(c.chart);
        auto* band = new QAreaSeries(c.bandEdges[s]);
        band->setColor(bandColor(kBandStates[s]));
        band->setPen(Qt::NoPen);
        c.chart->addSeries(band);
        band->attachAxis(c.x);
        band->attachAxis(whole);
    }
    c.reconnects = new QLineSeries;
    c.reconnects->setPen(QPen(QColor(220, 0, 0), 1.0, Qt::DashLine));
    c.chart->addSeries(c.reconnects);
    c.reconnects->attachAxis(c.x);
    c.reconnects->attachAxis(whole);

    c.line = new QLineSeries;
    c.line->setPen(QPen(color, kLineWidth));
    c.chart->addSeries(c.line);
    c.line->attachAxis(c.x);
    c.line->attachAxis(c.y);

    c.view = new QChartView(c.chart, this);
    // Without antialiasing: the curves are steps and flat runs, and a redraw costs half.
    c.view->setRenderHint(QPainter::Antialiasing, false);
    c.view->setMinimumHeight(110);
    c.view->viewport()->setMouseTracking(true);
    c.view->viewport()->installEventFilter(this);
    return c;
}

void PointingCharts::showView(const PointingView& view, std::int64_t fromMs, std::int64_t toMs) {
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(fromMs);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(std::max(toMs, fromMs + 1));
    const QString format =
        toMs - fromMs > kSecondsLabelsUpToMs ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm:ss");
    std::array<QList<QPointF>, kBandStates.size()> bandEdges;
    m_BandCount = 0;
    for (const StateBand& band : view.bands) {
        const auto* state = std::find(kBandStates.begin(), kBandStates.end(), band.state);
        if (state == kBandStates.end()) continue;
        const auto left = static_cast<qreal>(band.fromMs);
        const auto right = static_cast<qreal>(std::max(band.toMs, band.fromMs + kNarrowestBandMs));
        auto& edges = bandEdges[static_cast<std::size_t>(state - kBandStates.begin())];
        edges << QPointF(left, 0.0) << QPointF(left, 1.0) << QPointF(right, 1.0)
              << QPointF(right, 0.0);
        ++m_BandCount;
    }
    QList<QPointF> marks;
    for (const std::int64_t at : view.reconnects) {
        const auto x = static_cast<qreal>(at);
        marks << QPointF(x, 0.0) << QPointF(x, 1.0) << QPointF(x, 0.0);
    }

    for (std::size_t c = 0; c < kPointingChannels; ++c) {
        Chart& chart = m_Charts[c];
        // Axes laid out again only when their range really moved: that is most of a redraw.
        if (chart.x->format() != format) chart.x->setFormat(format);
        if (chart.x->min() != from || chart.x->max() != to) chart.x->setRange(from, to);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(view.series[c].size()));
        double low = 0.0;
        double high = 0.0;
        for (const ChartPoint& point : view.series[c]) {
            const double value = point.value;
            if (points.isEmpty() || value < low) low = value;
            if (points.isEmpty() || value > high) high = value;
            points.append(QPointF(static_cast<qreal>(point.atMs), value));
        }
        replacePoints(chart.line, points);
        // A flat curve sits in the middle of a span that still reads as flat.
        const double pad = std::max((high - low) * 0.08, kChannels[c].smallestSpan / 2.0);
        if (const QPointF range(low - pad, high + pad); chart.yRange != range) {
            chart.yRange = range;
            chart.y->setRange(range.x(), range.y());
            chart.y->applyNiceNumbers();
        }
        for (std::size_t s = 0; s < kBandStates.size(); ++s) {
            replacePoints(chart.bandEdges[s], bandEdges[s]);
        }
        replacePoints(chart.reconnects, marks);
    }
}

bool PointingCharts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        for (const Chart& chart : m_Charts) {
            if (chart.view->viewport() != watched) continue;
            const QPointF scene = chart.view->mapToScene(static_cast<QMouseEvent*>(event)->pos());
            const QPointF value =
                chart.chart->mapToValue(chart.chart->mapFromScene(scene), chart.line);
            emit hovered(static_cast<qint64>(value.x()));
        }
    }
    return QWidget::eventFilter(watched, event);
}
