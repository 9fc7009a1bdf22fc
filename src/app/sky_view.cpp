#include "app/sky_view.h"

#include <QCategoryAxis>
#include <QPolarChart>
#include <QScatterSeries>

#include <algorithm>
#include "app/pointing_charts.h"

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
    m_Chart->setMargins(QMargins(6, 6, 6, 6));
    m_Chart->setBackgroundRoundness(0);

    // Every 45 degrees, north (0) at the top where the circle closes at 360.
    auto* azimuth = new QCategoryAxis(m_Chart);
    azimuth->setRange(0.0, 360.0);
    azimuth->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int az = 45; az <= 360; az += 45) {
        azimuth->append(QStringLiteral("%1°").arg(az % 360), az);
    }
    auto* elevation = new QCategoryAxis(m_Chart);
    elevation->setRange(0.0, kZenith);
    elevation->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    // The rim is the horizon; its label would sit on the azimuth's 0.
    for (int el = 90; el > 0; el -= 30) {
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
    replacePoints(m_Dish, points.isEmpty() ? QList<QPointF>{} : QList<QPointF>{points.back()});
    replacePoints(m_Track, points);
}

void SkyView::showTarget(std::optional<QPointF> azEl) {
    replacePoints(m_Target, azEl ? QList<QPointF>{onSky(*azEl)} : QList<QPointF>{});
}
