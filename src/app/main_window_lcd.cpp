// The main window's side of the LCD editor and its preview: their buttons, the .lcd file
// read and written, and the page changes in and out of them.

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>

#include "app/main_window.h"
#include "app/regular_file.h"
#include "lcd/lcd_data.h"
#include "link/controller.h"
#include "pages/acu_lcd_display.h"
#include "pages/administrator.h"
#include "pages/view_lcd_display.h"

namespace {

// Linux file names are case-sensitive; the filter takes both spellings.
const QString kLcdFilter = QStringLiteral("lcd File(*.lcd *.LCD)");

// One byte past the limit tells the reader the file is too large, without reading all of a
// wrong pick (a large file) into memory.
constexpr qint64 kLcdFileReadLimit = static_cast<qint64>(kLcdFileMaxBytes) + 1;

}  // namespace

void MainWindow::connectLcdWindows() {
    const auto onClick = [this](QPushButton* button, auto operation) {
        connect(button, &QPushButton::clicked, this, operation);
    };
    onClick(m_LcdDisplay->button("font_load"), [this] { LoadLcdFile(); });
    onClick(m_LcdDisplay->button("view_write"), [this] { TakeLcdDataFromEditor(); });
    onClick(m_LcdDisplay->button("read"), [this] { m_Controller->OnLcdRead(); });
    onClick(m_LcdDisplay->button("save"), [this] { saveLcdFile(); });
    // The preview may be up over the editor; "BACK" takes both away.
    onClick(m_LcdDisplay->button("back"), [this] {
        m_LcdDisplay->hide();
        showPage(m_Administrator);
    });
    onClick(m_ViewLcdDisplay->button("write"), [this] { m_Controller->OnLcdWrite(); });
    onClick(m_ViewLcdDisplay->button("close"), [this] { showPage(m_LcdDisplay); });
    // Escape or the caption's close box hide the preview themselves; the editor below it then
    // becomes the page shown, as with "Close".
    connect(m_ViewLcdDisplay, &QDialog::rejected, this, [this] {
        if (m_pCurrentPage == m_ViewLcdDisplay) showPage(m_LcdDisplay);
    });
}

void MainWindow::setLcdFileHook(std::function<QString(bool)> hook) {
    m_LcdFileHook = std::move(hook);
}

QString MainWindow::lcdFileName(bool save) {
    if (m_LcdFileHook) return m_LcdFileHook(save);
    if (save) return QFileDialog::getSaveFileName(this, QString(), QString(), kLcdFilter);
    return QFileDialog::getOpenFileName(this, QString(), QString(), kLcdFilter);
}

void MainWindow::LoadLcdFile() {
    const QString path = lcdFileName(false);
    if (path.isEmpty()) return;
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    QString reason;
    const std::optional<QByteArray> bytes = readRegularFile(path, kLcdFileReadLimit, &reason);
    if (!bytes) {
        MessageBox(lcdOpenFailureText(fileName, reason.toStdString()), MessageIcon::Exclamation);
        return;
    }
    LcdDataBlock block = m_Controller->state().LcdData;
    const LcdFileReading reading =
        readLcdFile(std::span(reinterpret_cast<const std::uint8_t*>(bytes->constData()),
                              static_cast<std::size_t>(bytes->size())),
                    block);
    if (!reading.refusal.empty()) {
        MessageBox(lcdRefusalText(fileName, reading.refusal), MessageIcon::Exclamation);
        return;
    }
    m_Controller->setLcdData(block);
    ShowLcdDataInEditor();
    TakeLcdDataFromEditor();
    if (!reading.cutLines.empty()) {
        MessageBox(lcdCutLinesText(reading.cutLines), MessageIcon::Exclamation);
    }
}

void MainWindow::saveLcdFile() {
    LcdDataBlock block{};
    m_LcdDisplay->storeLines(block);
    std::size_t badLine = 0;
    const std::optional<std::string> text = FormatLcdFile(block, &badLine);
    if (!text) {
        // A character whose low byte is CR or LF would split its line in the file.
        MessageBox(" Not saved !!! \r\n Line " + std::to_string(badLine + 1) +
                       " holds a character that an .lcd file cannot keep. ",
                   MessageIcon::Exclamation);
        return;
    }
    QString path = lcdFileName(true);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".lcd");
    // Written beside and renamed over the old file, so a failed save leaves the old one whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text->data(), static_cast<qint64>(text->size())) !=
            static_cast<qint64>(text->size()) ||
        !file.commit()) {
        MessageBox(" Not saved !!! \r\n " + path.toStdString() + " cannot be written. ",
                   MessageIcon::Exclamation);
    }
}
