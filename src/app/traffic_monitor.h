#pragma once

#include <QWidget>

#include "link/trace_file.h"
#include "link/traffic_ring.h"

class QComboBox;
class QPushButton;
class QStatusBar;
class QTableView;
class QTimer;
class TrafficTableModel;

// "Traffic Monitor": every frame that crossed the line, decoded, as it happens. It owns the
// recorder the controller reports to, so what happened before the window was first opened is
// there too (up to the ring's 20 000 events). The table follows the ring on a short timer,
// never from inside the link's own calls: a busy window costs monitor rows, never frames.
// Rows come in batches, one insert per tick, and a tick that brings nothing touches no widget:
// an open monitor on an idle link must cost next to nothing.
class TrafficMonitor : public QWidget {
    Q_OBJECT

public:
    enum class SaveFormat { Text, Csv };

    explicit TrafficMonitor(QWidget* parent = nullptr);
    ~TrafficMonitor() override;

    TrafficRecorder& recorder() { return m_Recorder; }
    TrafficTableModel* model() const { return m_Model; }

    // Appends every event to path from now on (--trace). On failure error says why.
    bool startTrace(const QString& path, QString* error);
    const TraceFile& trace() const { return m_Trace; }

    // Takes in what the ring gained since the last look (the timer calls it).
    void refreshNow();
    // Closes the trace; if lines were lost, says how many on stderr.
    void endTrace();

    // Writes the rows shown, oldest first.
    bool saveTo(const QString& path, SaveFormat format, QString* error) const;
    // The selected rows as lines, as Copy puts them on the clipboard.
    QString selectedLines() const;

signals:
    // Once per trace, when its lines start being dropped: text says so, for a box.
    void traceDropping(const QString& text);

private:
    void applyFilter();
    void clearRows();
    void copySelection();
    void saveWithDialog();
    void updateStatus();
    void checkTrace();

    TrafficRecorder m_Recorder;
    TraceFile m_Trace;
    TrafficTableModel* m_Model = nullptr;
    QTableView* m_Table = nullptr;
    QComboBox* m_CodeFilter = nullptr;
    QComboBox* m_DirectionFilter = nullptr;
    QPushButton* m_PauseButton = nullptr;
    QStatusBar* m_Status = nullptr;
    QTimer* m_RefreshTimer = nullptr;
};
