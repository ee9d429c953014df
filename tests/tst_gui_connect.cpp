#include <qcustomplot.h>
#include <qtadvanceddocking/DockWidget.h>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "../tools/drive-sim/waveforms.h"
#include "app/mainwindow.h"
#include "comm/modbus.h"
#include "config/configdialog.h"
#include "params/paramfiledialog.h"
#include "params/passwindow.h"
#include "support/guiworkdir.h"
#include "support/simulateddrive.h"
#include "support/slowgateway.h"
#include "views/addresstable.h"
#include "views/auxholdingtable.h"
#include "views/busoverviewpanel.h"
#include "views/buswatch.h"
#include "views/connectionstatuswidget.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/maintoolbars.h"
#include "views/parameterfiles.h"
#include "views/ramparamtable.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"
#include "views/registertables.h"
#include "views/secondarygraph.h"
#include "views/timegraphpanel.h"

namespace {

const int kWaitMs = 30000;

// Answers the next modal file dialog with path, as the operator would.
void answerFileDialog(const QString &path) {
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

// Records every enabled state a widget passes through, however short.
struct EnabledStates : QObject {
    explicit EnabledStates(QWidget *watched) : widget(watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::EnabledChange) {
            states << widget->isEnabled();
        }
        return false;
    }
    QWidget *widget;
    QList<bool> states;
};

// How a case starts: the drives on the bus, the transport and the settings.xml the window reads.
struct Start {
    QList<int> addresses{1};
    Transport transport = Transport::Serial;
    bool logging = false;
    int savedAddress = 1;
    int speed = 115200;
    bool portSaved = true;  // else the port box offers none
};

}  // namespace

// The main window against the simulated drive: what reaches the wire, and what the window
// shows, logs and saves of it.
class GuiConnectTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("mvx.capture.debug=false")); }
    void cleanup() {
        m_window.reset();
        m_dir.reset();
        m_bus.reset();
    }
    void repliesAreShownWithoutWriting_data();
    void repliesAreShownWithoutWriting();
    void writesReachTheDrive();
    void writesWhileDisconnectedAreRefused();
    void connectWhileConnectingIsIgnored();
    void exitWhileConnectedClosesTheDataLogAndSavesSettings();
    void searchListsTheDrivesAndSelectsOne();
    void overviewSelectsADrive();
    void failedPortThenReconfiguredWorkerConnects();
    void refusedGatewayIsNotSaved();
    void lostLineComesBackWithoutAClick_data() { addTransportRows(); }
    void lostLineComesBackWithoutAClick();
    void disconnectWhileReconnectingEndsTheDataLog();
    void flashing_data();
    void flashing();

  private:
    bool startWindow(const Start &start = {});
    bool connectWindow() {
        m_window->toolBars()->connectPort->trigger();
        return QTest::qWaitFor([this] { return m_window->isPortConnected(); }, kWaitMs);
    }
    bool startConnected(const Start &start = {}) { return startWindow(start) && connectWindow(); }
    bool logHas(const QString &text) const { return m_window->logArea()->toPlainText().contains(text); }
    QString lastLogLine() const { return m_window->logArea()->document()->lastBlock().text(); }
    QStringList writes() const {
        return m_bus->drive.requests().filter(QRegularExpression(QStringLiteral("^\\d+ (06|10) ")));
    }
    // The message ended the log area and is in the status bar.
    bool refusalShown(const QString &message) const {
        return lastLogLine().endsWith(message) && m_window->statusBar()->currentMessage().endsWith(message);
    }
    // Pulls the line and waits for the window to say it is trying again.
    bool pullAndWaitForRetries() {
        m_bus->pullThePlug();
        // A busy machine may not look before the first attempt failed: any attempt will do.
        return QTest::qWaitFor(
            [this] { return m_window->connectionStatus()->text().contains(QStringLiteral("reconnecting (attempt ")); },
            kWaitMs);
    }
    QStringList dataLogLines() const {
        const QStringList files =
            QDir(m_dir->filePath(QStringLiteral("log"))).entryList({QStringLiteral("*-log.txt")});
        return files.size() == 1
                   ? m_dir->read(QStringLiteral("log/") + files[0]).split('\n', Qt::SkipEmptyParts)
                   : QStringList{QStringLiteral("%1 data logs").arg(files.size())};
    }
    QTableWidget *sectionTableOf(int holdingIndex) const {
        const holding_t *record = m_window->registers().holdings[holdingIndex];
        return m_window->tables()->holdingSections()->tables().value(record->table);
    }

    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

