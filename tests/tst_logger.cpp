#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/logger.h"

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

    void dataLogFileAndLines() {
        logger log;
        m_clock.attach(log);
        QSignalSpy failures(&log, &logger::writeFailed);
        QVERIFY(log.startLog(m_dir->path(), "log"));
        QCOMPARE(log.fileName(), m_dir->filePath("20241205-140307-log.txt"));
        m_clock.advance(65042);
        log.writeLine(";1;2.5");
        log.writeRaw("raw text");
        log.finishLog();
        QVERIFY(!log.isOpen());
        QCOMPARE(contents(m_dir->filePath("20241205-140307-log.txt")),
                 QByteArray("Log started at 14:03:07,250 of 05/12/2024\n"
                            "00:01:05.042;1;2.5\n"
                            "raw text\n"
                            "Log finished at 14:04:12,292 of 05/12/2024\n"));
        QCOMPARE(failures.size(), 0);
    }

    void elapsedPrefix_data() {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("start") << qint64(0) << "00:00:00.000";
        QTest::newRow("65.042 s") << qint64(65042) << "00:01:05.042";
        QTest::newRow("just below an hour") << qint64(3599999) << "00:59:59.999";
        QTest::newRow("25 h not wrapped") << qint64(25) * 3600000 << "25:00:00.000";
        QTest::newRow("100 h") << qint64(100) * 3600000 + 7 << "100:00:00.007";
    }

    void elapsedPrefix() {
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, prefix);
        logger log;
        m_clock.attach(log);
        QVERIFY(log.startLog(m_dir->path(), "log"));
        m_clock.advance(elapsedMs);
        log.writeLine("x");
        const QList<QByteArray> lines = contents(log.fileName()).split('\n');
        QCOMPARE(lines.value(1), (prefix + "x").toUtf8());
    }

    void loggersStartedInOneSecondNeverShareAFile() {
        logger data, test, again;
        m_clock.attach(data);
        m_clock.attach(test);
        m_clock.attach(again);
        QVERIFY(data.startLog(m_dir->path(), "log"));
        QVERIFY(test.startLog(m_dir->path(), "test"));
        data.writeRaw("data");
        QVERIFY(again.startLog(m_dir->path(), "test"));
        QCOMPARE(QFileInfo(data.fileName()).fileName(), QString("20241205-140307-log.txt"));
        QCOMPARE(QFileInfo(test.fileName()).fileName(), QString("20241205-140307-test-log.txt"));
        QCOMPARE(QFileInfo(again.fileName()).fileName(), QString("20241205-140307-test-2-log.txt"));
        QVERIFY(contents(data.fileName()).endsWith("data\n"));
    }

    void summaryAppendsPerDay() {
        logger summary;
        m_clock.attach(summary);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        QCOMPARE(summary.fileName(), m_dir->filePath("20241205-summary.txt"));
        summary.writeRaw("first");
        m_clock.advance(3600000);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        summary.writeRaw("second");
        QCOMPARE(contents(m_dir->filePath("20241205-summary.txt")), QByteArray("first\nsecond\n"));
        m_clock.advance(9 * 3600000);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        QCOMPARE(summary.fileName(), m_dir->filePath("20241206-summary.txt"));
    }

    void unopenableDirectory_data() {
        QTest::addColumn<bool>("summary");
        QTest::newRow("log") << false;
        QTest::newRow("summary") << true;
    }

    void unopenableDirectory() {
        QFETCH(bool, summary);
        logger log;
        m_clock.attach(log);
        QVERIFY(log.startLog(m_dir->path(), "log"));
        const QString previous = log.fileName();
        const QString missing = m_dir->filePath("no/such/dir");
        QVERIFY(!(summary ? log.startSummary(missing, "summary") : log.startLog(missing, "log")));
        QVERIFY(!log.isOpen());
        QVERIFY(log.fileName().isEmpty());
        log.writeLine("lost");
        log.writeRaw("lost");
        log.finishLog();
        QVERIFY(!QDir(m_dir->filePath("no")).exists());
        QVERIFY(!contents(previous).contains("lost"));
        QVERIFY(!contents(previous).contains("finished"));
    }

    // A full disk is the usual cause; /dev/full stands for one.
    void lineThatDoesNotReachTheFileIsSaidOnce() {
        if (!QFile::exists("/dev/full")) {
            QSKIP("no /dev/full");
        }
        QVERIFY(QFile::link("/dev/full", m_dir->filePath("20241205-summary.txt")));
        logger summary;
        m_clock.attach(summary);
        QSignalSpy failures(&summary, &logger::writeFailed);
        QVERIFY(summary.startSummary(m_dir->path(), "summary"));
        summary.writeRaw("lost");
        summary.writeRaw("lost too");
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().startsWith("Log " + m_dir->filePath("20241205-summary.txt")));
    }

    // The search for a free name gives up after a thousand logs of one kind in one second.
    void thousandLogsInOneSecondLeaveNoName() {
        for (int n = 1; n <= 1000; ++n) {
            QFile taken(m_dir->filePath(n == 1 ? QString("20241205-140307-log.txt")
                                               : QString("20241205-140307-%1-log.txt").arg(n)));
            QVERIFY(taken.open(QIODevice::WriteOnly));
        }
        logger log;
        m_clock.attach(log);
        QVERIFY(!log.startLog(m_dir->path(), "log"));
        QVERIFY(!log.isOpen());
    }

    void writesBeforeStartDoNothing() {
        logger log;
        log.writeLine("x");
        log.writeRaw("x");
        log.finishLog();
        QVERIFY(!log.isOpen());
        QVERIFY(log.fileName().isEmpty());
    }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

QTEST_GUILESS_MAIN(tst_logger)
#include "tst_logger.moc"
