// Before Qt's headers: it brings the simulator's, and Qt's "emit" keyword is a macro.
#include "support/window_on_sim.h"

#include <sys/stat.h>

#include <QTemporaryDir>

#include "lcd/lcd_data.h"
#include "pages/acu_lcd_display.h"
#include "pages/view_lcd_display.h"

// The LCD editor and its preview in the real main window: files in and out, the page changes,
// what the cells show, and a write and read back through the serial port against the
// simulated ACU.
class TestLcdDisplay : public QObject, private WindowOnSim {
    Q_OBJECT

private:
    QString m_FileName;
    QTemporaryDir m_Dir;

    void makeLcdWindow(const QStringList& ports = {}) {
        makeWindow(ports);
        m_Window->setLcdFileHook([this](bool) { return m_FileName; });
        m_Window->show();
    }
    ACU_LCD_Display* editor() { return m_Window->lcdDisplay(); }
    View_LCD_Display* preview() { return m_Window->viewLcdDisplay(); }
    QLabel* cell(int row, int column) {
        return preview()->findChild<QLabel*>(QStringLiteral("cell_%1_%2").arg(row).arg(column));
    }
    QString row(int row) {
        QString text;
        for (int column = 0; column < 20; ++column) text += cell(row, column)->text();
        return text;
    }
    QByteArray block() {
        return QByteArray(reinterpret_cast<const char*>(state().LcdData.data()), kLcdDataSize);
    }
    void clearEditor() {
        for (std::size_t line = 0; line < kLcdLineCount; ++line) editor()->lineEdit(line)->clear();
    }

private slots:
    void init() { m_FileName.clear(); }
    void cleanup() { close(); }

