#include <QAction>
#include <QComboBox>
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

// Steps 1.. after the serial-number step 0; the drive's model (input 1) is 4.
const char *const kPassingSteps =
    "<mensaje>Inicio</mensaje>"
    "<ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</mult>"
    "<min>1</min><max>65535</max></ReadInputRegisters>"
    "<espera>1</espera>";
const char *const kFailingSteps =
    "<mensaje>Inicio</mensaje>"
    "<ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</mult>"
    "<min>100</min><max>200</max></ReadInputRegisters>";
const char *const kLongWait = "<espera>60</espera>";

QString testFile(const QString &steps) {
    return QStringLiteral(
               "<ensayo><config><full_log>true</full_log><summary_log>true</summary_log>"
               "<result_log>true</result_log></config>"
               "<serial_number><numchar>11</numchar><numparts>3</numparts><separator>-</separator>"
               "</serial_number>%1</ensayo>")
        .arg(steps);
}

// A window that records the key presses that reach it.
class KeyRecorder : public QWidget {
  public:
    QList<int> keys;

  protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

}  // namespace

// How a running test is interrupted.
enum class Interruption { StopButton, Disconnect, LinkLost, Keyboard };
Q_DECLARE_METATYPE(Interruption)

// The production test driven from the window against the simulated drive: the operator's
// prompts, the step table and the three test logs.
class GuiTestPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup();
    void announcedRowsArePlain();
    void resultColours_data();
    void resultColours();
    void keyTrigger_data();
    void keyTrigger();
    void finishedTestWritesTheLogs_data();
    void finishedTestWritesTheLogs();
    void interruptedTestIsCancelled_data();
    void interruptedTestIsCancelled();
    void cancelledSerialStartsNothing();
    void promptsAskTheOperator_data();
    void promptsAskTheOperator();
    void recordsEveryBoardAndWarnsOfRetests();

  private:
    void startWindow(const QString &steps, bool logging = false, Transport transport = Transport::Serial);
    QString logFile(const QString &pattern) const;
    QString logText(const QString &pattern) const;
    void runUntilFinished();

    QTemporaryDir m_mapDir;
    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    TestPanel *m_panel = nullptr;
    bool m_serialGiven = true;
    int m_serialAsked = 0;
    QString m_reason;
    bool m_reasonGiven = true;
    int m_reasonAsked = 0;
};

void GuiTestPanelTest::cleanup() {
    m_window.reset();
    m_dir.reset();
    m_bus.reset();
    m_serialGiven = m_reasonGiven = true;
    m_serialAsked = m_reasonAsked = 0;
}

// The map is copied beside a test file of these steps; the map names it relatively.
void GuiTestPanelTest::startWindow(const QString &steps, bool logging, Transport transport) {
    const QString map = m_mapDir.filePath(QStringLiteral("drive-map.xml"));
    QFile::remove(map);
    QVERIFY(QFile::copy(testpaths::example(QStringLiteral("drive-map.xml")), map));
    QFile test(m_mapDir.filePath(QStringLiteral("production-test.xml")));
    QVERIFY(test.open(QIODevice::WriteOnly | QIODevice::Truncate));
    test.write(testFile(steps).toUtf8());
    test.close();

    m_bus = std::make_unique<SimulatedBus>();
    m_bus->transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
    QString error;
    QVERIFY2(m_bus->start(options, &error), qPrintable(error));
    GuiWorkDir::Settings settings{map, m_bus->endpoint()};
    settings.logging = logging;
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

    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isPortConnected(), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->registers().inputRegisters[1]->raw, uint16_t(4), kWaitMs);
}

QString GuiTestPanelTest::logFile(const QString &pattern) const {
    const QDir dir(m_dir->filePath(QStringLiteral("log")));
    const QStringList found = dir.entryList({pattern});
    return found.size() == 1 ? dir.filePath(found[0]) : QString();
}

