// Inputs the fuzz targets in tests/fuzz found to break something, kept as ordinary tests.
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include "app/settings.h"
#include "comm/endpoint.h"
#include "comm/pdubuilder.h"
#include "comm/pollscheduler.h"
#include "comm/requestqueue.h"
#include "map/domguard.h"
#include "map/xmlmap.h"
#include "params/paramfile_io.h"
#include "records/dburl.h"
#include "test/xml_test_reader.h"
#include "views/plotdata/datalogreader.h"

namespace {

QByteArray nested(const QByteArray &root, int depth) {
    return "<" + root + ">" + QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth) +
           "</" + root + ">";
}

}  // namespace

class tst_fuzz_regressions : public QObject {
    Q_OBJECT
  private slots:
    // The map reader accepts control characters in a label; exporting such a map's holdings
    // used to fail as a whole (writeParamFile -1, no file) because XML cannot carry them.
    void exportOfLabelWithControlCharacters_data() {
        QTest::addColumn<QByteArray>("labelXml");
        QTest::addColumn<QString>("readBack");
        // clang-format off
        QTest::newRow("character reference") << QByteArray("Velocidad&#1;") << QStringLiteral("Velocidad");
        QTest::newRow("raw vertical tab") << QByteArray("a\x0b" "b") << QStringLiteral("ab");
        QTest::newRow("raw NUL") << QByteArray("x\0y", 3) << QStringLiteral("xy");
        QTest::newRow("tab and accents kept") << QByteArray("Tensi\xc3\xb3n\tbus") << QStringLiteral("Tensión\tbus");
        // clang-format on
    }
    void exportOfLabelWithControlCharacters() {
        QFETCH(QByteArray, labelXml);
        QFETCH(QString, readBack);
        xmlmap map;
        map.readMapData(
            "<m><block name=\"b\" query=\"auto\" type=\"h\" start=\"0\" end=\"0\">"
            "<h add=\"0\"><text>" +
            labelXml + "</text><multiplier>0.1</multiplier></h></block></m>");
        QVector<holding_t *> holdings;
        QCOMPARE(map.getHoldings(holdings), 1);
        holdings[0]->value = 0xFFF6;

        QTemporaryDir dir;
        settings prefs(dir.filePath(QStringLiteral("settings.xml")));
        QFile file(dir.filePath(QStringLiteral("export.xml")));
        QCOMPARE(prefs.writeParamFile(holdings, file, QDateTime(QDate(2024, 1, 18), QTime(9, 5, 7))), 1);

        ParamFileContents contents;
        QVERIFY(readParamFile(file.fileName(), &contents));
        QCOMPARE(contents.holdings.size(), 1);
        QCOMPARE(contents.holdings[0].text, readBack);
        QCOMPARE(contents.holdings[0].value, uint16_t(0xFFF6));
    }

    // The DOM parser recurses once per level: 100000 levels overflowed the stack and ended the
    // program at start-up (register map), on opening a parameter file or on starting a test.
    void deeplyNestedFilesAreRefused() {
        xmlmap map;
        QVERIFY(map.readMapData(nested("modbusmap", 100000)));
        QCOMPARE(map.warnings().size(), 1);
        QVERIFY(map.warnings()[0].reason.contains(QStringLiteral("nested more than 256 deep")));
        QCOMPARE(map.warnings()[0].line, 1);

        ParamFileContents contents;
        QVERIFY(!readParamFileData(nested("Motor_Configuration", 100000), &contents));
        QVERIFY(contents.error.contains(QStringLiteral("nested more than 256 deep")));

        TestDefinition def;
        xml_test_reader reader;
        QVERIFY(!reader.readTestData(nested("ensayo", 100000), def));
        QVERIFY(def.steps.isEmpty());
    }

    void nestingDepth_data() {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<int>("depth");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("elements") << QStringLiteral("<?xml version='1.0'?><r><a><b/></a><c>t</c></r>") << 3;
        QTest::newRow("comment and CDATA") << QStringLiteral("<r><!-- <a><a> --><![CDATA[<a><a>]]></r>") << 1;
        QTest::newRow("quoted >") << QStringLiteral("<r><a x='>' y=\"/>\"><b/></a></r>") << 3;
        QTest::newRow("internal subset") << QStringLiteral("<!DOCTYPE r [<!ELEMENT r ANY>]><r><a/></r>") << 2;
        QTest::newRow("unclosed") << QStringLiteral("<r><a><b") << 3;
        QTest::newRow("counting stops past the limit") << QString::fromLatin1(nested("r", 1000)) << 257;
    }
    void nestingDepth() {
        QFETCH(QString, xml);
        QFETCH(int, depth);
        QCOMPARE(domguard::nestingDepth(xml), depth);
    }

