#include "app/lumidor_app.h"

#include <QFont>
#include <QStyleFactory>
#include <clocale>

#include "app/lumidor_dlg.h"

namespace {

constexpr int kFontPixelSize = 11;  // 8 points at 96 dpi

}  // namespace

QFont skyrelayFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kFontPixelSize);
    return font;
}

CLumidorApp::CLumidorApp(int& argc, char** argv) : QApplication(argc, argv) {
    Q_INIT_RESOURCE(skyrelay);
    // QApplication takes the user's locale for the C library too; numbers must keep the point
    // ("197.7", not "197,7"), both as shown and as read back from the GPS page's fields.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Skyrelay"));
    setApplicationVersion(QStringLiteral("2.19"));
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    setFont(skyrelayFont());
    setWindowIcon(QIcon(QStringLiteral(":/skyrelay.png")));
}

int CLumidorApp::InitInstance(const QStringList& commandLinePorts) {
    CLumidorDlg dialog(commandLinePorts);
    dialog.exec();
    return 0;
}
