#include <QtTest>

#include "map/domguard.h"
#include "support/mvxctlrun.h"
#include "support/testpaths.h"

namespace {

const QString kMap = testpaths::example(QStringLiteral("drive-map.xml"));

// A data log as the window writes it for the example map: a hex, a float, two bin registers,
// a float32 pair and a uint32 pair.
const QByteArray kLogHead =
    "Log started at 14:03:07,250 of 05/12/2024\n"
    "00:00:00.000;fw_version;frequency;dig_in;dig_out;energy;run_time\n"
    "00:00:00.000;none;Hz;none;none;kWh;s\n";

// The CSV rows without the ISO time: "seconds,value,..." each, joined by blanks.
QString csvRows(const QByteArray &csv) {
    QStringList rows = QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    for (QString &row : rows) {
        row = row.section(QLatin1Char(','), 1);
    }
    return rows.join(QLatin1Char(' '));
}

}  // namespace

// mvxctl on files alone (no drive): log2csv over every column kind and damaged logs,
// check-map and check-test on broken files, and what --help tells.
class TestMvxctlFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &bytes) const {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return QString();
        }
        return path;
    }

  private slots:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        qputenv("TZ", "UTC");  // the CSV's local times do not matter here
    }

    void log2csv_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("said");  // on stderr
        const QStringList withMap{"--map", kMap};
        QTest::newRow("every column kind, bin from the map")
            << QByteArray("00:00:01.000;0x0102;50.0;101;1111111111111111;1234.500;65537\n") << withMap
            << "1.000,258,50,5,65535,1234.5,65537"
            << "";
        QTest::newRow("no map: every digit kept")
            << QByteArray("00:00:01.000;0xFFFF;-0.1;101;1111111111111111;0.100;-2\n") << QStringList()
            << "1.000,65535,-0.1,101,1111111111111111,0.1,-2"
            << "dig_in, dig_out hold only the digits 0 and 1: if they are bin registers, give --map to read "
               "them "
               "in base 2";
        QTest::newRow("last line cut short")
            << QByteArray("00:00:01.000;0x0001;1.0;1;1;1.000;1\n00:00:01.100;0x0001;2") << QStringList()
            << "1.000,1,1,1,1,1,1"
            << "1 line skipped: the last line cut short (no line end)";
        QTest::newRow("one line far ahead")
            << QByteArray(
                   "00:00:01.000;0x0001;1.0;1;1;1.000;1\n1000:00:00.000;0x0001;2.0;1;1;1.000;2\n"
                   "00:00:01.100;0x0001;3.0;1;1;1.000;3\n")
            << QStringList() << "1.000,1,1,1,1,1,1 1.100,1,3,1,1,1,3"
            << "1 line skipped: 1 out of time order";
        QTest::newRow("back in time and not a data line")
            << QByteArray("00:00:02.000;0x0001;1.0;1;1;1.000;1\nnoise\n00:00:01.000;0x0001;2.0;1;1;1.000;2\n")
            << QStringList() << "2.000,1,1,1,1,1,1"
            << "2 lines skipped: 1 not a data line, 1 out of time order";
    }
    void log2csv() {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, options);
        QFETCH(QString, rows);
        QFETCH(QString, said);
        const QString log = writeFile(QStringLiteral("log.txt"), kLogHead + lines);
        const MvxctlRun r = runMvxctl(QStringList{"log2csv", log} + options);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(csvRows(r.out), rows);
        QCOMPARE(QString::fromUtf8(r.err).remove(QStringLiteral("mvxctl log2csv: ")).trimmed(), said);
    }

    // Files the program cannot use are refused with the reason on stderr, whichever command
    // reads them. FILE in the arguments stands for the row's file.
    void brokenFilesAreRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");
        const QByteArray tooLarge =
            "<modbusmap>" + QByteArray(int(domguard::kMaxFileBytes), ' ') + "</modbusmap>";
        const QByteArray loopOpen = "<test><loop_start>2</loop_start><espera>1</espera></test>";
        const QByteArray minAboveMax =
            "<test><ReadInputRegisters><nombre>x</nombre><dir>1</dir><min>5</min><max>1</max>"
            "</ReadInputRegisters></test>";
        const QByteArray farInput =
            "<test><ReadInputRegisters><nombre>x</nombre><dir>900</dir><min>0</min><max>1</max>"
            "</ReadInputRegisters></test>";
        const QStringList checkMap{"check-map", "FILE"};
        const QStringList checkTest{"check-test", "FILE"};
        const QStringList test{"test", "--port", "/nonexistent/ttyMVX", "--map", kMap, "--test", "FILE"};
        QTest::newRow("map: empty file") << checkMap << QByteArray() << 1 << "not well-formed XML";
        QTest::newRow("map: garbage")
            << checkMap << QByteArray("\x01\x02 not xml") << 1 << "not well-formed XML";
        QTest::newRow("map: cut short")
            << checkMap << QByteArray("<modbusmap><block name=\"x\"") << 1 << "unexpected end of file";
        QTest::newRow("map: too large") << checkMap << tooLarge << 1 << "larger than 4 MB";
        QTest::newRow("test file: too large") << checkTest << tooLarge << 1 << "larger than 4 MB";
        QTest::newRow("loop without its stop")
            << checkTest << loopOpen << 1 << "loop_start without loop_stop";
        QTest::newRow("no steps") << checkTest << QByteArray("<test/>") << 1 << "the test has no steps";
        QTest::newRow("min above max") << checkTest << minAboveMax << 1 << "min 5 is above max 1";
        QTest::newRow("position past the map") << checkTest + QStringList{"--map", kMap} << farInput << 1
                                               << "dir 900 is outside the input registers (0 to 39)";
        QTest::newRow("test: loop without its stop")
            << test << loopOpen << 2 << "loop_start without loop_stop";
        QTest::newRow("test: no steps") << test << QByteArray("<test/>") << 2 << "the test has no steps";
    }
    void brokenFilesAreRefused() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, contents);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")),
                                   writeFile(QStringLiteral("file.xml"), contents));
        const MvxctlRun r = runMvxctl(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(reason.toUtf8()), r.err.constData());
        QVERIFY2(!r.out.contains(reason.toUtf8()), r.out.constData());
    }

    // Without a map a test file's positions cannot be judged: it is read and passes.
    void testFileWithoutMap() {
        const QString file =
            writeFile(QStringLiteral("far.xml"),
                      "<test><ReadInputRegisters><nombre>x</nombre><dir>900</dir><min>0</min>"
                      "<max>1</max></ReadInputRegisters></test>");
        QCOMPARE(runMvxctl({"check-test", file}).exitCode, 0);
    }

    // Each command's --help: its usage, every option of the usage line with its text, the
    // defaults and the exit codes.
    void help_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("check-map") << "check-map"
                                   << QStringList{"  1  the file cannot be opened, is too large"};
        QTest::newRow("check-test") << "check-test" << QStringList{"(default: no map"};
        QTest::newRow("format") << "format" << QStringList{"--mul <M>", "(default: 1)"};
        QTest::newRow("read") << "read"
                              << QStringList{"(default: 1)", "(default: 115200)", "(default: 0, 8N2)"};
        QTest::newRow("flash") << "flash" << QStringList{"(default: the model the drive reports)"};
        QTest::newRow("export") << "export" << QStringList{"--out <FILE>"};
        QTest::newRow("log2csv") << "log2csv" << QStringList{"read in base 2"};
        QTest::newRow("search") << "search"
                                << QStringList{"(default: 247)", "(default: sized to the line speed"};
        QTest::newRow("test") << "test"
                              << QStringList{"(default: log)", "  4  the line was lost during the test"};
        QTest::newRow("report") << "report" << QStringList{"(default: sqlite:log/mvx-records.sqlite)"};
        QTest::newRow("records") << "records" << QStringList{"(default: log)", "  1  runs are left"};
    }
    void help() {
        QFETCH(QString, command);
        QFETCH(QStringList, shown);
        const MvxctlRun r = runMvxctl({command, "--help"});
        QCOMPARE(r.exitCode, 0);
        const QString text = QString::fromUtf8(r.out);
        QVERIFY2(text.startsWith("usage: mvxctl " + command), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nexit codes:\n  0  ")), qPrintable(text));
        const QString usageLine = text.section(QLatin1Char('\n'), 0, 0);
        const QRegularExpression option(QStringLiteral("--[a-z-]+"));
        for (auto match = option.globalMatch(usageLine); match.hasNext();) {
            const QString name = match.next().captured();
            QVERIFY2(text.contains(QRegularExpression("\n  (-\\w, )?" + name + "( <\\w+>)?  +\\w")),
                     qPrintable(name + " in\n" + text));
        }
        for (const QString &part : shown) {  // Qt wraps the descriptions
            QVERIFY2(text.simplified().contains(part.simplified()), qPrintable(part + " in\n" + text));
        }
    }

    // A mistyped option prints the usage once, on stderr.
    void unknownOption_data() {
        QTest::addColumn<QString>("command");
        for (const char *command : {"test", "report", "read", "log2csv"}) {
            QTest::newRow(command) << QString::fromLatin1(command);
        }
    }
    void unknownOption() {
        QFETCH(QString, command);
        const MvxctlRun r = runMvxctl({command, "--no-such-option"});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.count("usage: mvxctl " + command.toUtf8()), 1);
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMvxctlFiles)
#include "tst_mvxctl_files.moc"