    // UTF-16 hides its markup from a byte scan; the limit still holds.
    void utf16DocumentsAreCheckedToo() {
        const QString text = QString::fromLatin1(nested("m", 300));
        QDomDocument document;
        QString message;
        QTextCodec *const le = QTextCodec::codecForName("UTF-16LE");
        for (const QByteArray &bytes :
             {le->fromUnicode(text), QTextCodec::codecForName("UTF-16BE")->fromUnicode(text),
              QByteArray("\xff\xfe").append(le->fromUnicode(text))}) {
            QVERIFY(!domguard::setContent(document, bytes, &message, nullptr, nullptr));
        }
        QVERIFY(domguard::setContent(document, nested("m", 200), &message, nullptr, nullptr));
    }

    // Metadata that XML cannot carry loses only the offending characters.
    void metadataWithUnpairedSurrogate() {
        ParamFileMeta meta{QStringLiteral("map") + QChar(0xD800) + QStringLiteral(".xml"),
                           QStringLiteral("2024/01/18 09:05:07"), QStringLiteral("4\x1f"),
                           QStringLiteral("23") + QString::fromUtf8("\xf0\x9f\x94\xa7")};
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(writeParamFileData(&buffer, meta, {}));
        ParamFileContents contents;
        QVERIFY(readParamFileData(buffer.data(), &contents));
        QCOMPARE(contents.meta.file, QStringLiteral("map.xml"));
        QCOMPARE(contents.meta.model, QStringLiteral("4"));
        QCOMPARE(contents.meta.version, meta.version);
    }

