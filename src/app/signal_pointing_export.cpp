// "Save as PNG" and "Save as CSV" of the Signal and Pointing window.

#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QSaveFile>

#include "app/signal_pointing_window.h"
#include "link/pointing_csv.h"

bool SignalPointingWindow::saveCsv(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    file.write((pointingCsvHeader() + "\n").c_str());
    const std::size_t end = m_Samples.lowerBound(m_ToMs + 1);
    for (std::size_t i = m_Samples.lowerBound(m_FromMs); i < end; ++i) {
        file.write((pointingCsvLine(m_Samples[i]) + "\n").c_str());
    }
    if (!file.commit()) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    return true;
}

bool SignalPointingWindow::savePng(const QString& path, QString* error) {
    // The whole window: charts, sky view, legend and the range shown in the time labels.
    if (!grab().save(path, "PNG")) {
        if (error != nullptr) *error = QStringLiteral("the picture could not be written");
        return false;
    }
    return true;
}

void SignalPointingWindow::saveWithDialog(bool csv) {
    QString path;
    if (m_FileHook) {
        path = m_FileHook(csv);
    } else {
        path = QFileDialog::getSaveFileName(
            this, csv ? QStringLiteral("Save as CSV") : QStringLiteral("Save as PNG"),
            csv ? QStringLiteral("skyrelay-pointing.csv") : QStringLiteral("skyrelay-pointing.png"),
            csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("PNG image (*.png)"));
    }
    if (path.isEmpty()) return;
    QString error;
    const bool saved = csv ? saveCsv(path, &error) : savePng(path, &error);
    if (!saved) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Cannot write %1:\n%2").arg(path, error));
    }
}
