#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <optional>

class QCategoryAxis;
class QPolarChart;
class QScatterSeries;

// The sky as the dish sees it: azimuth round the circle (north up, east right), elevation
// from 0 at the rim to 90 in the centre. The dish's recent track, where it points now, and
// where the target satellite is.
class SkyView : public QChartView {
    Q_OBJECT

public:
    explicit SkyView(QWidget* parent = nullptr);

    // Points are (azimuth, elevation) in degrees, oldest first; the last one is the dish now.
    void showTrack(const QList<QPointF>& azEl);
    void showTarget(std::optional<QPointF> azEl);

    QScatterSeries* track() const { return m_Track; }
    QScatterSeries* dish() const { return m_Dish; }
    QScatterSeries* target() const { return m_Target; }

private:
    QPolarChart* m_Chart = nullptr;
    QScatterSeries* m_Track = nullptr;
    QScatterSeries* m_Dish = nullptr;
    QScatterSeries* m_Target = nullptr;
};