QString GuiTestPanelTest::logText(const QString &pattern) const {
    QFile file(logFile(pattern));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void GuiTestPanelTest::runUntilFinished() {
    m_window->timeGraph()->testButton()->click();
    QVERIFY(m_panel->isRunning());
    QVERIFY(!m_window->timeGraph()->testButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
}

void GuiTestPanelTest::announcedRowsArePlain() {
    TestStepTable table;
    table.showResult(0, QStringLiteral("Numero de serie:"), 0, 0, 0, 0, kNow.time());
    table.showResult(1, QStringLiteral("Modelo"), 0, 1, 65535, 1, kNow.time());
    table.showResult(3, QStringLiteral("- espera -"), 0, 0, 2.5f, 0, kNow.time());  // step 2 has no row
    QCOMPARE(table.rowCount(), 4);
    QCOMPARE(table.columnCount(), 5);
    const QVector<int> widths{160, 45, 45, 45, 50};
    const QStringList headers{"Name", "Res", "Min", "Max", "Time"};
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(table.horizontalHeaderItem(column)->text(), headers[column]);
        QCOMPARE(table.columnWidth(column), widths[column]);
    }
    QCOMPARE(QStringList({table.item(3, 0)->text(), table.item(3, 1)->text(), table.item(3, 2)->text(),
                          table.item(3, 3)->text(), table.item(3, 4)->text()}),
             QStringList({"- espera -", "0", "0", "2.5", "09:05:07"}));
    QCOMPARE(table.item(2, 0)->text(), QString());
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(table.rowHeight(row), 20);
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(table.item(row, column)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            const QBrush brush = table.item(row, column)->background();
            QVERIFY(brush.style() == Qt::NoBrush || brush.color() == Qt::white);
        }
    }
    QCOMPARE(table.item(1, 3)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
}

void GuiTestPanelTest::resultColours_data() {
    QTest::addColumn<int>("num");
    QTest::addColumn<int>("ok");
    QTest::addColumn<QColor>("resColour");
    QTest::addColumn<int>("previousRow");
    QTest::newRow("passed, first step: the last row loses its grey") << 0 << 1 << QColor(0, 255, 0) << 2;
    QTest::newRow("failed") << 1 << -1 << QColor(255, 0, 0) << 0;
    QTest::newRow("neutral") << 2 << 0 << QColor(Qt::white) << 1;
}

void GuiTestPanelTest::resultColours() {
    QFETCH(int, num);
    QFETCH(int, ok);
    QFETCH(QColor, resColour);
    QFETCH(int, previousRow);
    TestStepTable table;
    for (int row = 0; row < 3; ++row) {
        table.showResult(row, QStringLiteral("step"), 0, 0, 0, 0, kNow.time());
    }
    table.showResult(previousRow, QStringLiteral("step"), 0, 0, 0, 0, kNow.time());
    QCOMPARE(table.item(previousRow, 0)->background().color(), QColor(150, 150, 150));
    table.showResult(num, QStringLiteral("Modelo"), 4, 1, 65535, ok, kNow.time());
    QCOMPARE(table.item(num, 0)->background().color(), QColor(150, 150, 150));
    QCOMPARE(table.item(num, 1)->background().color(), resColour);
    QCOMPARE(table.item(previousRow, 0)->background().color(), QColor(Qt::white));
}

void GuiTestPanelTest::keyTrigger_data() {
    QTest::addColumn<QString>("keys");  // ' ! R(eturn) E(nter) x; typed into the field after "|"
    QTest::addColumn<int>("fired");
    QTest::newRow("apostrophe, Return") << "'R" << 1;
    QTest::newRow("exclamation mark, Enter") << "!E" << 1;
    QTest::newRow("Return alone") << "R" << 0;
    QTest::newRow("armed once, fires once") << "'RR" << 1;
    QTest::newRow("another key disarms") << "'xR" << 0;
    QTest::newRow("typed into a field") << "|'R" << 0;
}

void GuiTestPanelTest::keyTrigger() {
    QFETCH(QString, keys);
    QFETCH(int, fired);
    KeyRecorder window;
    auto *field = new QLineEdit(&window);
    KeyTrigger trigger(&window);
    QSignalSpy spy(&trigger, &KeyTrigger::triggered);
    QWidget *target = &window;
    int returnsPassedOn = 0;
    for (const QChar key : keys) {
        const char c = key.toLatin1();
        if (c == '|') {
            target = field;
        } else if (c == 'R' || c == 'E') {
            QTest::keyClick(target, c == 'R' ? Qt::Key_Return : Qt::Key_Enter);
            ++returnsPassedOn;
        } else {
            QTest::keyClick(target, c);
        }
    }
    QCOMPARE(spy.size(), fired);
    if (target == &window) {  // a key that fires the trigger is consumed
        QCOMPARE(window.keys.count(Qt::Key_Return) + window.keys.count(Qt::Key_Enter),
                 returnsPassedOn - fired);
    }
}

void GuiTestPanelTest::finishedTestWritesTheLogs_data() {
    QTest::addColumn<bool>("passes");
    QTest::addColumn<bool>("reasonGiven");
    QTest::newRow("passed") << true << true;
    QTest::newRow("failed, reason given") << false << true;
    QTest::newRow("failed, reason cancelled") << false << false;
}

void GuiTestPanelTest::finishedTestWritesTheLogs() {
    QFETCH(bool, passes);
    QFETCH(bool, reasonGiven);
    const QString word = passes ? QStringLiteral("OK") : QStringLiteral("ERROR");
    const QString board = passes ? QStringLiteral("Placa CORRECTA!") : QStringLiteral("Placa INCORRECTA!");
    const int reasonAsked = passes ? 0 : 1;
    const QString stepLine = passes ? QStringLiteral("\tmin: 1\tmax: 65535\tok: 1")
                                    : QStringLiteral("\tmin: 100\tmax: 200\tok: -1");
    startWindow(passes ? kPassingSteps : kFailingSteps, true);
    m_reason = QStringLiteral("conector suelto");
    m_reasonGiven = reasonGiven;
    runUntilFinished();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->logArea()->toPlainText().contains(board), kWaitMs);
    QVERIFY(m_window->logArea()->toPlainText().contains(QStringLiteral("Número de serie: ") + kSerial));
    QCOMPARE(m_serialAsked, 1);
    QCOMPARE(m_reasonAsked, reasonAsked);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->timeGraph()->testButton()->isEnabled(), kWaitMs);

    const QString result = logText(QStringLiteral("*-result-log.txt"));
    QVERIFY(result.contains(QStringLiteral(" Serial Number: ") + kSerial));
    QVERIFY2(result.contains("\tnum: 2\ttipo: 10\ttxt: Modelo\tres: 4" + stepLine), qPrintable(result));
    const holding_t *first = m_window->registers().holdings[0];
    QVERIFY(result.contains(
        QStringLiteral("Resultado: %1\n\n%2:\t%3\n").arg(word, first->text).arg(first->value)));
    QCOMPARE(result.contains(QStringLiteral(" Motivo del fallo: conector suelto")),
             reasonAsked && reasonGiven);
    QVERIFY(result.contains(QStringLiteral("Log finished at ")));

    const QStringList full = logText(QStringLiteral("*-test-log.txt")).split(QLatin1Char('\n'));
    QVERIFY(full.filter(QStringLiteral(" Serial Number: ") + kSerial).size() == 1);
    // Data-log lines of the test's duration, with the drive's model in the second column.
    QVERIFY(!full.filter(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3};[^;]+;4;)"))).isEmpty());
    QVERIFY(logText(QStringLiteral("*-summary.txt"))
                .contains(QStringLiteral("T: 20240118-090507 SN: %1 R: %2").arg(kSerial, word)));

    const TestStepTable *table = m_panel->table();
    QCOMPARE(table->item(2, 0)->text(), QStringLiteral("Modelo"));
    QCOMPARE(table->item(2, 1)->background().color(), passes ? QColor(0, 255, 0) : QColor(255, 0, 0));

    // Once the port is closed, the data log's last line holds the values the input table shows
    // (list rows are not logged).
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
    const QStringList data = logText(QStringLiteral("*[0-9]-log.txt"))
                                 .split(QLatin1Char('\n'))
                                 .filter(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3};)")));
    QVERIFY(!data.isEmpty());
    const InputRegisterTable *inputs = m_window->tables()->inputRegisters();
    QStringList cells;
    for (int row = 0; row < inputs->rowCount(); ++row) {
        if (!inputs->isRowHidden(row) && m_window->registers().inputRegisters[row]->vis_type != "list") {
            cells << inputs->item(row, 1)->text();
        }
    }
    QCOMPARE(data.last().split(QLatin1Char(';')).mid(1, cells.size()), cells);
}

