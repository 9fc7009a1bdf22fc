#pragma once

#include <QWidget>
#include <array>

#include "link/pointing_samples.h"

class QAreaSeries;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
class QXYSeries;

// Sets the series' points unless it has them already: an unchanged series is not drawn again.
void replacePoints(QXYSeries* series, const QList<QPointF>& points);

// The four time charts of the "Signal and Pointing" window, one above the other on one time
// axis: signal level, azimuth, elevation and skew, with the antenna state as coloured bands
// behind the curves and every link opening as a red line.
class PointingCharts : public QWidget {
    Q_OBJECT

public:
    // The antenna modes that get a band, in the order of the state lamps.
    static constexpr std::array<std::uint8_t, 7> kBandStates = {2, 3, 4, 5, 6, 7, 1};
    static QColor bandColor(std::uint8_t state);

    explicit PointingCharts(QWidget* parent = nullptr);

    // Draws view over the time from fromMs to toMs; the y axes fit what is shown.
    void showView(const PointingView& view, std::int64_t fromMs, std::int64_t toMs);

    QLineSeries* series(PointingChannel channel) const {
        return m_Charts[static_cast<std::size_t>(channel)].line;
    }
    // The bands drawn now, over all states.
    int bandCount() const { return m_BandCount; }

signals:
    // The mouse is over a chart at this time.
    void hovered(qint64 atMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Chart {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QLineSeries* line = nullptr;
        QValueAxis* y = nullptr;
        QDateTimeAxis* x = nullptr;
        std::array<QLineSeries*, kBandStates.size()> bandEdges{};
        QLineSeries* reconnects = nullptr;
        QPointF yRange;  // as last asked for, before the axis rounded it
    };
    Chart makeChart(const QString& title, QColor color);

    std::array<Chart, kPointingChannels> m_Charts;
    int m_BandCount = 0;
};