bool GuiConnectTest::startWindow(const Start &start) {
    m_bus = std::make_unique<SimulatedBus>();
    m_bus->transport = start.transport;
    SimulatedDrive::Options options;
    options.mapFile = guitest::exampleMap();
    options.addresses = start.addresses;
    if (QString error; !m_bus->start(options, &error)) {
        qWarning() << error;
        return false;
    }
    const QString port = start.portSaved ? m_bus->endpoint() : QStringLiteral("none");
    m_dir = std::make_unique<GuiWorkDir>(
        GuiWorkDir::Settings{guitest::exampleMap(), port, start.speed, start.savedAddress, start.logging});
    m_window = std::make_unique<MainWindow>();
    return !start.portSaved || m_window->toolBars()->portCombo->currentData().toString() == m_bus->endpoint();
}

void GuiConnectTest::repliesAreShownWithoutWriting_data() {
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<bool>("emptyAddressField");
    QTest::newRow("serial") << Transport::Serial << false;
    QTest::newRow("gateway typed in the port box") << Transport::Tcp << false;
    QTest::newRow("empty address field: server 1, not the saved 9") << Transport::Serial << true;
}

// Connect shows and draws the replies without writing a word, switches the controls and stores
// the dock flags; Disconnect switches back and leaves a gap in the curves.
void GuiConnectTest::repliesAreShownWithoutWriting() {
    QFETCH(Transport, transport);
    QFETCH(bool, emptyAddressField);
    const bool tcp = transport == Transport::Tcp;
    // Through a gateway a 9600 bps setting (500 ms on a serial line) does not set the poll time.
    QVERIFY(startWindow({{1}, transport, false, emptyAddressField ? 9 : 1, tcp ? 9600 : 115200, !tcp}));
    const MainToolBars *bars = m_window->toolBars();
    if (tcp) {
        bars->portCombo->setEditText(m_bus->endpoint());
    }
    if (emptyAddressField) {
        bars->addressEdit->clear();
    }
    m_window->docks()->auxHoldings->toggleView(false);
    QVERIFY(connectWindow());
    QVERIFY(logHas(QStringLiteral("Port connected")));
    const QString saved = m_dir->read(QStringLiteral("settings.xml"));
    QVERIFY(saved.contains(QStringLiteral("<Aux_Register_Tab>False<")));
    QVERIFY(saved.contains(QStringLiteral("<Modbus_Add>1<")));
    QVERIFY(saved.contains(QStringLiteral("<Last_Com>%1</Last_Com>").arg(m_bus->endpoint())));
    QCOMPARE(m_window->pollTime(), 100);
    QVERIFY(!bars->portCombo->isEnabled() && !bars->configuration->isEnabled() &&
            !bars->refreshList->isEnabled());
    QVERIFY(bars->openFile->isEnabled() && bars->saveFile->isEnabled() && bars->flashFirmware->isEnabled());
    QVERIFY(m_window->timeGraph()->stopButton()->isEnabled() && bars->connectPort->isChecked());
    QCOMPARE(bars->errorCountLabel->text(), QStringLiteral("Error Count: 0"));

    // Holding 9 ("Tiempo muerto", default 150, multiplier 0.01) is only in the flat table.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->flatHoldings()->item(9, 1)->text(), QStringLiteral("1.50"),
                              kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(sectionTableOf(6)->item(6, 1)->text(), QStringLiteral("3000"), kWaitMs);
    QCOMPARE(m_window->tables()->inputRegisters()->item(1, 1)->text(), QStringLiteral("4"));  // model
    RealtimePlot *plot = m_window->realtimePlot();
    QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() >= 3, kWaitMs);
    const QVector<input_reg_t *> &inputs = m_window->registers().inputRegisters;
    QVERIFY(plot->curveCount() > 0);
    for (int i = 0; i < inputs.size(); ++i) {
        if (const int curve = plot->curveIndexOf(i); curve >= 0) {
            QCOMPARE(plot->history().readingAt(curve, plot->history().newestMs()).min,
                     double(inputs[i]->fvalue));
        }
    }
    // Power from the map's id/iq/vd/vq positions of the latest reply, in double as the window
    // computes it (float products round differently at the shown decimal now and then).
    const auto value = [&inputs](int position) { return double(inputs[position]->fvalue); };
    const double p = 1.5 * (value(13) * value(11) + value(14) * value(12));
    QCOMPARE(plot->controls()->activePowerLabel()->text(), QStringLiteral("P = %1 W").arg(p, 0, 'f', 1));
    QCOMPARE(writes(), QStringList());
    QVERIFY(m_bus->drive.requests().first().startsWith(QStringLiteral("1 ")));

    bars->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
    QVERIFY(m_window->logArea()->toPlainText().endsWith(QStringLiteral("Port disconnected")));
    plot->replotNow();
    // No line across the time without a port: a gap.
    QVERIFY(qIsNaN((plot->curve(0)->data()->constEnd() - 1)->value));
    QVERIFY(bars->portCombo->isEnabled() && bars->configuration->isEnabled());
    QVERIFY(!bars->openFile->isEnabled() && !bars->flashFirmware->isEnabled());
    QVERIFY(!m_window->timeGraph()->stopButton()->isEnabled());
    // Nothing answers any more: no reply age, no level granted.
    const QString status = m_window->connectionStatus()->text();
    QVERIFY2(status.endsWith(QStringLiteral("| disconnected | last reply none yet | access level unknown")),
             qPrintable(status));
    // A gateway is shown by its address, not a serial line's speed and framing.
    const QString line = tcp ? m_bus->endpoint().mid(6) + QStringLiteral(" | Modbus TCP")
                             : m_bus->endpoint() + QStringLiteral(" | 115200 8N2");
    QVERIFY2(status.startsWith(line), qPrintable(status));
    QCOMPARE(bars->connectPort->statusTip(), tcp ? QStringLiteral("Connect to the Modbus TCP gateway")
                                                 : QStringLiteral("Connect serial port"));
    if (!tcp) {
        return;
    }
    // A gateway greys the line fields and says why; the next start offers it again.
    bars->configuration->trigger();
    config *dialog = guitest::topLevel<config>();
    QVERIFY(dialog != nullptr);
    for (const char *name : {"cmbSpeed", "cmbConfig"}) {
        const QWidget *field = dialog->findChild<QWidget *>(QLatin1String(name));
        QVERIFY(!field->isEnabled() && field->toolTip().contains(QStringLiteral("Modbus TCP gateway")));
    }
    dialog->close();
    m_window.reset();
    m_window = std::make_unique<MainWindow>();
    QCOMPARE(m_window->toolBars()->portCombo->currentData().toString(), m_bus->endpoint());
    QVERIFY(!logHas(QStringLiteral("Current speed selection")));
    QVERIFY(logHas(QStringLiteral("Current link: Modbus TCP gateway 127.0.0.1 port ")));
}