void GuiTestPanelTest::interruptedTestIsCancelled_data() {
    QTest::addColumn<Interruption>("interruption");
    QTest::addColumn<Transport>("transport");
    QTest::newRow("Stop button") << Interruption::StopButton << Transport::Serial;
    QTest::newRow("port closed") << Interruption::Disconnect << Transport::Serial;
    QTest::newRow("gateway connection lost") << Interruption::LinkLost << Transport::Tcp;
    QTest::newRow("keyboard: ' Return starts, ! Enter stops") << Interruption::Keyboard << Transport::Serial;
}

void GuiTestPanelTest::interruptedTestIsCancelled() {
    QFETCH(Interruption, interruption);
    QFETCH(Transport, transport);
    startWindow(kLongWait, true, transport);
    if (interruption == Interruption::Keyboard) {
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(m_serialAsked, 0);
        QTest::keyClick(m_window.get(), Qt::Key_Apostrophe);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(m_serialAsked, 1);
    } else {
        m_window->timeGraph()->testButton()->click();
    }
    QVERIFY(m_panel->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(
        m_window->logArea()->toPlainText().contains(QStringLiteral("Esperando 60 segundos")), kWaitMs);
    switch (interruption) {
        case Interruption::Keyboard:
            QTest::keyClick(m_window.get(), '!');
            QTest::keyClick(m_window.get(), Qt::Key_Enter);
            break;
        case Interruption::Disconnect:
            m_window->toolBars()->connectPort->trigger();
            break;
        case Interruption::LinkLost:
            m_bus->pullThePlug();
            QTRY_VERIFY_WITH_TIMEOUT(
                m_window->logArea()->toPlainText().contains(QStringLiteral("Port lost: ")), kWaitMs);
            QVERIFY(!m_window->isPortConnected() && !m_window->toolBars()->connectPort->isChecked());
            break;
        case Interruption::StopButton:
            m_window->timeGraph()->stopButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().contains(QStringLiteral("1 06 00 42 00 00")),
                                     kWaitMs);
            break;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isRunning(), kWaitMs);
    const QStringList dataLog = QDir(m_dir->filePath(QStringLiteral("log")))
                                    .entryList({QStringLiteral("*-log.txt")})
                                    .filter(QRegularExpression(QStringLiteral(R"(^\d{8}-\d{6}-log\.txt$)")));
    QCOMPARE(dataLog.size(), 1);
    const bool finished =
        m_dir->read(QStringLiteral("log/") + dataLog[0]).contains(QStringLiteral("Log finished at "));
    QCOMPARE(finished, interruption == Interruption::Disconnect || interruption == Interruption::LinkLost);
    QCOMPARE(m_reasonAsked, 0);
    const QString result = logText(QStringLiteral("*-result-log.txt"));
    QVERIFY(result.contains(QStringLiteral("Resultado: CANCELADO")));
    QVERIFY(!result.contains(QStringLiteral("Motivo")));
    QVERIFY(logText(QStringLiteral("*-summary.txt")).contains(QStringLiteral("R: CANCELADO")));
}