    // An hour field of any length was multiplied by 3 600 000 in a 64-bit integer: a data log
    // opened from anywhere could overflow it (undefined behaviour), and the replay and log2csv
    // add the start time on top.
    void dataLogElapsedHours_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::newRow("overflowing hours") << QByteArray("9999999999999:00:00.000") << qint64(-1);
        QTest::newRow("largest 64-bit hours") << QByteArray("2562047788015:12:55.807") << qint64(-1);
        QTest::newRow("past a century") << QByteArray("878401:00:00.000") << qint64(-1);
        QTest::newRow("a century") << QByteArray("876000:00:00.001") << qint64(876000) * 3600000 + 1;
        QTest::newRow("a week") << QByteArray("168:00:00.000") << qint64(168) * 3600000;
    }
    void dataLogElapsedHours() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, elapsedMs);
        QCOMPARE(plotdata::DataLogReader::parseElapsed(text), elapsedMs);
    }

    // Lines whose time went back were handed on as they came, so the replay's history and the
    // CSV rows could run backwards in time.
    void dataLogTimesNeverGoBack() {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("log.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "Log started at 14:03:07,250 of 05/12/2024\n"
            "00:00:00.000;Speed\n00:00:00.000;rpm\n"
            "00:00:01.000;1\n00:00:00.500;2\n00:00:01.000;3\n00:00:00.999;4\n00:00:02.000;5\n");
        file.close();
        plotdata::DataLogReader reader;
        QString error;
        QVERIFY2(reader.open(file.fileName(), &error), qPrintable(error));
        QList<qint64> times;
        QList<double> values;
        QVERIFY(reader.readRows(
            {0},
            [&](qint64 elapsedMs, const QVector<double> &row) {
                times << elapsedMs;
                values << row.at(0);
            },
            {}, &error));
        QCOMPARE(times, (QList<qint64>{1000, 1000, 2000}));
        QCOMPARE(values, (QList<double>{1, 3, 5}));
        QCOMPARE(reader.skippedLines(), 2);
    }

    // A database URL that was refused was quoted whole in the message, password included, and
    // the message is shown in the window and written to the logs.
    void databaseUrlMessagesHidePasswords_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("shown");
        QTest::newRow("password given") << QStringLiteral("postgresql://mvx:s3cret@db:5432/line2")
                                        << QStringLiteral("postgresql://mvx:***@db:5432/line2");
        QTest::newRow("no database") << QStringLiteral("postgres://mvx:s3cret@db")
                                     << QStringLiteral("postgres://mvx:***@db");
        QTest::newRow("no server") << QStringLiteral("postgresql://mvx:s3cret@/line2")
                                   << QStringLiteral("postgresql://mvx:***@/line2");
        QTest::newRow("password with @ and :")
            << QStringLiteral("postgresql://mvx:s3c:r@t@db/x") << QStringLiteral("postgresql://mvx:***@db/x");
        QTest::newRow("unknown scheme")
            << QStringLiteral("mysql://mvx:s3cret@db/line2") << QStringLiteral("mysql://mvx:***@db/line2");
    }
    void databaseUrlMessagesHidePasswords() {
        QFETCH(QString, url);
        QFETCH(QString, shown);
        DbTarget target;
        QString error;
        QVERIFY(!DbTarget::parse(url, &target, &error));
        QVERIFY2(!error.contains(QLatin1String("s3c")), qPrintable(error));
        QVERIFY2(error.contains(shown), qPrintable(error));
    }

    // The printed form of a database URL is quoted in messages and given back to mvxctl --db:
    // an IPv6 host lost its brackets, and a '?' or a blank in a name was printed bare.
    void databaseUrlPrintsBackTheSame_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("printed");
        QTest::newRow("IPv6 host") << QStringLiteral("postgresql://u@[::1]:5433/db")
                                   << QStringLiteral("postgresql://u@[::1]:5433/db");
        QTest::newRow("escaped ? in the name") << QStringLiteral("postgres://mvx@d/b%3F:52")
                                               << QStringLiteral("postgresql://mvx@d:5432/b%3F:52");
        QTest::newRow("escaped blank ending the name")
            << QStringLiteral("postgresql://h/u%20") << QStringLiteral("postgresql://h:5432/u%20");
        QTest::newRow("escaped no-break space")
            << QStringLiteral("postgresql://h/u%C2%A0") << QStringLiteral("postgresql://h:5432/u%C2%A0");
        QTest::newRow("IPv6 host with a zone") << QStringLiteral("postgresql://[fe80::1%25eth0]/db")
                                               << QStringLiteral("postgresql://[fe80::1%25eth0]:5432/db");
        QTest::newRow("plain") << QStringLiteral("postgresql://mvx@db/line2")
                               << QStringLiteral("postgresql://mvx@db:5432/line2");
    }
    void databaseUrlPrintsBackTheSame() {
        QFETCH(QString, url);
        QFETCH(QString, printed);
        DbTarget target;
        QString error;
        QVERIFY2(DbTarget::parse(url, &target, &error), qPrintable(error));
        QCOMPARE(target.url(), printed);
        DbTarget reread;
        QVERIFY2(DbTarget::parse(target.url(), &reread, &error), qPrintable(error));
        QCOMPARE(reread.host, target.host);
        QCOMPARE(reread.database, target.database);
    }

    // QUrl prints a noncharacter in a name as half of a character pair: the printed URL named
    // another database.
    void databaseUrlWithNoncharacterRefused_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("U+3FFFF in the name") << QStringLiteral("postgresql://h/a\U0003FFFFb");
        QTest::newRow("U+FFFF in the name") << QStringLiteral("postgresql://h/a\uFFFFb");
        QTest::newRow("U+FDD0 in the user") << QStringLiteral("postgresql://\uFDD0@h/db");
    }
    void databaseUrlWithNoncharacterRefused() {
        QFETCH(QString, url);
        DbTarget target;
        QString error;
        QVERIFY2(!DbTarget::parse(url, &target, &error), qPrintable(target.url()));
        QVERIFY2(error.contains(QLatin1String("not text")), qPrintable(error));
    }

    // A bracketed address QUrl takes but prints otherwise: an IPvFuture literal lost its
    // brackets (and its capitals), a zone's escaped '#', '/', '?' or '@' came out bare, so the
    // printed URL named no server.
    void databaseUrlWithUnprintableServerRefused_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("IPvFuture") << QStringLiteral("postgresql://[v1.A]/db");
        QTest::newRow("IPvFuture, lower case") << QStringLiteral("postgresql://u@[v7.x]:5433/db");
        QTest::newRow("zone with '#'") << QStringLiteral("postgresql://[fe80::1%25a%23]/db");
        QTest::newRow("zone with '/'") << QStringLiteral("postgresql://[fe80::1%25a%2F]/db");
        QTest::newRow("zone with '@'") << QStringLiteral("postgresql://[fe80::1%25a%40]/db");
    }
    void databaseUrlWithUnprintableServerRefused() {
        QFETCH(QString, url);
        DbTarget target;
        QString error;
        QVERIFY2(!DbTarget::parse(url, &target, &error), qPrintable(target.url()));
        QVERIFY2(error.contains(QLatin1String("server address that cannot be used")), qPrintable(error));
    }

    // An IPv6 address with a zone ("fe80::1%eth0") was printed with a bare '%', which reads
    // back as an escape: the gateway printed another address, or none.
    void endpointWithIpv6Zone_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("printed");
        QTest::newRow("named zone") << QStringLiteral("fe80::1%eth0")
                                    << QStringLiteral("tcp://[fe80::1%25eth0]:502");
        QTest::newRow("zone that looks like an escape")
            << QStringLiteral("::%17") << QStringLiteral("tcp://[::%2517]:502");
    }
    void endpointWithIpv6Zone() {
        QFETCH(QString, host);
        QFETCH(QString, printed);
        const Endpoint endpoint = Endpoint::tcp(host, 502);
        QVERIFY2(endpoint.isValid(), qPrintable(endpoint.error()));
        QCOMPARE(endpoint.host(), host);
        QCOMPARE(endpoint.toString(), printed);
        const Endpoint reread = Endpoint::parse(endpoint.toString());
        QCOMPARE(reread.host(), host);
        QCOMPARE(reread.toString(), printed);
    }

    // A zone that is no interface name was taken, and its endpoint printed as one that does
    // not parse ('@' ends the host) or names another address (QUrl reads escapes bytewise).
    void endpointWithZoneThatIsNoName_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("@ in the zone") << QStringLiteral("tcp://@[::%25@]");
        QTest::newRow("non-ASCII zone") << QStringLiteral("tcp://[::%251\u00e97]:52");
        QTest::newRow("empty zone") << QStringLiteral("tcp://[::1%25]:502");
    }
    void endpointWithZoneThatIsNoName() {
        QFETCH(QString, text);
        const Endpoint endpoint = Endpoint::parse(text);
        QVERIFY2(!endpoint.isValid(), qPrintable(endpoint.toString()));
    }

    // An IPvFuture literal was taken as a gateway and printed without its brackets, as a host
    // name, and in lower case: the printed endpoint named another host.
    void endpointWithFutureAddressRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("capitals") << QStringLiteral("tcp://[v1.A]:502");
        QTest::newRow("lower case") << QStringLiteral("tcp://[v7.x]");
        QTest::newRow("after an empty user") << QStringLiteral("tcp://@[v0.A]");
    }
    void endpointWithFutureAddressRefused() {
        QFETCH(QString, text);
        const Endpoint endpoint = Endpoint::parse(text);
        QVERIFY2(!endpoint.isValid(), qPrintable(endpoint.toString()));
        QVERIFY2(endpoint.error().contains(QLatin1String("IPv6 address")), qPrintable(endpoint.error()));
    }

    // A stop command left from an ended session made the scheduler send a write, and take()
    // then sent an ordinary one in its place: to a silent drive, or past the reads' turn.
    void staleStopCommandLetsNoWriteThrough() {
        RequestQueue queue;
        QueuedWrite stop;
        stop.request = pdu::writeSingleRegister(0, 0);
        stop.session = 1;
        QVERIFY(queue.push(stop, RequestQueue::Lane::Priority) != 0);
        QueuedWrite ordinary;
        ordinary.request = pdu::writeSingleRegister(20, 300);
        ordinary.session = 2;
        QVERIFY(queue.push(ordinary) != 0);

        PollScheduler scheduler;
        PollScheduler::Line line;
        line.priorityWrite = queue.hasPriorityWrite(2);
        line.write = !queue.isEmpty();
        line.answering = false;
        QCOMPARE(scheduler.next(line), PollScheduler::Next::Cycle);
        QVERIFY(queue.hasPriorityWrite(1));
    }
};

QTEST_GUILESS_MAIN(tst_fuzz_regressions)
#include "tst_fuzz_regressions.moc"