// A gateway address the worker refuses is not offered again at the next start.
void GuiConnectTest::refusedGatewayIsNotSaved() {
    QVERIFY(startWindow());
    const QString before = m_dir->read(QStringLiteral("settings.xml"));
    QVERIFY(before.contains(QStringLiteral("<Last_Com>%1</Last_Com>").arg(m_bus->endpoint())));
    m_window->toolBars()->portCombo->setEditText(QStringLiteral("tcp://127.0.0.1:99999"));
    m_window->toolBars()->connectPort->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connectionPhase(), ConnectionGate::Phase::Disconnected, kWaitMs);
    QVERIFY(m_dir->read(QStringLiteral("settings.xml"))
                .contains(QStringLiteral("<Last_Com>%1</Last_Com>").arg(m_bus->endpoint())));
}

// Every way of writing sends its own request and nothing else; out-of-range text is never
// written, and showing a value read back never writes it.
void GuiConnectTest::writesReachTheDrive() {
    QVERIFY(startConnected());
    QTRY_COMPARE_WITH_TIMEOUT(sectionTableOf(6)->item(6, 1)->text(), QStringLiteral("3000"), kWaitMs);
    QStringList expected;
    const auto sent = [&](const char *request) {
        expected << QLatin1String(request);
        return QTest::qWaitFor([&] { return writes().size() >= expected.size(); }, kWaitMs) &&
               writes() == expected;
    };
    const auto type = [](QTableWidget *table, int row, const char *text) {
        table->item(row, 1)->setText(QStringLiteral("99999"));
        table->item(row, 1)->setText(QLatin1String(text));
        return table->item(row, 1);
    };
    QTableWidgetItem *cell = type(sectionTableOf(4), 4, "12.5");
    QVERIFY(sent("1 06 00 04 00 7D"));
    cell->setText(QStringLiteral("typed over"));  // the next poll shows the drive's value
    QTRY_COMPARE_WITH_TIMEOUT(cell->text(), QStringLiteral("12.5"), kWaitMs);
    cell = type(m_window->tables()->auxHoldings(), 6, "52");
    QVERIFY(sent("1 06 03 EE 00 34"));
    cell->setText(QStringLiteral("typed over"));
    m_window->on_btnReadAuxHoldingClicked();
    QTRY_COMPARE_WITH_TIMEOUT(cell->text(), QStringLiteral("52"), kWaitMs);
    type(m_window->timeGraph()->ramParams(), 2, "-100");
    QVERIFY(sent("1 06 0B BA FF 9C"));

    const holding_t *record = m_window->registers().holdings[5];
    QComboBox *combo = m_window->tables()->holdingSections()->combos()[record->combo];
    combo->setCurrentIndex(1);
    QVERIFY(sent("1 06 00 05 00 01"));
    QTRY_COMPARE_WITH_TIMEOUT(record->value, uint16_t(1), kWaitMs);  // read back by a poll

    m_window->timeGraph()->stopButton()->click();
    QVERIFY(sent("1 06 00 42 00 00"));  // 0 to StopIndex
    QCOMPARE(m_window->timeGraph()->ramParams()->item(2, 1)->text(), QStringLiteral("0"));
    m_window->timeGraph()->resetButton()->click();
    QVERIFY(sent("1 06 00 00 00 01"));  // 1 to the command register

    m_window->toolBars()->password->trigger();
    passWindow *dialog = guitest::topLevel<passWindow>();
    QVERIFY(dialog != nullptr);
    auto *levels = dialog->findChild<QComboBox *>(QStringLiteral("cmbLevel"));
    QCOMPARE(levels->count(), 4);
    QCOMPARE(levels->itemText(2), QStringLiteral("Level 2: distributor"));
    auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("edPassword1"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    levels->setCurrentIndex(2);
    password->setText(QStringLiteral("abc"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QVERIFY(sent("1 10 07 D0 00 05 0A 00 02 00 61 00 62 00 63 00 00"));

    const int requests = m_bus->drive.requests().size();
    QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().size() > requests + 4, kWaitMs);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(writes(), expected);

    // Saved, the parameters reopen with no difference from the drive; the export's poll interval
    // survives the window's own saves (connect, exit).
    const QString path = m_dir->filePath(QStringLiteral("saved.xml"));
    answerFileDialog(path);
    m_window->toolBars()->saveFile->trigger();
    QVERIFY(QFile::exists(path));

    answerFileDialog(path);
    m_window->toolBars()->openFile->trigger();
    ParamFile *file = m_window->parameterFiles()->dialog();
    QVERIFY(file != nullptr && file->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(file->comparison().compared(), m_window->registers().holdings.size(), kWaitMs);
    QCOMPARE(file->findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText(),
             QStringLiteral("There are 0 parameters with different values"));
    // Both sides as the tables show them, not raw words.
    for (const char *table : {"tW_Holdings", "tW_Holdings_2"}) {
        QCOMPARE(file->findChild<QTableWidget *>(QLatin1String(table))->item(6, 1)->text(),
                 QStringLiteral("3000 rpm"));
    }
    file->findChild<QPushButton *>(QStringLiteral("pB_Cancel"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->parameterFiles()->isDialogOpen(), kWaitMs);
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
    m_window.reset();
    QVERIFY(m_dir->read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Poll_Interval>50<")));
}

// Nothing typed, chosen or asked for while disconnected is kept for the next Connect, which may
// be to another drive: each is refused with a message and the tables show what they showed.
void GuiConnectTest::writesWhileDisconnectedAreRefused() {
    QVERIFY(startWindow());
    const QString notWritten = QStringLiteral("Not connected: the value was not written");
    const auto typeInto = [](QTableWidget *table, int row, const char *text) {
        QTableWidgetItem *cell = table->item(row, 1);
        const QString shown = cell->text();
        cell->setText(QLatin1String(text));
        return cell->text() == shown;
    };
    QVERIFY(typeInto(sectionTableOf(4), 4, "12.5"));
    QVERIFY(refusalShown(notWritten));
    QVERIFY(typeInto(m_window->tables()->auxHoldings(), 6, "52"));
    QVERIFY(refusalShown(notWritten));
    QVERIFY(typeInto(m_window->timeGraph()->ramParams(), 2, "-100"));
    QVERIFY(refusalShown(notWritten));
    m_window->statusBar()->clearMessage();
    QComboBox *combo =
        m_window->tables()->holdingSections()->combos()[m_window->registers().holdings[5]->combo];
    const int shownChoice = combo->currentIndex();
    combo->setCurrentIndex(shownChoice + 1);
    QCOMPARE(combo->currentIndex(), shownChoice);
    QVERIFY(refusalShown(notWritten));

    m_window->toolBars()->password->trigger();
    passWindow *dialog = guitest::topLevel<passWindow>();
    QVERIFY(dialog != nullptr);
    dialog->findChild<QComboBox *>(QStringLiteral("cmbLevel"))->setCurrentIndex(2);
    dialog->findChild<QLineEdit *>(QStringLiteral("edPassword1"))->setText(QStringLiteral("2222"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QVERIFY(refusalShown(QStringLiteral("Not connected: the password was not sent")));
    // A scale field that loses its focus as the Secondary Graph greys its controls.
    m_window->secondaryGraph()->on_Scale1Changed();
    QVERIFY(refusalShown(QStringLiteral("Not connected: the Secondary Graph request was not sent")));
    QFile firmware(m_dir->filePath(QStringLiteral("drive_motor.ofw")));
    QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(QByteArray(300, '\x5A')) == 300);
    firmware.close();
    m_window->setConfirmFunction([](const QString &) { return true; });
    m_window->flashFirmwareFile(firmware.fileName());
    QVERIFY(refusalShown(QStringLiteral("Not connected: the firmware was not sent")));

    QVERIFY(connectWindow());
    // A queued write goes out before the tick's read: once the holdings are read, none was waiting.
    QVERIFY(m_bus->drive.waitForLog(
        [](const QStringList &lines) { return !lines.filter(QStringLiteral("REQ 1 03 00 00 ")).isEmpty(); },
        kWaitMs));
    QCOMPARE(m_bus->drive.requests().filter(QRegularExpression(QStringLiteral("^\\d+ (06|10|64) "))),
             QStringList());
}

// A gateway slow to accept: Connect shows the attempt under way and ignores another press, so
// one data log is written, and finished when the port is closed.
void GuiConnectTest::connectWhileConnectingIsIgnored() {
    SlowGateway gateway;
    QString error;
    QVERIFY2(gateway.start(&error), qPrintable(error));
    m_dir = std::make_unique<GuiWorkDir>(
        GuiWorkDir::Settings{guitest::exampleMap(), QStringLiteral("none"), 115200, 1, true});
    m_window = std::make_unique<MainWindow>();
    QAction *connectPort = m_window->toolBars()->connectPort;
    EnabledStates connectStates(m_window->toolBars()->commBar->widgetForAction(connectPort));
    m_window->toolBars()->portCombo->setEditText(gateway.endpoint());

    connectPort->trigger();
    connectPort->trigger();
    const bool checkedWhileConnecting = connectPort->isChecked();
    const QString stateWhileConnecting = m_window->connectionStatus()->text();
    gateway.letIn();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isPortConnected(), kWaitMs);
    connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);

    const QStringList logs =
        QDir(m_dir->filePath(QStringLiteral("log"))).entryList({QStringLiteral("*-log.txt")});
    QCOMPARE(logs.size(), 1);
    const QStringList lines =
        m_dir->read(QStringLiteral("log/") + logs[0]).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.first().startsWith(QStringLiteral("Log started at ")));
    QVERIFY(lines.last().startsWith(QStringLiteral("Log finished at ")));
    QCOMPARE(connectStates.states, (QList<bool>{false, true}));  // greyed until the gateway answered
    QVERIFY(checkedWhileConnecting);
    QVERIFY2(stateWhileConnecting.contains(QStringLiteral("| connecting... |")),
             qPrintable(stateWhileConnecting));
}

// A capture goes only to the Secondary Graph and polling resumes; every data-log line is the
// drive's, the last one as the input table shows it; leaving while connected ends the log and
// keeps the dock choices made since Connect.
void GuiConnectTest::exitWhileConnectedClosesTheDataLogAndSavesSettings() {
    QVERIFY(startConnected({{1}, Transport::Serial, true}));
    RealtimePlot *plot = m_window->realtimePlot();
    SecondaryGraph *graph = m_window->secondaryGraph();
    QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() > 0, kWaitMs);
    graph->readVariablesButton()->click();
    const int last = waveforms::kBufferSamples - 1;
    QTRY_COMPARE_WITH_TIMEOUT(float(graph->data().buffer(2).at(last)), waveforms::bufferSample(2, last),
                              kWaitMs);
    // Every sample is checked in tst_gui_plots.
    QCOMPARE(float(graph->data().buffer(0).at(0)), waveforms::bufferSample(0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(graph->progressBar()->value(), 0, kWaitMs);
    const int samples = plot->sampleCount();
    QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() > samples + 2, kWaitMs);
    m_bus->drive.stop();  // no reply after the last line: the table keeps that line's values
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorCount() > 0, kWaitMs);
    QVERIFY(m_window->isPortConnected());
    m_window->docks()->auxHoldings->toggleView(false);
    QHash<QString, QString> cellOf;  // by register name
    const QVector<input_reg_t *> &inputs = m_window->registers().inputRegisters;
    for (int row = 0; row < inputs.size(); ++row) {
        cellOf.insert(inputs[row]->name, m_window->tables()->inputRegisters()->item(row, 1)->text());
    }
    m_window.reset();

    QVERIFY(m_dir->read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Aux_Register_Tab>False<")));
    const QStringList files =
        QDir(m_dir->filePath(QStringLiteral("log"))).entryList({QStringLiteral("*-log.txt")});
    QCOMPARE(files.size(), 1);
    const QStringList lines =
        m_dir->read(QStringLiteral("log/") + files[0]).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 8);
    QVERIFY(lines.first().startsWith(QStringLiteral("Log started at ")));
    QVERIFY(lines.last().startsWith(QStringLiteral("Log finished at ")));
    // 40 registers: three lists and two low halves have no column, in either header line.
    const QStringList names = lines[1].split(QLatin1Char(';'));
    QCOMPARE(names.size(), 36);
    for (int i = 2; i < lines.size() - 1; ++i) {
        QCOMPARE(lines[i].count(QLatin1Char(';')), names.size() - 1);
        QVERIFY(i == 2 || lines[i].section(QLatin1Char(';'), 2, 2) == QLatin1String("4"));  // the model
    }
    const QStringList lastLine = lines[lines.size() - 2].split(QLatin1Char(';'));
    for (int column = 1; column < names.size(); ++column) {
        QCOMPARE(lastLine[column],
                 cellOf.value(names[column], QStringLiteral("no register ") + names[column]));
    }
}

// The line goes and comes back: the window polls again by itself, and its data log goes on in
// the same file with one line without values where the line was lost.
void GuiConnectTest::lostLineComesBackWithoutAClick() {
    QFETCH(Transport, transport);
    QVERIFY(startConnected({{1}, transport, true}));
    RealtimePlot *plot = m_window->realtimePlot();
    QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() > 2, kWaitMs);
    QVERIFY(pullAndWaitForRetries());
    QVERIFY(m_window->toolBars()->connectPort->isChecked() && m_window->toolBars()->connectPort->isEnabled());
    QVERIFY(!m_window->isPortConnected());
    SimulatedDrive::Options options;
    options.mapFile = guitest::exampleMap();
    QVERIFY(m_bus->restartDrive(options));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isPortConnected(), kWaitMs);
    const qint64 samples = plot->sampleCount();
    QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() > samples + 2, kWaitMs);
    QVERIFY(m_window->connectionStatus()->text().contains(QStringLiteral("connected")));
    const QStringList lines = dataLogLines();
    const QStringList gaps = lines.filter(QRegularExpression(QStringLiteral("^[0-9:.]+;+$")));
    QCOMPARE(gaps.size(), 1);
    QCOMPARE(gaps.first().count(';'), 35);
    QVERIFY(lines.indexOf(gaps.first()) < lines.size() - 2);  // values follow it
    QVERIFY(!lines.last().startsWith(QStringLiteral("Log finished at ")));
}

