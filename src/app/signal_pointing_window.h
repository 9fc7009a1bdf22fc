#pragma once

#include <QWidget>
#include <functional>

#include "link/pointing_samples.h"

class PointingCharts;
class QButtonGroup;
class QLabel;
class QPushButton;
class QTimer;
class SkyView;
struct SatelliteData;

// "Signal and Pointing": the signal level, azimuth, elevation and skew over time with the
// antenna state behind them, and the dish on a sky view beside its target satellite. It owns
// the samples the controller keeps, so the charts reach back to the first reply even when the
// window is opened late. Hidden, it does nothing; shown, it redraws on a timer a few times a
// second at most, never from inside the link's calls.
class SignalPointingWindow : public QWidget {
    Q_OBJECT

public:
    enum class Range { Minute, TenMinutes, Hour, All };

    // data is the link's, whose target the sky view shows.
    explicit SignalPointingWindow(const SatelliteData& data, QWidget* parent = nullptr);
    ~SignalPointingWindow() override;

    PointingSamples& samples() { return m_Samples; }
    PointingCharts* charts() const { return m_Charts; }
    SkyView* skyView() const { return m_Sky; }

    void setRange(Range range);
    // Draws what the samples hold now (the timer calls it when there is news).
    void refreshNow();
    // The values of the sample nearest to atMs, as hovering shows them.
    QString valuesAt(qint64 atMs) const;
    // The samples of the range shown, as CSV; the charts and the sky view as a picture.
    bool saveCsv(const QString& path, QString* error) const;
    bool savePng(const QString& path, QString* error);
    // "Save as PNG" and "Save as CSV" take their file name from here instead of a file
    // dialog when set (tests); the argument is true for the CSV, an empty name cancels.
    void setFileHook(std::function<QString(bool csv)> hook) { m_FileHook = std::move(hook); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeLegend();
    void onTick();
    void showSky(std::int64_t nowMs);
    void saveWithDialog(bool csv);
    void updateStatus();

    const SatelliteData& m_Data;
    PointingSamples m_Samples;
    PointingView m_View;
    Range m_Range = Range::TenMinutes;
    std::int64_t m_FromMs = 0;
    std::int64_t m_ToMs = 0;
    std::uint64_t m_DrawnPushed = 0;

    PointingCharts* m_Charts = nullptr;
    SkyView* m_Sky = nullptr;
    QButtonGroup* m_Ranges = nullptr;
    QPushButton* m_PauseButton = nullptr;
    QLabel* m_TargetAngles = nullptr;
    QLabel* m_PointingError = nullptr;
    QLabel* m_Hover = nullptr;
    QLabel* m_Status = nullptr;
    QTimer* m_RefreshTimer = nullptr;
    std::function<QString(bool)> m_FileHook;
};