void GuiTestPanelTest::cancelledSerialStartsNothing() {
    startWindow(kPassingSteps);
    m_serialGiven = false;
    m_window->timeGraph()->testButton()->click();
    QCOMPARE(m_serialAsked, 1);
    QVERIFY(!m_panel->isRunning());
    QVERIFY(m_window->timeGraph()->testButton()->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_panel->table()->rowCount(), 4, kWaitMs);  // the steps are announced
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("log"))).entryList(QDir::Files).isEmpty());
}

void GuiTestPanelTest::promptsAskTheOperator_data() {
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label");
    QTest::newRow("serial number") << true << "Serial number"
                                   << "Serial number:";
    QTest::newRow("failure reason") << false << "Motivo"
                                    << "Breve motivo del fallo:";
}

void GuiTestPanelTest::promptsAskTheOperator() {
    QFETCH(bool, serial);
    QFETCH(QString, title);
    QFETCH(QString, label);
    QString shownTitle, shownLabel, shownText;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shownTitle = dialog->windowTitle();
        shownLabel = dialog->labelText();
        shownText = dialog->textValue();
        dialog->setTextValue(QStringLiteral("MVX-0001-02"));
        dialog->accept();
    });
    const TestPrompts prompts = TestPrompts::interactive();
    QString answer;
    QVERIFY(serial ? prompts.askSerial(nullptr, &answer) : prompts.askFailureReason(nullptr, &answer));
    QCOMPARE(answer, QStringLiteral("MVX-0001-02"));
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownLabel, label);
    QCOMPARE(shownText, QString());
}

QTEST_MAIN(GuiTestPanelTest)
#include "tst_gui_testpanel.moc"

// With no configuration the runs go to SQLite in the log folder; a second run of a serial
// warns the operator, and the stats line counts the board once with both failures.
void GuiTestPanelTest::recordsEveryBoardAndWarnsOfRetests() {
    startWindow(QString::fromLatin1(kFailingSteps));
    m_reason = QStringLiteral("capacitor C12 missing");
    runUntilFinished();
    QVERIFY(!m_window->logArea()->toPlainText().contains(QStringLiteral("was tested before")));
    runUntilFinished();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->logArea()->toPlainText().contains(
                                 QStringLiteral("Serial number %1 was tested before, 1 run(s)").arg(kSerial)),
                             kWaitMs);
    QVERIFY(m_window->logArea()->toPlainText().contains(QStringLiteral(": fail (Modelo)")));
    QTRY_VERIFY_WITH_TIMEOUT(m_panel->statsLabel()->text().endsWith(
                                 QStringLiteral(": 1 boards, 2 failures, first-pass yield 0.0%")),
                             kWaitMs);
    QVERIFY(m_panel->recorder()->waitWritten(kWaitMs));
    ResultsDb db(DbTarget::sqlite(m_dir->filePath(QStringLiteral("log/mvx-records.sqlite"))));
    QString error;
    QVERIFY2(db.open(&error), qPrintable(error));
    QVector<RunRecord> runs;
    QVERIFY(db.loadRuns(&runs, &error));
    QCOMPARE(runs.size(), 2);
    QCOMPARE((QStringList{runs[1].serial, runs[1].result, runs[1].failedStep, runs[1].reason}),
             (QStringList{kSerial, QStringLiteral("fail"), QStringLiteral("Modelo"), m_reason}));
    QCOMPARE(runs[1].holdings.size(), m_window->registers().holdings.size());
    QCOMPARE(runs[1].driveModel, QStringLiteral("4"));
}
