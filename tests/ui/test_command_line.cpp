// The window's command line: what each argument list gives, and the options it shares with
// skyrelay-cli read as they do there.
#include <QProcess>
#include <QTest>

#include "app/command_line.h"

namespace {

// The help's line of each option, by the option's name.
QMap<QString, QString> optionLines(const QString& help) {
    QMap<QString, QString> lines;
    for (const QString& line : help.split('\n'))
        if (line.startsWith(QLatin1String("  -"))) lines[line.split(' ')[2]] = line;
    return lines;
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void eachArgumentListGivesItsOptions() {
        struct Case {
            const char* arguments;
            int exitStatus;     // -1: the window runs
            const char* gives;  // devices|trace|--only|CA file|--insecure-tls, or part of the text
        };
        const Case cases[] = {
            {"", -1, "||0||0"},
            {"/dev/ttyUSB1 rfc2217+tls://ship:3003 /tmp/acu", -1,
             "/dev/ttyUSB1 rfc2217+tls://ship:3003 /tmp/acu||0||0"},
            {"--trace visit.txt /dev/ttyUSB0", -1, "/dev/ttyUSB0|visit.txt|0||0"},
            {"--trace=visit.txt", -1, "|visit.txt|0||0"},
            {"--tls-ca=ship.pem tcp+tls://ship:3001", -1, "tcp+tls://ship:3001||0|ship.pem|0"},
            {"--tls-ca ship.pem --insecure-tls", -1, "||0|ship.pem|1"},
            {"--tls-cert=shore.pem --tls-key shore.key", -1, "||0||0|shore.pem|shore.key"},
            {"/tmp/acu --only", -1, "/tmp/acu||1||0"},
            {"--only", 2, "--only needs at least one DEVICE"},
            {"/dev/ttyUSB0 --trace", 2, "--trace: 1 required TEXT missing"},
            {"--tls-ca", 2, "--tls-ca: 1 required TEXT missing"},
            {"--bogus", 2, "The following argument was not expected: --bogus"},
            {"--trace x --help", 0, "Usage: skyrelay [OPTIONS] [DEVICE...]"},
            {"--version", 0, "Skyrelay Ver " SKYRELAY_PROJECT_VERSION "\n"},
        };
        for (const Case& c : cases) {
            std::vector<std::string> arguments;
            for (const QString& word : QString(c.arguments).split(' ', Qt::SkipEmptyParts))
                arguments.push_back(word.toStdString());
            const WindowCommandLine line = parseWindowCommandLine(arguments);
            const WindowOptions& o = line.options;
            std::string given;
            for (const std::string& device : o.devices)
                given += (given.empty() ? "" : " ") + device;
            given += "|" + o.tracePath + (o.listing == PortListing::OnlyGiven ? "|1|" : "|0|") +
                     o.tls.caFile + (o.tls.insecure ? "|1" : "|0");
            if (!o.tls.certFile.empty()) given += "|" + o.tls.certFile + "|" + o.tls.keyFile;
            QVERIFY2((line.exit ? line.exitStatus : -1) == c.exitStatus, c.arguments);
            if (line.exit)
                QVERIFY2(line.text.find(c.gives) != std::string::npos, line.text.c_str());
            else
                QCOMPARE(QString::fromStdString(given), QString::fromUtf8(c.gives));
        }
        // Unknown here, but left for Qt to take out (-platform, -style ...) before it is refused.
        QVERIFY(parseWindowCommandLine({"-platform", "offscreen"}).unknownOption);
        QVERIFY(!parseWindowCommandLine({"--trace"}).unknownOption);
    }

    void theOptionsSharedWithSkyrelayCliReadAsThere() {
        QProcess cli;
        cli.start(QStringLiteral(SKYRELAY_CLI), {QStringLiteral("info"), QStringLiteral("--help")});
        QVERIFY(cli.waitForFinished(30000));
        const auto there = optionLines(QString::fromUtf8(cli.readAllStandardOutput()));
        const auto here = optionLines(QString::fromStdString(parseWindowCommandLine({"-h"}).text));
        for (const char* option : {"-h,--help", "--tls-ca", "--insecure-tls", "--tls-key"})
            QCOMPARE(here.value(option, "missing here"), there.value(option, "missing there"));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
