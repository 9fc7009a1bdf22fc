#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class SessionLog;
struct LinkState;

// "Save Service Report...": the vessel or site and the technician for the report's note,
// then the file. A name ending in .html is written as HTML, any other as a PDF of the same
// text on A4 pages.
class ServiceReportDialog : public QDialog {
    Q_OBJECT

public:
    ServiceReportDialog(const LinkState& state, const SessionLog& log, QWidget* parent);

    // The file name comes from here instead of the save-file dialog when set (tests); an
    // empty name cancels. Failures go to report.
    void setFileHook(std::function<QString()> hook) { m_FileHook = std::move(hook); }
    void setFailureHook(std::function<void(const QString&)> hook) {
        m_FailureHook = std::move(hook);
    }

    // The two fields as one note, one line each; empty lines left out.
    QString note() const;

private:
    void save();

    const LinkState& m_State;
    const SessionLog& m_Log;
    std::function<QString()> m_FileHook;
    std::function<void(const QString&)> m_FailureHook;
};

// Writes html to path: as HTML (UTF-8) when the name ends in .html, otherwise as a PDF.
// Returns the reason when the file could not be written.
std::optional<QString> writeServiceReport(const QString& path, const QString& title,
                                          const QString& html);
