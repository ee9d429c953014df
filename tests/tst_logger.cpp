#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/logger.h"
#include "app/rotatingdatalog.h"
#include "test/test_logs.h"

namespace {

// A hand-driven clock shared by the loggers of one test.
struct FakeClock {
    QDateTime now{QDate(2024, 12, 5), QTime(14, 3, 7, 250)};
    qint64 monotonicMs = 1000;

    void advance(qint64 ms) {
        now = now.addMSecs(ms);
        monotonicMs += ms;
    }
    void attach(logger &log) {
        log.setClocks([this] { return now; }, [this] { return monotonicMs; });
    }
};

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class tst_logger : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_clock = FakeClock();
    }

    // Loggers started in one second never share a file; each line reaches its own file.
    void logFilesAndLines() {
        logger data, test, again;
        for (logger *log : {&data, &test, &again}) {
            m_clock.attach(*log);
        }
        QSignalSpy failures(&data, &logger::writeFailed);
        QVERIFY(data.startLog(m_dir->path(), "log"));
        QVERIFY(test.startLog(m_dir->path(), "test"));
        QVERIFY(again.startLog(m_dir->path(), "test"));
        QCOMPARE(data.fileName(), m_dir->filePath("20241205-140307-log.txt"));
        QCOMPARE(test.fileName(), m_dir->filePath("20241205-140307-test-log.txt"));
        QCOMPARE(again.fileName(), m_dir->filePath("20241205-140307-test-2-log.txt"));
        // The search for a free name gives up after a thousand logs of one kind in one second.
        for (int n = 2; n <= 1000; ++n) {
            QVERIFY(QFile(m_dir->filePath(QString("20241205-140307-%1-log.txt").arg(n)))
                        .open(QIODevice::WriteOnly));
        }
        QVERIFY(!again.startLog(m_dir->path(), "log"));
        QVERIFY(!again.isOpen());
        m_clock.advance(65042);
        data.writeLine(";1;2.5");
        data.writeRaw("raw text");
        data.finishLog();
        QVERIFY(!data.isOpen());
        QCOMPARE(contents(data.fileName()), QByteArray("Log started at 14:03:07,250 of 05/12/2024\n"
                                                       "00:01:05.042;1;2.5\n"
                                                       "raw text\n"
                                                       "Log finished at 14:04:12,292 of 05/12/2024\n"));
        QCOMPARE(failures.size(), 0);
    }

    void elapsedText() {
        // clang-format off
        const QPair<qint64, QString> cases[] = {{0, "00:00:00.000"}, {65042, "00:01:05.042"},
            {3599999, "00:59:59.999"}, {25 * 3600000LL, "25:00:00.000"}, {100 * 3600000LL + 7, "100:00:00.007"},
            {-5, "00:00:00.000"}};  // hours never wrap; nothing goes below zero
        // clang-format on
        for (const auto &c : cases) {
            QCOMPARE(logger::elapsedText(c.first), c.second);
        }
    }

    // The summary of a day is appended to; a line that does not reach it is said once.
    void summaryAppendsPerDayAndALostLineIsSaidOnce() {
        logger summary;
        m_clock.attach(summary);
        QSignalSpy failures(&summary, &logger::writeFailed);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        QCOMPARE(summary.fileName(), m_dir->filePath("20241205-summary.txt"));
        summary.writeRaw("first");
        m_clock.advance(3600000);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        summary.writeRaw("second");
        QCOMPARE(contents(m_dir->filePath("20241205-summary.txt")), QByteArray("first\nsecond\n"));
        QCOMPARE(failures.size(), 0);
        // A full disk is the usual cause of a lost line; /dev/full stands for one.
        QVERIFY(QFile::link("/dev/full", m_dir->filePath("20241206-summary.txt")));
        m_clock.advance(9 * 3600000);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        QCOMPARE(summary.fileName(), m_dir->filePath("20241206-summary.txt"));
        summary.writeRaw("lost");
        summary.writeRaw("lost too");
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().startsWith("Log " + m_dir->filePath("20241206-summary.txt")));
    }

    // A serial number holding line breaks stays on its board's one summary line.
    void summaryLineOfASerialWithLineBreaks() {
        logger full, result, summary;
        for (logger *log : {&full, &result, &summary}) {
            m_clock.attach(*log);
        }
        TestLogs logs(&full, &result, &summary);
        const QString serial = "SN-1\nT: 20241205-000000 SN: forged R: OK\r\\n";
        logs.begin(m_dir->path(), {false, false, true}, serial, nullptr);
        logs.finish(-1, {}, false, QString(), m_clock.now, serial);
        QCOMPARE(contents(m_dir->filePath("20241205-summary.txt")),
                 QByteArray("T: 20241205-140307 SN: SN-1\\nT: 20241205-000000 SN: forged R: OK\\r\\\\n R: "
                            "ERROR\n"));
    }

    // Before a start, and after a start that failed, writing does nothing and creates nothing.
    void writesWithoutAFileDoNothing() {
        for (bool summary : {false, true}) {
            logger log;
            m_clock.attach(log);
            log.writeLine("x");
            QVERIFY(log.fileName().isEmpty());
            QVERIFY(log.startLog(m_dir->path(), "log"));
            const QString previous = log.fileName();
            const QString missing = m_dir->filePath("no/such/dir");
            QVERIFY(!(summary ? log.startSummary(missing, "summary") : log.startLog(missing, "log")));
            QVERIFY(log.fileName().isEmpty());
            log.writeLine("lost");
            log.writeRaw("lost");
            log.finishLog();
            QVERIFY(!QDir(m_dir->filePath("no")).exists());
            QVERIFY(!contents(previous).contains("lost"));
        }
    }

    // A monitor's data log: a new file when the day changes or the size limit is reached, each
    // file whole (headers, lines, footer); a gap is a line with the time and empty values.
    void rotatingDataLog_data() {
        QTest::addColumn<qint64>("stepMs");
        QTest::addColumn<qint64>("limitBytes");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("one day, small")
            << qint64(1000) << qint64(1 << 20) << QStringList{"20241205-140307-log.txt"};
        QTest::newRow("past midnight") << qint64(6 * 3600 * 1000) << qint64(1 << 20)
                                       << QStringList{"20241205-140307-log.txt", "20241206-020307-log.txt"};
        QTest::newRow("size limit") << qint64(1000) << qint64(100)
                                    << QStringList{"20241205-140307-log.txt", "20241205-140308-log.txt",
                                                   "20241205-140309-log.txt", "20241205-140310-log.txt"};
    }
    void rotatingDataLog() {
        QFETCH(qint64, stepMs);
        QFETCH(qint64, limitBytes);
        QFETCH(QStringList, files);
        input_reg_t speed;
        speed.name = "speed";
        speed.unit = "rpm";
        speed.vis_type = "integer";
        RotatingDataLog log(m_dir->path(), {&speed}, limitBytes);
        m_clock.attach(log.file());
        log.setToday([this] { return m_clock.now.date(); });
        QVERIFY(log.start());
        for (int i = 0; i < 4; ++i) {
            log.writeValues(QStringLiteral(";%1").arg(i).repeated(i == 2 ? 20 : 1));
            log.writeGap();
            m_clock.advance(stepMs);
        }
        log.finish();
        QStringList names;
        for (const QString &path : log.files()) {
            names << QFileInfo(path).fileName();
            const QList<QByteArray> lines = contents(path).trimmed().split('\n');
            QVERIFY2(lines.at(1).endsWith(";speed") && lines.at(2).endsWith(";rpm"), lines.at(1).constData());
            QVERIFY2(lines.last().startsWith("Log finished at "), lines.last().constData());
            QVERIFY(lines.at(4).endsWith(";"));
        }
        QCOMPARE(names, files);
    }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

QTEST_GUILESS_MAIN(tst_logger)
#include "tst_logger.moc"
