#include "app/sky_view.h"

#include <QCategoryAxis>
#include <QPolarChart>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

constexpr double kZenith = 90.0;

// The chart's radius is the distance from the zenith; anything at or below the horizon sits
// on the rim.
QPointF onSky(QPointF azEl) {
    return {azEl.x(), std::clamp(kZenith - azEl.y(), 0.0, kZenith)};
}

QScatterSeries* markers(QColor color, qreal size, QScatterSeries::MarkerShape shape) {
    auto* series = new QScatterSeries;
    series->setColor(color);
    series->setBorderColor(color);
    series->setMarkerSize(size);
    series->setMarkerShape(shape);
    return series;
}

}  // namespace

SkyView::SkyView(QWidget* parent) : QChartView(parent) {
    m_Chart = new QPolarChart;
    m_Chart->legend()->hide();
    m_Chart->setAnimationOptions(QChart::NoAnimation);
    m_Chart->setMargins(QMargins(0, 0, 0, 0));
    m_Chart->setBackgroundRoundness(0);

    auto* azimuth = new QValueAxis(m_Chart);
    azimuth->setRange(0.0, 360.0);
    azimuth->setTickCount(9);  // every 45 degrees
    azimuth->setLabelFormat(QStringLiteral("%.0f°"));
    auto* elevation = new QCategoryAxis(m_Chart);
    elevation->setRange(0.0, kZenith);
    elevation->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int el = 90; el >= 0; el -= 30) {
        elevation->append(QStringLiteral("%1°").arg(el), kZenith - el);
    }
    m_Chart->addAxis(azimuth, QPolarChart::PolarOrientationAngular);
    m_Chart->addAxis(elevation, QPolarChart::PolarOrientationRadial);

    // Dots rather than a line: a line from 359 to 1 degree would be drawn the long way round.
    m_Track = markers(QColor(120, 150, 220), 4.0, QScatterSeries::MarkerShapeCircle);
    m_Target = markers(QColor(220, 0, 0), 13.0, QScatterSeries::MarkerShapeStar);
    m_Dish = markers(QColor(0, 0, 160), 11.0, QScatterSeries::MarkerShapeCircle);
    for (QScatterSeries* series : {m_Track, m_Target, m_Dish}) {
        m_Chart->addSeries(series);
        series->attachAxis(azimuth);
        series->attachAxis(elevation);
    }
    setChart(m_Chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(260, 260);
}

void SkyView::showTrack(const QList<QPointF>& azEl) {
    QList<QPointF> points;
    points.reserve(azEl.size());
    for (const QPointF& point : azEl) points.append(onSky(point));
    m_Dish->replace(points.isEmpty() ? QList<QPointF>{} : QList<QPointF>{points.back()});
    m_Track->replace(points);
}

void SkyView::showTarget(std::optional<QPointF> azEl) {
    m_Target->replace(azEl ? QList<QPointF>{onSky(*azEl)} : QList<QPointF>{});
}