    void filesInAndOutOfTheEditor() {
        makeLcdWindow();
        m_Window->showPage(editor());
        // Saved and loaded again: the same block, and the preview opens over the editor.
        editor()->lineEdit(0)->setText(QStringLiteral("SKYRELAY"));
        editor()->lineEdit(7)->setText(QString::fromUtf8("CAFÉ 45"));
        editor()->lineEdit(13)->setText(QStringLiteral("SR45-0001"));
        m_FileName = m_Dir.filePath(QStringLiteral("kept"));
        editor()->button("save")->click();
        QVERIFY(m_Messages.isEmpty());
        editor()->button("view_write")->click();
        const QByteArray before = block();
        clearEditor();
        m_Window->controller().setLcdData({});
        m_FileName = m_Dir.filePath(QStringLiteral("kept.lcd"));  // the suffix was added
        editor()->button("font_load")->click();
        QCOMPARE(block(), before);
        QCOMPARE(m_Window->currentPage(), preview());
        QVERIFY(editor()->isVisible());

        // A cancelled dialog changes nothing; a missing file, a pick that is no regular file
        // (a pipe without a writer would block), random bytes or a huge file change nothing
        // either and say why.
        editor()->lineEdit(0)->setText(QStringLiteral("KEPT"));
        const QString pipe = m_Dir.filePath(QStringLiteral("pipe.lcd"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const auto write = [this](const char* name, const QByteArray& bytes) {
            QFile file(m_Dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("random.lcd", QByteArray("COMPANY\nTEXT\x1b[2J\n", 17));
        write("zeros.lcd", QByteArray(64 * 1024 + 1, '\0'));
        const QString notLoaded = QStringLiteral(" was not loaded !!! \n ");
        const struct {
            QString name;
            QString message;
        } refused[] = {
            {QString(), QString()},
            {QStringLiteral("missing.lcd"),
             " missing.lcd cannot be opened !!! \n It is no longer there. \n Nothing was loaded. "},
            {QStringLiteral("pipe.lcd"), " pipe.lcd cannot be opened !!! \n It is a named pipe, "
                                         "not a file. \n Nothing was loaded. "},
            {QStringLiteral("random.lcd"), " random.lcd" + notLoaded +
                                               "Line 2 holds the control byte 0x1B: it is no LCD "
                                               "text file. "},
            {QStringLiteral("zeros.lcd"),
             " zeros.lcd" + notLoaded + "The file is larger than 64 KiB: it is no LCD text file. "},
        };
        for (const auto& row : refused) {
            m_Messages.clear();
            m_FileName = row.name.isEmpty() ? QString() : m_Dir.filePath(row.name);
            editor()->button("font_load")->click();
            QCOMPARE(m_Messages, row.message.isEmpty() ? QStringList() : QStringList{row.message});
        }
        QCOMPARE(editor()->lineEdit(0)->text(), QStringLiteral("KEPT"));
        QCOMPARE(block(), before);

        // Lines longer than the LCD's are cut, and Font Load says which.
        m_Messages.clear();
        write("long.lcd", "COMPANY\n123456789012345678901\nL3\n\n\n\n\n\n\n\n\n\n\n"
                          "SERIAL-NUMBER\n");
        m_FileName = m_Dir.filePath(QStringLiteral("long.lcd"));
        editor()->button("font_load")->click();
        QCOMPARE(m_Messages, QStringList{QStringLiteral(
                                 " Lines 2, 14 were longer than the LCD shows and cut to fit. \n "
                                 "The serial number line keeps 12 characters, every other line "
                                 "20. ")});
        QCOMPARE(editor()->lineEdit(1)->text(), QStringLiteral("12345678901234567890"));
        m_Messages.clear();

        // Typing gives capitals, except where the capital would not fit a byte.
        editor()->lineEdit(3)->clear();
        for (const QChar c : QString::fromUtf8("éÿa")) {
            QTest::sendKeyEvent(QTest::Click, editor()->lineEdit(3), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
        QCOMPARE(editor()->lineEdit(3)->text(), QString::fromUtf8("ÉÿA"));

        // A character kept as a line-break byte would split its line: nothing is saved.
        editor()->lineEdit(2)->setText(QString(QChar(0x010A)));
        m_FileName = m_Dir.filePath(QStringLiteral("split.lcd"));
        editor()->button("save")->click();
        QCOMPARE(m_Messages, QStringList{QStringLiteral(
                                 " Not saved !!! \n Line 3 holds a character that an .lcd file "
                                 "cannot keep. ")});
        QVERIFY(!QFile::exists(m_FileName));
    }

    void thePreviewMarksItsCellsAndEveryWayBackLeavesNoPageBehind() {
        makeLcdWindow();
        // The page shown is the only one: no preview or editor left behind it.
        const auto onlyShown = [this](QWidget* page) {
            QCOMPARE(m_Window->currentPage(), page);
            QVERIFY(page->isVisible());
            QVERIFY(!preview()->isVisible());
            QVERIFY(page == editor() || !editor()->isVisible());
        };
        // LCD Display Font opens the editor in the Administrator page's place.
        m_Window->pageList()->setCurrentRow(4);
        click(m_Window->page(4), "lcd_display_font");
        onlyShown(editor());
        editor()->lineEdit(0)->setText(QStringLiteral("A&<B>"));
        editor()->lineEdit(13)->setText(QStringLiteral("SR60-2419087"));
        editor()->button("view_write")->click();
        QCOMPARE(row(0), QStringLiteral("A&<B>               "));
        QCOMPARE(row(13), QStringLiteral("SN:SR60-2419087 EXIT"));
        // The block in red around the fixed serial cells.
        const auto colour = [this](int row, int column) {
            return cell(row, column)->palette().color(QPalette::WindowText);
        };
        const QColor red(255, 0, 0);
        for (int line = 0; line < 13; ++line) QCOMPARE(colour(line, line), red);
        for (int column : {3, 14, 15}) QCOMPARE(colour(13, column), red);
        for (int column : {0, 1, 2, 16, 17, 18, 19}) QVERIFY(colour(13, column) != red);

        // Close and Escape return to the editor, even when another page was shown before the
        // preview; BACK to the Administrator page; another entry of the list to its page.
        m_Window->pageList()->setCurrentRow(0);
        m_Window->TakeLcdDataFromEditor();
        preview()->button("close")->click();
        onlyShown(editor());
        editor()->button("view_write")->click();
        QTest::keyClick(preview(), Qt::Key_Escape);
        onlyShown(editor());
        editor()->button("view_write")->click();
        editor()->button("back")->click();
        onlyShown(m_Window->page(4));
        m_Window->showPage(editor());
        editor()->button("view_write")->click();
        m_Window->pageList()->setCurrentRow(2);
        onlyShown(m_Window->page(2));
    }

    // End to end: a sample file written into the simulated ACU and read back from it.
    void writeThenReadBackThroughTheSimulator() {
        startSim();
        if (QTest::currentTestFailed()) return;
        makeLcdWindow({simPort()});
        waitForPoll();
        m_Window->showPage(editor());
        enterSetupMode();

        m_FileName = QStringLiteral(SKYRELAY_DATA_DIR "/lcd_skyrelay_marine.lcd");
        editor()->button("font_load")->click();
        preview()->button("write")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 10000);  // its completion
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        const QByteArray expected =
            "  SKYRELAY  MARINE  "
            "SKY-37  INITIALIZE  SKY-37M INITIALIZE  "
            "SKY-37  VER 2.19    SKY-37M VER 2.19    "
            "SKY-45  INITIALIZE  SKY-45M INITIALIZE  "
            "SKY-45  VER 2.19    SKY-45M VER 2.19    "
            "SKY-60  INITIALIZE  SKY-60M INITIALIZE  "
            "SKY-60  VER 2.19    SKY-60M VER 2.19    "
            "SKY60-260418";
        const LcdDataBlock atAcu =
            m_Server->withSimulator([](AcuSimulator& acu) { return acu.state().lcd; });
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(atAcu.data()), kLcdDataSize), expected);

        preview()->button("close")->click();
        clearEditor();
        m_Window->controller().setLcdData({});
        m_Messages.clear();
        editor()->button("read")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_Messages.size(), 1, 10000);
        QCOMPARE(block(), expected);
        QCOMPARE(m_Window->currentPage(), preview());
        QCOMPARE(row(13), QStringLiteral("SN:SKY60-260418 EXIT"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

SKYRELAY_WINDOW_TEST_MAIN(TestLcdDisplay)

#include "test_lcd_display.moc"
