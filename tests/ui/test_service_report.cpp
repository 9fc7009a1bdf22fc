// "Save Service Report..." of the real main window after a session on the simulated ACU:
// the PDF's text (pdftotext) and the HTML hold what the session saw and changed.

#include "support/window_on_sim.h"

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>

#include "app/service_report_dialog.h"

class TestServiceReport : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    // Saves the report through Ctrl+R and the dialog; returns the file's text.
    QString saveReport(const QString& path) {
        m_Window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_Window.get())) return QStringLiteral("<not active>");
        QTest::keyClick(m_Window.get(), Qt::Key_R, Qt::ControlModifier);
        auto* dialog = m_Window->findChild<ServiceReportDialog*>();
        if (dialog == nullptr || !dialog->isVisible()) return QStringLiteral("<no dialog>");
        typeInto(dialog, "site", QStringLiteral("MV Nordic Star"));
        typeInto(dialog, "technician", QStringLiteral("J. Berg"));
        dialog->setFileHook([path] { return path; });
        QString failure;
        dialog->setFailureHook([&failure](const QString& text) { failure = text; });
        const QPointer<ServiceReportDialog> saved(dialog);
        click(dialog, "save");
        if (!failure.isEmpty()) return failure;
        // Closed on success, and gone before the next Ctrl+R looks for its dialog.
        if (!QTest::qWaitFor([&saved] { return saved.isNull(); }, 5000)) {
            return QStringLiteral("<dialog stayed>");
        }
        if (path.endsWith(QStringLiteral(".html"))) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            return QString::fromUtf8(file.readAll());
        }
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, "-"});
        pdftotext.waitForFinished(30000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }

private slots:
    void init() {
        AcuSimulator::Settings settings;
        settings.diagnosis.step = std::chrono::milliseconds{50};
        settings.diagnosis.failingItem = 3;
        m_Acu = std::make_unique<AcuSimulator>(settings);
        openOnSim();
    }
    void cleanup() { close(); }

    void savesTheSessionAsPdfAndHtml() {
        waitForPoll();
        enterSetupMode();
        QWidget* information = showPage(3);
        typeInto(information, "tracking_scale", QStringLiteral("1.75"));
        click(information, "set_parameters");
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 5000);
        QWidget* diagnosis = showPage(2);
        click(diagnosis, "diagnosis_start_stop");
        QTRY_COMPARE_WITH_TIMEOUT(shown(diagnosis, "diagnosis_start_stop"),
                                  QStringLiteral("Diagnosis Start"), 15000);

        QTemporaryDir dir;
        const QString pdf = saveReport(dir.filePath(QStringLiteral("report.pdf")));
        QFile::copy(dir.filePath(QStringLiteral("report.pdf")),
                    QStringLiteral("/tmp/ui_report.pdf"));
        const QString html = saveReport(dir.filePath(QStringLiteral("report.html")));
        // The unit's own product data, the note, the change and the failed self-test item.
        for (const QString& text : {pdf, html}) {
            for (const char* value :
                 {"SR60-2419087", "OCEANSAT SR-60", "NW-EUROPE", "Vessel or site: MV Nordic Star",
                  "Technician: J. Berg", "Set Parameters", "Tracking Scale 1.75",
                  "LNB Status Check", "FAIL", "Serial Communication"}) {
                QVERIFY2(text.contains(QString::fromUtf8(value)),
                         qPrintable(value + ("\n" + text)));
            }
        }
        QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("/tmp/ui_report.pdf")});
        pdfinfo.waitForFinished(30000);
        const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
        QVERIFY2(info.contains(QStringLiteral("A4")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+[12]\\n"))),
                 qPrintable(info));
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestServiceReport)
#include "test_service_report.moc"