// Disconnect while the window tries again: the retries end and the data log gets its footer.
void GuiConnectTest::disconnectWhileReconnectingEndsTheDataLog() {
    QVERIFY(startConnected({{1}, Transport::Tcp, true}));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->realtimePlot()->sampleCount() > 2, kWaitMs);
    QVERIFY(pullAndWaitForRetries());
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->connectionStatus()->text().contains(QStringLiteral("disconnected")),
                             kWaitMs);
    QVERIFY(!m_window->toolBars()->connectPort->isChecked());
    QVERIFY(m_window->toolBars()->configuration->isEnabled());
    QVERIFY(dataLogLines().last().startsWith(QStringLiteral("Log finished at ")));
}

void GuiConnectTest::searchListsTheDrivesAndSelectsOne() {
    QVERIFY(startConnected({{1, 5}}));
    m_window->busWatch()->setPollList({1});
    m_window->docks()->addressTable->setAsCurrentTab();  // where the user clicks Search
    m_window->searchButton()->click();
    QCOMPARE(m_window->searchButton()->text(), QStringLiteral("Abort search"));
    // The progress shows beside the table while the search runs, and goes with it (the window
    // itself is not shown here).
    const QProgressBar *searchProgress = m_window->searchProgress();
    QTRY_VERIFY_WITH_TIMEOUT(searchProgress->isVisibleTo(m_window.get()) && searchProgress->value() > 1,
                             kWaitMs);
    QVERIFY(searchProgress->text().startsWith(QStringLiteral("Address ")) &&
            searchProgress->text().endsWith(" of 247"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->searchButton()->text(), QStringLiteral("Search addresses"), 120000);
    QVERIFY(!searchProgress->isVisibleTo(m_window.get()));
    AddressTable *table = m_window->addressTable();
    QCOMPARE(table->rowCount(), 2);
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    for (int column = 0; column < table->columnCount(); ++column) {
        const QString text = table->item(1, column)->text();
        QVERIFY2(table->fontMetrics().horizontalAdvance(text) + margins <= table->columnWidth(column),
                 qPrintable(text));
    }
    QCOMPARE(table->addressAt(0), QStringLiteral("1"));
    QCOMPARE(table->addressAt(1), QStringLiteral("5"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("0xA5"));
    QCOMPARE(table->item(1, 4)->text(), QStringLiteral("4"));  // the map's model
    QTRY_COMPARE_WITH_TIMEOUT(lastLogLine(), QStringLiteral("2 drives found"), kWaitMs);
    const QString progress = m_window->logArea()->document()->lastBlock().previous().text();
    QVERIFY(progress.startsWith(QStringLiteral("[") + QString(50, '=')));

    // A drive already in the bus overview's poll list is found ticked; ticking another adds it.
    QCOMPARE(table->item(0, 0)->checkState(), Qt::Checked);
    table->item(1, 0)->setCheckState(Qt::Checked);
    QCOMPARE(m_window->busOverview()->pollList(), (QVector<int>{1, 5}));
    QCOMPARE(m_window->busOverview()->listEdit()->text(), QStringLiteral("1,5"));

    const int before = m_bus->drive.requests().size();
    emit table->itemDoubleClicked(table->item(1, 2));
    QCOMPARE(m_window->toolBars()->addressEdit->text(), QStringLiteral("5"));
    // The selected drive's whole input block, which the overview never reads.
    QTRY_VERIFY_WITH_TIMEOUT(
        m_bus->drive.requests().mid(before).contains(QStringLiteral("5 04 00 00 00 28")), kWaitMs);
}

// The poll list typed in the Bus overview: a row per drive with its values, an active alarm in
// red, another drive's speed on the Time Graph; a double-click selects that drive, and the
// tables follow it without a word written to either drive. The list outlives the window.
void GuiConnectTest::overviewSelectsADrive() {
    QVERIFY(startConnected({{1, 2}}));
    BusOverviewPanel *overview = m_window->busOverview();
    overview->listEdit()->setText(QStringLiteral("1, 2"));
    emit overview->listEdit()->editingFinished();
    QCOMPARE(overview->pollList(), (QVector<int>{1, 2}));
    QTableWidget *rows = overview->table();
    // Columns: address, model, firmware, Estado, Alarma activa, Velocidad, Tension de bus, age, failures.
    const int alarm = BusOverviewPanel::kFirstValueColumn + 1;
    const int vbus = BusOverviewPanel::kFirstValueColumn + 3;
    QTRY_VERIFY_WITH_TIMEOUT(rows->item(1, vbus)->text().endsWith(QStringLiteral(" V")), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(rows->item(1, 1)->text(), QStringLiteral("4"), kWaitMs);
    QCOMPARE(rows->item(1, alarm)->text(), QStringLiteral("Sin alarma"));
    QVERIFY(m_bus->drive.command(QStringLiteral("@2 set-input 3 5")));
    QTRY_COMPARE_WITH_TIMEOUT(rows->item(1, alarm)->text(), QStringLiteral("Fallo de encoder"), kWaitMs);
    QCOMPARE(rows->item(1, alarm)->background().color(), QColor(255, 120, 120));
    QCOMPARE(rows->item(0, alarm)->background().color(), QColor(255, 225, 225));  // the map's colour
    // Its own failure count: a number (an overview read in a busy tick's free time may time out).
    bool isCount = false;
    QVERIFY(rows->item(1, rows->columnCount() - 1)->text().toInt(&isCount) >= 0 && isCount);
    QStringList curves;
    for (int i = 0; i < m_window->realtimePlot()->curveCount(); ++i) {
        curves << m_window->realtimePlot()->curve(i)->name();
    }
    QVERIFY2(curves.filter(QStringLiteral("Velocidad @2")).size() == 1, qPrintable(curves.join(", ")));

    emit rows->cellDoubleClicked(1, 0);
    QCOMPARE(m_window->toolBars()->addressEdit->text(), QStringLiteral("2"));
    QCOMPARE(m_window->serverAddress(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().contains(QStringLiteral("2 04 00 00 00 28")), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->inputRegisters()->item(3, 1)->text(),
                              QStringLiteral("Fallo de encoder"), kWaitMs);
    QCOMPARE(writes(), QStringList());

    // The list is watched again after a restart.
    m_window.reset();
    m_window = std::make_unique<MainWindow>();
    QCOMPARE(m_window->busOverview()->pollList(), (QVector<int>{1, 2}));
    QCOMPARE(m_window->busOverview()->table()->rowCount(), 2);
}

// A port that cannot be opened leaves the window disconnected and usable; a reconfiguration
// replaces the idle worker, and the new one connects and counts failures.
void GuiConnectTest::failedPortThenReconfiguredWorkerConnects() {
    QVERIFY(startWindow());
    const QString notAPort = m_dir->filePath(QStringLiteral("not-a-port"));  // exists, but is no serial port
    QVERIFY(QFile(notAPort).open(QIODevice::WriteOnly));
    QComboBox *box = m_window->toolBars()->portCombo;
    box->setEditText(notAPort);
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(logHas(QStringLiteral("Connect failed: ")), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->toolBars()->connectPort->isChecked(), kWaitMs);
    QVERIFY(!m_window->isPortConnected() && m_window->toolBars()->configuration->isEnabled());

    const QPointer<Modbus> first = m_window->worker();
    m_window->on_configChanged(guitest::exampleMap(), QStringLiteral("log"), false, 100, 115200, 0);
    QVERIFY(first.isNull());  // the idle worker is not left behind
    box->setEditText(m_bus->endpoint());
    QVERIFY(connectWindow());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->inputRegisters()->item(1, 1)->text(), QStringLiteral("4"),
                              kWaitMs);
    m_bus->drive.stop();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorCount() > 0, kWaitMs);
}

void GuiConnectTest::flashing_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("verdict");
    // Model 4 from input register 1: announce, erase, three blocks, both resets.
    const QStringList all{"1 64 00 04 01",       "1 64 00 04 07",       "1 64 00 04 05 00 00",
                          "1 64 00 04 05 00 01", "1 64 00 04 05 00 02", "1 64 00 04 03",
                          "1 64 00 04 04"};
    QTest::newRow("confirmed") << "drive_motor.ofw" << true << all
                               << "Firmware update of the MOTOR uC completed: 300 bytes sent";
    QTest::newRow("cancelled") << "drive_motor.ofw" << false << QStringList() << QString();
    QTest::newRow("model refused by the drive")
        << "drive_0x0777_motor.ofw" << true << QStringList{"1 64 07 77 01"}
        << "Firmware update of the MOTOR uC failed at the announce frame: exception 0x3, illegal data value";
}

void GuiConnectTest::flashing() {
    QFETCH(QString, fileName);
    QFETCH(bool, confirm);
    QFETCH(QStringList, frames);
    QFETCH(QString, verdict);
    QVERIFY(startConnected());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->registers().inputRegisters[1]->raw, uint16_t(4), kWaitMs);
    QFile firmware(m_dir->filePath(fileName));
    QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(QByteArray(300, '\x5A')) == 300);
    firmware.close();
    QString question;
    m_window->setConfirmFunction([&question, confirm](const QString &text) {
        question = text;
        return confirm;
    });

    // A refused flash may end within one poll: every state the controls pass through is kept.
    EnabledStates stop(m_window->timeGraph()->stopButton()), aux(m_window->tables()->auxHoldings()),
        search(m_window->searchButton());
    m_window->flashFirmwareFile(firmware.fileName());
    for (const QString &part : {QStringLiteral("MOTOR uC"), QStringLiteral("300 bytes"), fileName}) {
        QVERIFY2(question.contains(part), qPrintable(question));
    }
    if (!confirm) {
        const int requests = m_bus->drive.requests().size();
        QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().size() > requests + 4, kWaitMs);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(logHas(verdict), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->timeGraph()->stopButton()->isEnabled(), kWaitMs);
        for (const QList<bool> &states : {stop.states, aux.states, search.states}) {
            QCOMPARE(states.value(0, true), false);
        }
        QVERIFY(m_window->searchButton()->isEnabled());
    }
    QStringList sent;
    for (const QString &request :
         m_bus->drive.requests().filter(QRegularExpression(QStringLiteral("^1 64 ")))) {
        sent << request.left(frames.value(sent.size()).size());
    }
    QCOMPARE(sent, frames);
    const bool failed = verdict.contains(QLatin1String("failed"));
    QCOMPARE(m_window->errorCount() > 0, failed);
    if (failed) {
        const QTextBlock line = m_window->logArea()->document()->lastBlock();
        QCOMPARE(line.text(), verdict);
        QVERIFY(line.previous().text().endsWith(QLatin1String("] 0.0% - flash failed")));
        QCOMPARE(QTextCursor(line).charFormat().foreground().color(), QColor(0xc0, 0, 0));
    }
}

QTEST_MAIN(GuiConnectTest)
#include "tst_gui_connect.moc"
