#include "app/skyrelay_app.h"

#include <QFont>
#include <QStyleFactory>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "app/main_window.h"
#include "app/traffic_monitor.h"
#include "skyrelay_version.h"

namespace {

constexpr int kFontPixelSize = 11;  // 8 points at 96 dpi

}  // namespace

QFont skyrelayFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kFontPixelSize);
    return font;
}

SkyrelayApp::SkyrelayApp(int& argc, char** argv) : QApplication(argc, argv) {
    Q_INIT_RESOURCE(skyrelay);
    // QApplication takes the user's locale for the C library too; numbers must keep the point
    // ("197.7", not "197,7"), both as shown and as read back from the GPS page's fields.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Skyrelay"));
    setApplicationVersion(QString::fromLatin1(kSkyrelayVersion));
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    setFont(skyrelayFont());
    setWindowIcon(QIcon(QStringLiteral(":/skyrelay.png")));
}

int SkyrelayApp::InitInstance(const QStringList& commandLinePorts, const QString& tracePath,
                              PortListing listing, const TlsOptions& tls) {
    MainWindow dialog(commandLinePorts, nullptr, listing, tls);
    QString error;
    if (!tracePath.isEmpty() && !dialog.trafficMonitor()->startTrace(tracePath, &error)) {
        // Said once; the program runs on without a trace.
        const QString text = QStringLiteral(
                                 "Cannot write the trace file %1: %2\r\nSkyrelay runs on "
                                 "without a trace.")
                                 .arg(tracePath, error);
        std::fprintf(stderr, "skyrelay: %s\n", qPrintable(QString(text).replace("\r\n", "; ")));
        QTimer::singleShot(0, &dialog, [&dialog, text] {
            dialog.MessageBox(text.toStdString(), MessageIcon::Exclamation);
        });
    }
    // A trace that starts losing lines is said once, in a box and on stderr; the count of the
    // lost lines follows on stderr (and in the trace, if the disk takes it) when it ends.
    QObject::connect(dialog.trafficMonitor(), &TrafficMonitor::traceDropping, &dialog,
                     [&dialog](const QString& text) {
                         std::fprintf(stderr, "skyrelay: %s\n",
                                      qPrintable(QString(text).replace("\r\n", " ")));
                         dialog.MessageBox(text.toStdString(), MessageIcon::Exclamation);
                     });
    dialog.exec();
    dialog.trafficMonitor()->endTrace();
    return 0;
}
