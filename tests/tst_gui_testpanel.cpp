#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QUuid>
#include <QtTest>
#include <functional>

#include "app/mainwindow.h"
#include "records/resultsdb.h"
#include "records/runrecorder.h"
#include "support/guiworkdir.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "views/inputregistertable.h"
#include "views/keytrigger.h"
#include "views/logarea.h"
#include "views/maintoolbars.h"
#include "views/registertables.h"
#include "views/testpanel.h"
#include "views/teststeptable.h"
#include "views/timegraphpanel.h"

namespace {

const int kWaitMs = 20000;
const QDateTime kNow(QDate(2024, 1, 18), QTime(9, 5, 7));
const QString kSerial = QStringLiteral("MVX-2407-01");
const QColor kGrey(150, 150, 150), kGreen(0, 255, 0), kRed(255, 0, 0), kWhite(Qt::white);

// Steps 1.. after the serial-number step 0; the drive's model (input 1) is 4.
const QString kModel =
    "<mensaje>Inicio</mensaje><ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</"
    "mult><min>%1</min><max>%2</max></ReadInputRegisters>";
const QString kPassingSteps = kModel.arg(1).arg(65535) + "<espera>1</espera>",
              kFailingSteps = kModel.arg(100).arg(200);

// The operator's answer to a prompt (or a cancel), counting the times asked.
struct Answer {
    QString text;
    bool given = true;
    int asked = 0;
    bool operator()(QWidget *, QString *out) {
        ++asked;
        *out = text;
        return given;
    }
};

// The operator's answer to "tested before?", with what the question showed.
struct RetestAnswer {
    bool given = true;
    int asked = 0;
    QString serial;
    QVector<BoardRun> runs;
    bool operator()(QWidget *, const QString &shownSerial, const QVector<BoardRun> &shownRuns) {
        ++asked;
        serial = shownSerial;
        runs = shownRuns;
        return given;
    }
};

// A window that records the key presses that reach it.
class KeyRecorder : public QWidget {
  public:
    QList<int> keys;

  protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

}  // namespace

// The production test driven from the window against the simulated drive: the operator's
// prompts, the step table, the three test logs and the records.
class GuiTestPanelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_mapDir;  // the map and the test file
    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    TestPanel *m_panel = nullptr;
    Answer m_serial{kSerial}, m_reason{"capacitor C12 missing"};
    RetestAnswer m_retest;

