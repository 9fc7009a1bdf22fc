#include "app/service_report_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPushButton>
#include <QTextDocument>
#include <array>

#include "link/service_report.h"
#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

constexpr std::array kLayout = {
    ControlSpec{K::Label, 10, 12, 60, 8, "Vessel or site", "site_label"},
    ControlSpec{K::Edit, 72, 10, 150, 12, "", "site"},
    ControlSpec{K::Label, 10, 30, 60, 8, "Technician", "technician_label"},
    ControlSpec{K::Edit, 72, 28, 150, 12, "", "technician"},
    ControlSpec{K::Button, 118, 50, 50, 14, "Save...", "save"},
    ControlSpec{K::Button, 172, 50, 50, 14, "Cancel", "cancel"},
};
constexpr std::array kLimits = {EditLimit{"site", 60}, EditLimit{"technician", 60}};

constexpr int kWidth = 232;
constexpr int kHeight = 72;
constexpr int kPdfResolution = 300;  // dots per inch
constexpr qreal kMarginMm = 15.0;

const char* const kFilter = "PDF (*.pdf);;HTML (*.html)";

QString text(const QWidget* window, const char* name) {
    return window->findChild<QLineEdit*>(QString::fromUtf8(name))->text().trimmed();
}

}  // namespace

ServiceReportDialog::ServiceReportDialog(const LinkState& state, const SessionLog& log,
                                         QWidget* parent)
    : QDialog(parent), m_State(state), m_Log(log) {
    setWindowTitle(QStringLiteral("Save Service Report"));
    paintWhite(this);
    setFixedSize(dialogSize(kWidth, kHeight));
    buildControls(this, kLayout);
    applyEditLimits(this, kLimits);
    auto* saveButton = findChild<QPushButton*>(QStringLiteral("save"));
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &ServiceReportDialog::save);
    connect(findChild<QPushButton*>(QStringLiteral("cancel")), &QPushButton::clicked, this,
            &QDialog::reject);
}

QString ServiceReportDialog::note() const {
    return QString::fromStdString(serviceReportNote(text(this, "site").toStdString(),
                                                    text(this, "technician").toStdString()));
}

void ServiceReportDialog::save() {
    QString filter;
    QString path = m_FileHook ? m_FileHook()
                              : QFileDialog::getSaveFileName(this, windowTitle(),
                                                             QStringLiteral("service-report.pdf"),
                                                             QString::fromUtf8(kFilter), &filter);
    if (path.isEmpty()) return;  // cancelled: the note stays for another try
    // A name typed without an extension takes the kind chosen in the dialog.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += filter.startsWith(QStringLiteral("HTML")) ? QStringLiteral(".html")
                                                          : QStringLiteral(".pdf");
    }
    // Taken when the file is chosen, so the report holds what the screen shows now.
    const ServiceReport report = buildServiceReport(m_State, m_Log, note().toStdString());
    const std::optional<QString> failure =
        writeServiceReport(path, QString::fromStdString(report.title),
                           QString::fromStdString(renderReportHtml(report)));
    if (!failure) {
        accept();
        return;
    }
    if (m_FailureHook) {
        m_FailureHook(*failure);
    } else {
        QMessageBox::warning(this, windowTitle(), *failure);
    }
}

std::optional<QString> writeServiceReport(const QString& path, const QString& title,
                                          const QString& html) {
    const QString failure = QStringLiteral("The report could not be written to %1.").arg(path);
    if (path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive)) {
        QFile file(path);
        const QByteArray bytes = html.toUtf8();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            return failure;
        }
        return std::nullopt;
    }
    {
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Skyrelay"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        document.setHtml(html);
        document.print(&writer);
    }
    // QPdfWriter says nothing of a file it could not create: look for what it left.
    if (QFile(path).size() == 0) return failure;
    return std::nullopt;
}
