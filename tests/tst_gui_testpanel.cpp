#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "support/guiworkdir.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "test/resultsdb.h"
#include "test/runrecorder.h"
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
const char *const kPassingSteps =
    "<mensaje>Inicio</mensaje><ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</"
    "mult><min>1</min><max>65535</max></ReadInputRegisters><espera>1</espera>";
const char *const kFailingSteps =
    "<mensaje>Inicio</mensaje><ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</"
    "mult><min>100</min><max>200</max></ReadInputRegisters>";

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

    QTemporaryDir m_mapDir;
    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    TestPanel *m_panel = nullptr;
    bool m_serialGiven = true;
    int m_serialAsked = 0;
    QString m_reason = QStringLiteral("capacitor C12 missing");
    bool m_reasonGiven = true;
    int m_reasonAsked = 0;

    // The map is copied beside the test file; the map names it relatively.
    void writeTestFile(const char *steps) {
        QFile test(m_mapDir.filePath(QStringLiteral("production-test.xml")));
        QVERIFY(test.open(QIODevice::WriteOnly | QIODevice::Truncate));
        test.write(QStringLiteral(
                       "<ensayo><config><full_log>true</full_log><summary_log>true</"
                       "summary_log><result_log>true</result_log></config><serial_number><numchar>11</"
                       "numchar><numparts>3</numparts><separator>-</separator></serial_number>%1</ensayo>")
                       .arg(steps)
                       .toUtf8());
    }

    void startWindow(const char *steps, Transport transport) {
        const QString map = m_mapDir.filePath(QStringLiteral("drive-map.xml"));
        QFile::remove(map);
        QVERIFY(QFile::copy(guitest::exampleMap(), map));
        writeTestFile(steps);
        m_bus = std::make_unique<SimulatedBus>();
        m_bus->transport = transport;
        SimulatedDrive::Options options;
        options.mapFile = guitest::exampleMap();
        QString error;
        QVERIFY2(m_bus->start(options, &error), qPrintable(error));
        GuiWorkDir::Settings settings{map, m_bus->endpoint()};
        settings.logging = true;
        m_dir = std::make_unique<GuiWorkDir>(settings);
        m_window = std::make_unique<MainWindow>();
        m_panel = m_window->testPanel();
        m_panel->setClock([] { return kNow; });
        TestPrompts prompts;
        prompts.askSerial = [this](QWidget *, QString *serial) {
            ++m_serialAsked;
            *serial = kSerial;
            return m_serialGiven;
        };
        prompts.askFailureReason = [this](QWidget *, QString *reason) {
            ++m_reasonAsked;
            *reason = m_reason;
            return m_reasonGiven;
        };
        m_panel->setPrompts(prompts);
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
        const QDir dir(m_dir->filePath(QStringLiteral("log")));
        const QRegularExpression name(QStringLiteral("^\\d{8}(-\\d{6})?-%1\\.txt$").arg(kind));
        const QStringList found = dir.entryList(QDir::Files).filter(name);
        QFile file(dir.filePath(found.value(0)));
        const bool one = found.size() == 1 && file.open(QIODevice::ReadOnly);
        const QString text = one ? QString::fromUtf8(file.readAll()) : QString();
        if (one && take) {
            file.remove();
        }
        return text;
    }

    int shown(const QString &text) const { return m_window->logArea()->toPlainText().count(text); }

    void runUntilFinished() {
        m_window->timeGraph()->testButton()->click();
        QVERIFY(m_panel->isRunning());
        QVERIFY(!m_window->timeGraph()->testButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
    }

  private slots:
    void cleanup() {
        m_window.reset();
        m_dir.reset();
        m_bus.reset();
        m_serialGiven = m_reasonGiven = true;
        m_serialAsked = m_reasonAsked = 0;
    }

    // Announced rows are plain; a result greys its name and colours its Res cell, and the row
    // before it (the last one before step 0) loses its grey.
    void stepTable() {
        TestStepTable table;
        table.showResult(0, QStringLiteral("Numero de serie:"), 0, 0, 0, 0, kNow.time());
        table.showResult(1, QStringLiteral("Modelo"), 0, 1, 65535, 1, kNow.time());
        table.showResult(3, QStringLiteral("- espera -"), 0, 0, 2.5f, 0, kNow.time());  // step 2 has no row
        QStringList columns, cells;
        for (int column = 0; column < table.columnCount(); ++column) {
            columns << table.horizontalHeaderItem(column)->text() +
                           QString::number(table.columnWidth(column));
        }
        for (int row = 0; row < table.rowCount(); ++row) {
            for (int column = 0; column < table.columnCount(); ++column) {
                const QTableWidgetItem *item = table.item(row, column);
                const QBrush brush = item->background();
                const bool plain = item->flags() == (Qt::ItemIsSelectable | Qt::ItemIsEnabled) &&
                                   (brush.style() == Qt::NoBrush || brush.color() == Qt::white);
                cells << (plain && table.rowHeight(row) == 20 ? item->text() : QStringLiteral("not plain"));
            }
        }
        QCOMPARE(columns, (QStringList{"Name160", "Res45", "Min45", "Max45", "Time50"}));
        QCOMPARE(cells.join('|'),
                 QStringLiteral("Numero de serie:|0|0|0|09:05:07|Modelo|0|1|65535|09:05:07||||||- espera "
                                "-|0|0|2.5|09:05:07"));
        QCOMPARE(table.item(1, 3)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        table.showResult(3, QStringLiteral("- espera -"), 0, 0, 0, 0, kNow.time());
        const struct {
            int num, ok;
            QColor res;
            int previous;
        } results[] = {{0, 1, kGreen, 3}, {1, -1, kRed, 0}, {2, 0, kWhite, 1}};
        for (const auto &r : results) {
            QCOMPARE(table.item(r.previous, 0)->background().color(), kGrey);
            table.showResult(r.num, QStringLiteral("Modelo"), 4, 1, 65535, r.ok, kNow.time());
            QCOMPARE(table.item(r.num, 0)->background().color(), kGrey);
            QCOMPARE(table.item(r.num, 1)->background().color(), r.res);
            QCOMPARE(table.item(r.previous, 0)->background().color(), kWhite);
        }
    }

    void keyTrigger() {
        // ' ! R(eturn) E(nter) x; typed into the field after "|"
        for (const auto &[keys, fired] :
             {std::pair{"'R", 1}, {"!E", 1}, {"R", 0}, {"'RR", 1}, {"'xR", 0}, {"|'R", 0}}) {
            KeyRecorder window;
            auto *field = new QLineEdit(&window);
            KeyTrigger trigger(&window);
            QSignalSpy spy(&trigger, &KeyTrigger::triggered);
            QWidget *target = &window;
            int returns = 0;
            for (const char c : QByteArray(keys)) {
                if (c == '|') {
                    target = field;
                } else if (c == 'R' || c == 'E') {
                    QTest::keyClick(target, c == 'R' ? Qt::Key_Return : Qt::Key_Enter);
                    ++returns;
                } else {
                    QTest::keyClick(target, c);
                }
            }
            QVERIFY2(spy.size() == fired, keys);
            // A key that fires the trigger is consumed.
            const int passedOn = window.keys.count(Qt::Key_Return) + window.keys.count(Qt::Key_Enter);
            QVERIFY2(target != &window || passedOn == returns - fired, keys);
        }
    }

    void promptsAskTheOperator() {
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
    }

    // A cancelled serial number starts nothing; then one board fails (reason cancelled), fails
    // again (reason given; a retest warning) and passes. Each run writes the three test logs and
    // a record in SQLite in the log folder. Once the port is closed the data log's last line holds
    // the values the input table shows (list rows are not logged).
    void boardsAreLoggedAndRecorded() {
        startWindow(kFailingSteps, Transport::Serial);
        m_serialGiven = false;
        m_window->timeGraph()->testButton()->click();
        QVERIFY(m_serialAsked == 1 && !m_panel->isRunning() &&
                m_window->timeGraph()->testButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->table()->rowCount(), 3, kWaitMs);  // the steps are announced
        QCOMPARE(QDir(m_dir->filePath(QStringLiteral("log"))).entryList(QDir::Files).size(),
                 1);  // the data log
        m_serialGiven = true;
        const holding_t *first = m_window->registers().holdings[0];
        for (int i = 0; i < 3; ++i) {
            const bool passes = i == 2;
            const QString word = passes ? QStringLiteral("OK") : QStringLiteral("ERROR");
            writeTestFile(passes ? kPassingSteps : kFailingSteps);
            m_reasonGiven = i > 0;
            m_serialAsked = m_reasonAsked = 0;
            runUntilFinished();
            QTRY_VERIFY_WITH_TIMEOUT(m_window->timeGraph()->testButton()->isEnabled(), kWaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(
                shown(passes ? QStringLiteral("Placa CORRECTA!") : QStringLiteral("Placa INCORRECTA!")),
                passes ? 1 : i + 1, kWaitMs);
            QVERIFY(m_serialAsked == 1 && m_reasonAsked == (passes ? 0 : 1));
            QCOMPARE(shown(QStringLiteral("Número de serie: ") + kSerial), i + 1);
            const QString retest =
                QStringLiteral("Serial number %1 was tested before, %2 run(s)").arg(kSerial).arg(i);
            QCOMPARE(shown(i > 0 ? retest : QStringLiteral("was tested before")), i > 0 ? 1 : 0);
            QVERIFY(shown(QStringLiteral(": fail (Modelo)")) >= i);  // each warning lists the earlier runs

            const QString result = logText(QStringLiteral("result-log"), true);
            const QString step = QStringLiteral("\tnum: 2\ttipo: 10\ttxt: Modelo\tres: 4\tmin: %1\tok: %2")
                                     .arg(passes ? "1\tmax: 65535" : "100\tmax: 200")
                                     .arg(passes ? 1 : -1);
            const QString resultado =
                QStringLiteral("Resultado: %1\n\n%2:\t%3\n").arg(word, first->text).arg(first->value);
            QVERIFY2(result.contains(QStringLiteral(" Serial Number: ") + kSerial) && result.contains(step) &&
                         result.contains(resultado) && result.contains(QStringLiteral("Log finished at ")),
                     qPrintable(result));
            QCOMPARE(result.contains(QStringLiteral(" Motivo del fallo: ") + m_reason), i == 1);
            const QStringList full = logText(QStringLiteral("test-log"), true).split(QLatin1Char('\n'));
            QCOMPARE(full.filter(QStringLiteral(" Serial Number: ") + kSerial).size(), 1);
            // Data-log lines of the test's duration, with the drive's model in the second column.
            QVERIFY(!full.filter(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3};[^;]+;4;)")))
                         .isEmpty());
            const QString summary = logText(QStringLiteral("summary"));
            QVERIFY2(
                summary.count('\n') == i + 1 &&
                    summary.endsWith(QStringLiteral("T: 20240118-090507 SN: %1 R: %2\n").arg(kSerial, word)),
                qPrintable(summary));
            QCOMPARE(m_panel->table()->item(2, 0)->text(), QStringLiteral("Modelo"));
            QCOMPARE(m_panel->table()->item(2, 1)->background().color(), passes ? kGreen : kRed);
        }
        QVERIFY(m_panel->statsLabel()->text().endsWith(
            QStringLiteral(": 1 boards, 2 failures, first-pass yield 0.0%")));
        QVERIFY(m_panel->recorder()->waitWritten(kWaitMs));
        ResultsDb db(DbTarget::sqlite(m_dir->filePath(QStringLiteral("log/mvx-records.sqlite"))));
        QVector<RunRecord> runs;
        QString error;
        QVERIFY2(db.open(&error) && db.loadRuns(&runs, &error) && runs.size() == 3, qPrintable(error));
        const RunRecord &r = runs[1];
        QCOMPARE((QStringList{r.serial, r.result, r.failedStep, r.reason, r.driveModel,
                              QString::number(r.holdings.size())}),
                 (QStringList{kSerial, "fail", "Modelo", m_reason, "4",
                              QString::number(m_window->registers().holdings.size())}));

        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
        const QStringList data =
            logText(QStringLiteral("log"))
                .split('\n')
                .filter(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3};)")));
        const InputRegisterTable *inputs = m_window->tables()->inputRegisters();
        QStringList cells;
        for (int row = 0; row < inputs->rowCount(); ++row) {
            if (!inputs->isRowHidden(row) && m_window->registers().inputRegisters[row]->vis_type != "list") {
                cells << inputs->item(row, 1)->text();
            }
        }
        QVERIFY(!data.isEmpty() && !cells.isEmpty());
        QCOMPARE(data.last().split(QLatin1Char(';')).mid(1, cells.size()), cells);
    }

    // A running test is cancelled by the keyboard (' Return starts, ! Enter stops), the Stop
    // button (which writes the stop register), closing the port and a lost gateway connection;
    // the last two also finish the data log.
    void interruptedTestIsCancelled() {
        startWindow("<espera>60</espera>", Transport::Tcp);
        const QByteArray ways[] = {"keyboard", "Stop button", "port closed", "gateway connection lost"};
        for (int i = 0; i < 4; ++i) {
            if (i == 0) {
                QTest::keyClick(m_window.get(), Qt::Key_Return);
                QCOMPARE(m_serialAsked, 0);
                QTest::keyClick(m_window.get(), Qt::Key_Apostrophe);
                QTest::keyClick(m_window.get(), Qt::Key_Return);
                QCOMPARE(m_serialAsked, 1);
            } else {
                m_window->timeGraph()->testButton()->click();
            }
            QVERIFY2(m_panel->isRunning(), ways[i]);
            QTRY_COMPARE_WITH_TIMEOUT(shown(QStringLiteral("Esperando 60 segundos")), i + 1, kWaitMs);
            if (i == 0) {
                QTest::keyClick(m_window.get(), '!');
                QTest::keyClick(m_window.get(), Qt::Key_Enter);
            } else if (i == 1) {
                m_window->timeGraph()->stopButton()->click();
                QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().contains(QStringLiteral("1 06 00 42 00 00")),
                                         kWaitMs);
            } else if (i == 2) {
                m_window->toolBars()->connectPort->trigger();
            } else {
                m_bus->pullThePlug();
                QTRY_COMPARE_WITH_TIMEOUT(shown(QStringLiteral("Port lost: ")), 1, kWaitMs);
                QVERIFY(!m_window->isPortConnected() && !m_window->toolBars()->connectPort->isChecked());
            }
            QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
            const QString dataLog = logText(QStringLiteral("log"), i >= 2);
            QVERIFY2(dataLog.contains(QStringLiteral("Log started at ")), ways[i]);
            QVERIFY2(dataLog.contains(QStringLiteral("Log finished at ")) == (i >= 2), ways[i]);
            QCOMPARE(m_reasonAsked, 0);
            const QString result = logText(QStringLiteral("result-log"), true);
            QVERIFY2(logText(QStringLiteral("test-log"), true).contains(QStringLiteral(" Serial Number: ")),
                     ways[i]);
            QVERIFY2(result.contains(QStringLiteral("Resultado: CANCELADO")), ways[i]);
            QVERIFY2(!result.contains(QStringLiteral("Motivo")), ways[i]);
            QCOMPARE(logText(QStringLiteral("summary")).count(QStringLiteral("R: CANCELADO")), i + 1);
            if (i == 2) {
                connectPort();
            }
        }
    }
};

QTEST_MAIN(GuiTestPanelTest)
#include "tst_gui_testpanel.moc"