    // The map is copied beside the test file; the map names it relatively.
    void writeTestFile(const QString &steps, bool serialStep = true) {
        QFile test(m_mapDir->filePath("production-test.xml"));
        QVERIFY(test.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray serial =
            "<serial_number><numchar>11</numchar><numparts>3</numparts><separator>-</separator></"
            "serial_number>";
        test.write(
            "<ensayo><config><full_log>true</full_log><summary_log>true</summary_log><result_log>true</"
            "result_log></config>" +
            (serialStep ? serial : QByteArray()) + steps.toUtf8() + "</ensayo>");
    }

    // beforeWindow runs in the working folder, before the window starts.
    void startWindow(const QString &steps, Transport transport, bool serialStep = true,
                     const std::function<void()> &beforeWindow = {}) {
        m_mapDir = std::make_unique<QTemporaryDir>();
        const QString map = m_mapDir->filePath("drive-map.xml");
        QVERIFY(QFile::copy(guitest::exampleMap(), map));
        writeTestFile(steps, serialStep);
        m_bus = std::make_unique<SimulatedBus>();
        m_bus->transport = transport;
        SimulatedDrive::Options options;
        options.mapFile = guitest::exampleMap();
        QString error;
        QVERIFY2(m_bus->start(options, &error), qPrintable(error));
        m_dir = std::make_unique<GuiWorkDir>(GuiWorkDir::Settings{map, m_bus->endpoint(), 115200, 1, true});
        if (beforeWindow) {
            beforeWindow();
        }
        m_window = std::make_unique<MainWindow>();
        m_panel = m_window->testPanel();
        m_panel->setClock([] { return kNow; });
        m_panel->setPrompts({std::ref(m_serial), std::ref(m_reason), std::ref(m_retest)});
        connectPort();
    }

    void connectPort() {
        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isPortConnected(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->registers().inputRegisters[1]->raw, uint16_t(4), kWaitMs);
    }

    // The one log file "<date>[-<time>]-<kind>.txt"; `take` removes it so that the next run's
    // file is the only one.
    QString logText(const QString &kind, bool take = false) {
        const QDir dir(m_dir->filePath("log"));
        const QStringList found =
            dir.entryList(QDir::Files)
                .filter(QRegularExpression(QStringLiteral("^\\d{8}(-\\d{6})?-%1\\.txt$").arg(kind)));
        QFile file(found.size() == 1 ? dir.filePath(found[0]) : QString());
        const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        return take && file.exists() && !file.remove() ? QString() : text;
    }

    int logFiles(const QString &kind) const {
        const QRegularExpression name(QStringLiteral("^\\d{8}(-\\d{6})?-%1\\.txt$").arg(kind));
        return QDir(m_dir->filePath("log")).entryList(QDir::Files).filter(name).size();
    }

    QVector<RunRecord> recordedRuns() {
        QVector<RunRecord> runs;
        QString error;
        ResultsDb db(DbTarget::sqlite(m_dir->filePath("log/mvx-records.sqlite")));
        if (!m_panel->recorder()->waitWritten(kWaitMs) || !db.open(&error) || !db.loadRuns(&runs, &error)) {
            qWarning() << "records:" << error;
        }
        return runs;
    }

    int shown(const QString &text) const { return m_window->logArea()->toPlainText().count(text); }

    QPushButton *testButton() const { return m_window->timeGraph()->testButton(); }

  private slots:
    void cleanup() {
        m_window.reset();
        m_dir.reset();
        m_bus.reset();
        m_serial = {kSerial};
        m_reason = {"capacitor C12 missing"};
        m_retest = {};
    }

    // The panel's pieces. Step table: announced rows are plain; a result greys its name and colours
    // its Res cell, and the row before it (the last one before step 0) loses its grey.
    void panelPieces() {
        TestStepTable table;
        table.showResult(0, "Numero de serie:", 0, 0, 0, 0, kNow.time());
        table.showResult(1, "Modelo", 0, 1, 65535, 1, kNow.time());
        table.showResult(3, "- espera -", 0, 0, 2.5f, 0, kNow.time());  // step 2 has no row
        QStringList columns, cells;
        const int floors[] = {160, 45, 45, 45, 50};  // wider where a text needs it
        for (int column = 0; column < table.columnCount(); ++column) {
            columns << table.horizontalHeaderItem(column)->text();
            QVERIFY(table.columnWidth(column) >= floors[column]);
        }
        for (int row = 0; row < table.rowCount(); ++row) {
            for (int column = 0; column < table.columnCount(); ++column) {
                const bool plain =
                    table.item(row, column)->flags() == (Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                cells << (plain && table.rowHeight(row) == 20 ? table.item(row, column)->text()
                                                              : "not plain");
            }
        }
        QCOMPARE(columns, (QStringList{"Name", "Res", "Min", "Max", "Time"}));
        QCOMPARE(cells.join('|'),
                 QStringLiteral("Numero de serie:|0|0|0|09:05:07|Modelo|0|1|65535|09:05:07||||||- espera "
                                "-|0|0|2.5|09:05:07"));
        QCOMPARE(table.item(1, 3)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        // Name and Res colours of each row: g grey, G green, R red, w white or none.
        const auto colours = [&table] {
            QString text;
            for (int row = 0; row < table.rowCount(); ++row) {
                for (int column : {0, 1}) {
                    const QBrush b = table.item(row, column)->background();
                    const QColor c = b.style() == Qt::NoBrush ? kWhite : b.color();
                    text += c == kGrey ? 'g' : c == kGreen ? 'G' : c == kRed ? 'R' : c == kWhite ? 'w' : '?';
                }
                text += ' ';
            }
            return text;
        };
        QCOMPARE(colours(), QStringLiteral("ww ww ww ww "));
        for (const auto &[num, ok, after] : {std::tuple{3, 0, "ww ww ww gw "},
                                             {0, 1, "gG ww ww ww "},
                                             {1, -1, "wG gR ww ww "},
                                             {2, 0, "wG wR gw ww "}}) {
            table.showResult(num, "Modelo", 4, 1, 65535, ok, kNow.time());
            QCOMPARE(colours(), QString(after));
        }
        // Key trigger: ' ! R(eturn) E(nter) x; typed into the field after "|".
        for (const auto &[keys, fired] :
             {std::pair{"'R", 1}, {"!E", 1}, {"R", 0}, {"'RR", 1}, {"'xR", 0}, {"|'R", 0}}) {
            KeyRecorder window;
            auto *field = new QLineEdit(&window);
            KeyTrigger trigger(&window);
            QSignalSpy spy(&trigger, &KeyTrigger::triggered);
            QWidget *target = &window;
            for (const char c : QByteArray(keys)) {
                if (c == '|') {
                    target = field;
                } else if (c == 'R' || c == 'E') {
                    QTest::keyClick(target, c == 'R' ? Qt::Key_Return : Qt::Key_Enter);
                } else {
                    QTest::keyClick(target, c);
                }
            }
            QVERIFY2(spy.size() == fired, keys);
            // A key that fires the trigger is consumed.
            const int passedOn = window.keys.count(Qt::Key_Return) + window.keys.count(Qt::Key_Enter);
            QVERIFY2(target != &window ||
                         passedOn == QByteArray(keys).count('R') + QByteArray(keys).count('E') - fired,
                     keys);
        }
        // The operator's prompts.
        for (const bool serial : {true, false}) {
            QString shownTexts;
            QTimer::singleShot(0, [&] {
                auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                shownTexts = dialog->windowTitle() + '|' + dialog->labelText() + '|' + dialog->textValue();
                dialog->setTextValue(QStringLiteral("MVX-0001-02"));
                dialog->accept();
            });
            const TestPrompts prompts = TestPrompts::interactive();
            QString answer;
            QVERIFY(serial ? prompts.askSerial(nullptr, &answer)
                           : prompts.askFailureReason(nullptr, &answer));
            QCOMPARE(answer, QStringLiteral("MVX-0001-02"));
            QCOMPARE(shownTexts, serial ? QStringLiteral("Serial number|Serial number:|")
                                        : QStringLiteral("Motivo|Breve motivo del fallo:|"));
        }
        // The retest question lists the earlier runs, and Cancel is its default button.
        QString question;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            question = box->text() + '|' + box->informativeText();
            QVERIFY(box->defaultButton() == box->button(QMessageBox::Cancel));
            box->defaultButton()->click();
        });
        BoardRun run;
        run.start = QStringLiteral("2024-01-18T08:05:07.250Z");
        run.station = QStringLiteral("line-2");
        run.result = QStringLiteral("fail");
        run.failedStep = QStringLiteral("Modelo");
        QVERIFY(!TestPrompts::interactive().confirmRetest(nullptr, kSerial, {run}));
        const QString started = QDateTime(QDate(2024, 1, 18), QTime(8, 5, 7), Qt::UTC)
                                    .toLocalTime()
                                    .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        QCOMPARE(question, QStringLiteral("Serial number %1 was tested before, 1 run(s):|%2 at line-2: fail "
                                          "(Modelo)\n\nTest this board again?")
                               .arg(kSerial, started));
    }

    // A cancelled serial number starts nothing; then one board fails (reason cancelled), fails
    // again (reason given; a retest warning) and passes. Each run writes the three test logs and
    // a record in SQLite in the log folder. Once the port is closed the data log's last line holds
    // the values the input table shows (list rows are not logged).
    void boardsAreLoggedAndRecorded() {
        startWindow(kFailingSteps, Transport::Serial);
        m_serial.given = false;
        testButton()->click();
        QVERIFY(m_serial.asked == 1 && !m_panel->isRunning() && testButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->table()->rowCount(), 3, kWaitMs);      // the steps are announced
        QCOMPARE(QDir(m_dir->filePath("log")).entryList(QDir::Files).size(), 1);  // only the data log
        m_serial.given = true;
        const holding_t *first = m_window->registers().holdings[0];
        for (int i = 0; i < 3; ++i) {
            const bool passes = i == 2;
            const QString word = passes ? "OK" : "ERROR";
            writeTestFile(passes ? kPassingSteps : kFailingSteps);
            m_reason.given = i > 0;
            m_serial.asked = m_reason.asked = 0;
            testButton()->click();
            QVERIFY(m_panel->isRunning() && !testButton()->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning() && testButton()->isEnabled(), kWaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(shown(passes ? "Placa CORRECTA!" : "Placa INCORRECTA!"),
                                      passes ? 1 : i + 1, kWaitMs);
            QVERIFY(m_serial.asked == 1 && m_reason.asked == (passes ? 0 : 1));
            QCOMPARE(m_retest.runs.size(), i);
            QCOMPARE(shown("Número de serie: " + kSerial), i + 1);
            const QString retest =
                QStringLiteral("Serial number %1 was tested before, %2 run(s)").arg(kSerial).arg(i);
            QCOMPARE(shown(i > 0 ? retest : "was tested before"), i > 0 ? 1 : 0);
            QVERIFY(shown(": fail (Modelo)") >= i);  // each warning lists the earlier runs

            const QString result = logText("result-log", true);
            const QString step = QStringLiteral("\tnum: 2\ttipo: 10\ttxt: Modelo\tres: 4\tmin: %1\tok: %2")
                                     .arg(passes ? "1\tmax: 65535" : "100\tmax: 200")
                                     .arg(passes ? 1 : -1);
            const QString resultado =
                QStringLiteral("Resultado: %1\n\n%2:\t%3\n").arg(word, first->text).arg(first->value);
            QVERIFY2(result.contains(" Serial Number: " + kSerial) && result.contains(step) &&
                         result.contains(resultado) && result.contains("Log finished at "),
                     qPrintable(result));
            QCOMPARE(result.contains(" Motivo del fallo: " + m_reason.text), i == 1);
            const QStringList full = logText("test-log", true).split('\n');
            QCOMPARE(full.filter(" Serial Number: " + kSerial).size(), 1);
            // Data-log lines of the test's duration, with the drive's model in the second column.
            QVERIFY(!full.filter(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d{3};[^;]+;4;)")).isEmpty());
            const QString summary = logText("summary");
            QVERIFY2(
                summary.count('\n') == i + 1 &&
                    summary.endsWith(QStringLiteral("T: 20240118-090507 SN: %1 R: %2\n").arg(kSerial, word)),
                qPrintable(summary));
            QCOMPARE(m_panel->table()->item(2, 1)->background().color(), passes ? kGreen : kRed);  // Modelo
        }
        QVERIFY(m_panel->statsLabel()->text().endsWith(": 1 boards, 2 failures, first-pass yield 0.0%"));
        QVERIFY(m_panel->recorder()->waitWritten(kWaitMs));
        ResultsDb db(DbTarget::sqlite(m_dir->filePath("log/mvx-records.sqlite")));
        QVector<RunRecord> runs;
        QString error;
        QVERIFY2(db.open(&error) && db.loadRuns(&runs, &error) && runs.size() == 3, qPrintable(error));
        const RunRecord &r = runs[1];
        const int holdings = m_window->registers().holdings.size();
        QCOMPARE((QStringList{r.serial, r.result, r.failedStep, r.reason, r.driveModel,
                              QString::number(r.holdings.size())}),
                 (QStringList{kSerial, "fail", "Modelo", m_reason.text, "4", QString::number(holdings)}));

        // Silenced, so that no reply is on its way when the line is closed: two more requests go
        // out only after every earlier answer has been handled.
        QVERIFY(m_bus->drive.command(QStringLiteral("silent on")));
        const int asked = m_bus->drive.requests().size();
        QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().size() >= asked + 2, kWaitMs);
        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
        const QStringList data =
            logText("log").split('\n').filter(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d{3};)"));
        const InputRegisterTable *inputs = m_window->tables()->inputRegisters();
        QStringList cells;
        for (int row = 0; row < inputs->rowCount(); ++row) {
            if (!inputs->isRowHidden(row) && m_window->registers().inputRegisters[row]->vis_type != "list") {
                cells << inputs->item(row, 1)->text();
            }
        }
        QVERIFY(!data.isEmpty() && !cells.isEmpty());
        QCOMPARE(data.last().split(';').mid(1, cells.size()), cells);
    }

    // A run the last session left in the spool goes up when the window starts, before any board.
    // A test without a serial-number step still writes its logs; its verdict is shown while
    // the database is still busy with another station's write.
    void spoolUploadedAtStartAndVerdictFirst() {
        const RunRecord spooled = [] {
            RunRecord r;
            r.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            r.serial = "MVX-2406-99";
            r.day = "2024-01-17";
            r.startedAt = r.endedAt = "2024-01-17T08:00:00.000Z";
            r.result = "pass";
            return r;
        }();
        const auto spoolOne = [&spooled] {
            ResultsDb spool(DbTarget::sqlite("log/mvx-records-spool.sqlite"));
            QString error;
            QVERIFY2(spool.open(&error), qPrintable(error));
            QCOMPARE(spool.storeRun(spooled, &error), ResultsDb::StoreOutcome::Stored);
        };
        startWindow(kPassingSteps, Transport::Tcp, false, spoolOne);
        const DbTarget records = DbTarget::sqlite(m_dir->filePath("log/mvx-records.sqlite"));
        const auto storedRuns = [&records] {
            ResultsDb db(records, ResultsDb::Access::ReadOnly);
            QVector<RunRecord> runs;
            QString error;
            return db.open(&error) && db.loadRuns(&runs, &error) ? runs : QVector<RunRecord>();
        };
        QTRY_COMPARE_WITH_TIMEOUT(storedRuns().value(0).id, spooled.id, kWaitMs);
        // Another station holds the write lock of the shared file.
        ResultsDb other(records);
        QString error;
        QVERIFY2(other.open(&error), qPrintable(error));
        QSqlQuery lock(other.database());
        QVERIFY(lock.exec("BEGIN IMMEDIATE"));
        testButton()->click();
        QCOMPARE(m_serial.asked, 0);
        QTRY_COMPARE_WITH_TIMEOUT(shown("Placa CORRECTA!"), 1, kWaitMs);
        QVERIFY(!m_panel->recorder()->waitWritten(0));  // the record still waits for the lock
        QVERIFY(lock.exec("COMMIT"));
        QVERIFY(m_panel->recorder()->waitWritten(kWaitMs));
        const QVector<RunRecord> runs = storedRuns();
        QCOMPARE(runs.size(), 2);
        QCOMPARE((QStringList{runs[1].serial, runs[1].result}), (QStringList{"", "pass"}));
        QVERIFY(logText("result-log").contains("Resultado: OK"));
        QVERIFY(logText("test-log").contains("Log finished at "));
        QVERIFY2(logText("summary").endsWith("T: 20240118-090507 SN:  R: OK\n"),
                 qPrintable(logText("summary")));
        ResultsDb spool(DbTarget::sqlite(m_dir->filePath("log/mvx-records-spool.sqlite")));
        QVERIFY(spool.open(&error));
        QCOMPARE(spool.runCount(), 0);
    }

    // A board tested before is asked about, showing its earlier runs, before anything of the run
    // is written: cancelled, no log line, log file or record; gone on, the run is logged and
    // recorded as usual.
    void retestIsConfirmedFirst() {
        startWindow(kFailingSteps, Transport::Tcp);
        testButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
        QCOMPARE(m_retest.asked, 0);
        const QVector<RunRecord> first = recordedRuns();
        QCOMPARE(first.size(), 1);
        QVERIFY(!logText("test-log", true).isEmpty() && !logText("result-log", true).isEmpty());

        m_retest.given = false;
        testButton()->click();
        QVERIFY(!m_panel->isRunning() && testButton()->isEnabled());
        QCOMPARE(m_retest.asked, 1);
        QCOMPARE(m_retest.serial, kSerial);
        QCOMPARE(m_retest.runs.size(), 1);
        QCOMPARE((QStringList{m_retest.runs[0].id, m_retest.runs[0].result}),
                 (QStringList{first[0].id, "fail"}));
        const QString started = QDateTime::fromString(first[0].startedAt, Qt::ISODateWithMs)
                                    .toLocalTime()
                                    .toString("yyyy-MM-dd hh:mm:ss");
        QCOMPARE(earlierRunLines(m_retest.runs),
                 QStringList(started + " at " + first[0].station + ": fail (Modelo)"));
        QCOMPARE(recordedRuns().size(), 1);
        QCOMPARE(logFiles("test-log") + logFiles("result-log"), 0);
        QCOMPARE(logText("summary").count('\n'), 1);
        QCOMPARE(logText("log").count(" Serial Number: " + kSerial), 1);
        QCOMPARE(shown("Número de serie: " + kSerial), 1);

        m_retest.given = true;
        testButton()->click();
        QVERIFY(m_panel->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
        QCOMPARE(m_retest.asked, 2);
        QCOMPARE(m_retest.runs.size(), 1);
        QCOMPARE(recordedRuns().size(), 2);
        QCOMPARE(logFiles("test-log") + logFiles("result-log"), 2);
        QCOMPARE(logText("summary").count('\n'), 2);
        QCOMPARE(logText("log").count(" Serial Number: " + kSerial), 2);
        QCOMPARE(shown("Serial number " + kSerial + " was tested before, 1 run(s): " + started), 1);
    }

    // A running test is cancelled by the keyboard (' Return starts, ! Enter stops), the Stop
    // button (which writes the stop register), closing the port and a lost gateway connection.
    // Closing the port finishes the data log; after the loss the window tries the line again and
    // the data log goes on.
    void interruptedTestIsCancelled() {
        startWindow(QStringLiteral("<espera>60</espera>"), Transport::Tcp);
        const char *const ways[] = {"keyboard", "Stop button", "port closed", "gateway connection lost"};
        for (int i = 0; i < 4; ++i) {
            if (i == 0) {
                QTest::keyClick(m_window.get(), Qt::Key_Return);
                QCOMPARE(m_serial.asked, 0);
                QTest::keyClick(m_window.get(), '\'');
                QTest::keyClick(m_window.get(), Qt::Key_Return);
                QCOMPARE(m_serial.asked, 1);
            } else {
                testButton()->click();
            }
            QVERIFY2(m_panel->isRunning(), ways[i]);
            QTRY_COMPARE_WITH_TIMEOUT(shown("Esperando 60 segundos"), i + 1, kWaitMs);
            if (i == 0) {
                QTest::keyClick(m_window.get(), '!');
                QTest::keyClick(m_window.get(), Qt::Key_Enter);
            } else if (i == 1) {
                m_window->timeGraph()->stopButton()->click();
                QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().contains("1 06 00 42 00 00"), kWaitMs);
            } else if (i == 2) {
                m_window->toolBars()->connectPort->trigger();
            } else {
                m_bus->pullThePlug();
                QTRY_COMPARE_WITH_TIMEOUT(shown("Port lost: "), 1, kWaitMs);
                QVERIFY(!m_window->isPortConnected() && m_window->toolBars()->connectPort->isChecked());
            }
            QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
            const QString dataLog = logText("log", i >= 2), result = logText("result-log", true);
            QVERIFY2(dataLog.contains("Log started at ") && dataLog.contains("Log finished at ") == (i == 2),
                     ways[i]);
            QVERIFY2(logText("test-log", true).contains(" Serial Number: " + kSerial), ways[i]);
            QVERIFY2(
                result.contains("Resultado: CANCELADO") && !result.contains("Motivo") && m_reason.asked == 0,
                ways[i]);
            QCOMPARE(logText("summary").count("R: CANCELADO"), i + 1);
            if (i == 2) {
                connectPort();
            }
        }
    }
};

QTEST_MAIN(GuiTestPanelTest)
#include "tst_gui_testpanel.moc"
