#include <qcustomplot.h>
#include <qtadvanceddocking/DockWidget.h>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QtTest>

#include "app/mainwindow.h"
#include "comm/modbus.h"
#include "config/configdialog.h"
#include "params/passwindow.h"
#include "support/guiworkdir.h"
#include "support/simulateddrive.h"
#include "views/addresstable.h"
#include "views/auxholdingtable.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/maintoolbars.h"
#include "views/ramparamtable.h"
#include "views/realtimeplot.h"
#include "views/registertables.h"
#include "views/timegraphpanel.h"

namespace {

const int kWaitMs = 15000;

enum class EditedTable { Section, Aux, Ram };

bool isWrite(const QString &request) {
    const QString function = request.section(QLatin1Char(' '), 1, 1);
    return function == QLatin1String("06") || function == QLatin1String("10");
}

}  // namespace

Q_DECLARE_METATYPE(EditedTable)

// The main window against the simulated drive on a pseudo-terminal: what reaches the wire.
// Records every enabled state a widget passes through, however short.
class EnabledStates : public QObject {
  public:
    explicit EnabledStates(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::EnabledChange) {
            states << m_widget->isEnabled();
        }
        return false;
    }
    QList<bool> states;

  private:
    QWidget *m_widget;
};

class GuiConnectTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup();
    void connectAndDisconnectSwitchTheControls();
    void repliesAreShownWithoutWriting_data();
    void repliesAreShownWithoutWriting();
    void typedGatewayIsRememberedAndGreysTheLineFields();
    void editsReachTheDrive_data();
    void editsReachTheDrive();
    void comboWritesItsValueOnce();
    void exitWhileConnectedClosesTheDataLogAndSavesSettings();
    void searchListsTheDrivesAndSelectsOne();
    void portThatCannotBeOpenedStaysDisconnected();
    void reconfiguredWorkerConnects();
    void driveCommandButtons_data();
    void driveCommandButtons();
    void passwordReachesTheDrive();
    void flashing_data();
    void flashing();

  private:
    struct Start {
        QList<int> addresses{1};
        Transport transport = Transport::Serial;
        bool logging = false;
        int savedAddress = 1;
        bool clearAddressField = false;
    };
    bool startBus(const QList<int> &addresses = {1}, Transport transport = Transport::Serial);
    void startWindow(const Start &start);
    void startWindow() { startWindow(Start{}); }
    bool connectWindow();
    // The simulated drive, the window over it and a pressed Connect: the preamble of most cases.
    bool startConnected(const Start &start);
    bool startConnected() { return startConnected(Start{}); }
    QStringList writes() const;
    QTableWidget *sectionTableOf(int holdingIndex) const;
    QTableWidget *editedTable(EditedTable table, int row) const;

    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void GuiConnectTest::cleanup() {
    m_window.reset();
    m_dir.reset();
    m_bus.reset();
}

bool GuiConnectTest::startBus(const QList<int> &addresses, Transport transport) {
    m_bus = std::make_unique<SimulatedBus>();
    m_bus->transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = guitest::exampleMap();
    options.addresses = addresses;
    QString error;
    if (!m_bus->start(options, &error)) {
        qWarning() << error;
        return false;
    }
    return true;
}

void GuiConnectTest::startWindow(const Start &start) {
    GuiWorkDir::Settings settings{guitest::exampleMap(), m_bus->endpoint()};
    settings.logging = start.logging;
    settings.address = start.savedAddress;
    m_dir = std::make_unique<GuiWorkDir>(settings);
    m_window = std::make_unique<MainWindow>();
    if (start.clearAddressField) {
        m_window->toolBars()->addressEdit->clear();
    }
}

bool GuiConnectTest::connectWindow() {
    if (m_window->toolBars()->portCombo->currentData().toString() != m_bus->endpoint()) {
        return false;
    }
    m_window->toolBars()->connectPort->trigger();
    return QTest::qWaitFor([this] { return m_window->isPortConnected(); }, kWaitMs);
}

bool GuiConnectTest::startConnected(const Start &start) {
    if (!startBus(start.addresses, start.transport)) {
        return false;
    }
    startWindow(start);
    return connectWindow();
}

QStringList GuiConnectTest::writes() const {
    QStringList found;
    for (const QString &request : m_bus->drive.requests()) {
        if (isWrite(request)) {
            found << request;
        }
    }
    return found;
}

QTableWidget *GuiConnectTest::sectionTableOf(int holdingIndex) const {
    const holding_t *record = m_window->registers().holdings[holdingIndex];
    return m_window->tables()->holdingSections()->tables().value(record->table);
}

void GuiConnectTest::connectAndDisconnectSwitchTheControls() {
    QVERIFY(startBus());
    startWindow();
    m_window->docks()->auxHoldings->toggleView(false);
    QVERIFY(connectWindow());
    const MainToolBars *bars = m_window->toolBars();
    QVERIFY(m_window->logArea()->toPlainText().contains(QStringLiteral("Port connected")));
    QVERIFY(m_dir->read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Aux_Register_Tab>False<")));
    QVERIFY(!bars->portCombo->isEnabled());
    QVERIFY(!bars->configuration->isEnabled());
    QVERIFY(!bars->refreshList->isEnabled());
    QVERIFY(bars->openFile->isEnabled() && bars->saveFile->isEnabled() && bars->flashFirmware->isEnabled());
    QVERIFY(m_window->timeGraph()->stopButton()->isEnabled());
    QVERIFY(bars->connectPort->isChecked());
    QCOMPARE(bars->errorCountLabel->text(), QStringLiteral("Error Count: 0"));

    QTRY_VERIFY_WITH_TIMEOUT(m_window->realtimePlot()->sampleCount() > 0, kWaitMs);
    bars->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
    QVERIFY(m_window->logArea()->toPlainText().endsWith(QStringLiteral("Port disconnected")));
    // The time graph shows a gap, not a line, across the time without a port.
    m_window->realtimePlot()->replotNow();
    const QCPGraph *curve = m_window->realtimePlot()->curve(0);
    QVERIFY(qIsNaN((curve->data()->constEnd() - 1)->value));
    QVERIFY(bars->portCombo->isEnabled() && bars->configuration->isEnabled());
    QVERIFY(!bars->openFile->isEnabled() && !bars->flashFirmware->isEnabled());
    QVERIFY(!m_window->timeGraph()->stopButton()->isEnabled());
}

void GuiConnectTest::repliesAreShownWithoutWriting_data() {
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<bool>("emptyAddressField");
    QTest::newRow("serial") << Transport::Serial << false;
    QTest::newRow("tcp") << Transport::Tcp << false;
    QTest::newRow("empty address field: server 1, not the saved 9") << Transport::Serial << true;
}

void GuiConnectTest::repliesAreShownWithoutWriting() {
    QFETCH(Transport, transport);
    QFETCH(bool, emptyAddressField);
    QVERIFY(startConnected({{1}, transport, false, emptyAddressField ? 9 : 1, emptyAddressField}));
    // Holding 9 ("Tiempo muerto", default 150, multiplier 0.01) is only in the flat table.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->flatHoldings()->item(9, 1)->text(), QStringLiteral("1.50"),
                              kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(sectionTableOf(6)->item(6, 1)->text(), QStringLiteral("3000"), kWaitMs);
    QCOMPARE(m_window->tables()->inputRegisters()->item(1, 1)->text(), QStringLiteral("4"));  // model
    QCOMPARE(writes(), QStringList());
    QVERIFY(m_bus->drive.requests().first().startsWith(QStringLiteral("1 ")));
    QVERIFY(m_dir->read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Modbus_Add>1<")));
}

void GuiConnectTest::typedGatewayIsRememberedAndGreysTheLineFields() {
    QVERIFY(startBus({1}, Transport::Tcp));
    GuiWorkDir::Settings settings;
    settings.speed = 9600;  // a 500 ms poll time on a serial line
    m_dir = std::make_unique<GuiWorkDir>(settings);
    m_window = std::make_unique<MainWindow>();
    QComboBox *box = m_window->toolBars()->portCombo;
    box->setEditText(m_bus->endpoint());
    m_window->toolBars()->connectPort->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->inputRegisters()->item(1, 1)->text(), QStringLiteral("4"),
                              kWaitMs);
    QVERIFY(m_dir->read(QStringLiteral("settings.xml"))
                .contains(QStringLiteral("<Last_Com>%1</Last_Com>").arg(m_bus->endpoint())));
    QCOMPARE(m_window->pollTime(), 100);  // as at 38400 bps and above
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);

    m_window->toolBars()->configuration->trigger();
    config *dialog = guitest::topLevel<config>();
    QVERIFY(dialog != nullptr);
    for (const char *name : {"cmbSpeed", "cmbConfig"}) {
        const QWidget *field = dialog->findChild<QWidget *>(QLatin1String(name));
        QVERIFY(!field->isEnabled());
        QVERIFY(field->toolTip().contains(QStringLiteral("Modbus TCP gateway")));
    }
    dialog->close();

    m_window.reset();  // the next start offers the gateway again
    m_window = std::make_unique<MainWindow>();
    QCOMPARE(m_window->toolBars()->portCombo->currentData().toString(), m_bus->endpoint());
}

void GuiConnectTest::editsReachTheDrive_data() {
    QTest::addColumn<EditedTable>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("request");
    QTest::newRow("holding, rounded") << EditedTable::Section << 4 << "12.5"
                                      << "1 06 00 04 00 7D";
    QTest::newRow("aux holding") << EditedTable::Aux << 6 << "52"
                                 << "1 06 03 EE 00 34";
    QTest::newRow("RAM parameter") << EditedTable::Ram << 2 << "-100"
                                   << "1 06 0B BA FF 9C";
}

QTableWidget *GuiConnectTest::editedTable(EditedTable table, int row) const {
    switch (table) {
        case EditedTable::Section:
            return sectionTableOf(row);
        case EditedTable::Aux:
            return m_window->tables()->auxHoldings();
        case EditedTable::Ram:
            return m_window->timeGraph()->ramParams();
    }
    return nullptr;
}

void GuiConnectTest::editsReachTheDrive() {
    QFETCH(EditedTable, table);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, request);
    QVERIFY(startConnected());
    QTRY_COMPARE_WITH_TIMEOUT(sectionTableOf(6)->item(6, 1)->text(), QStringLiteral("3000"), kWaitMs);
    QTableWidgetItem *cell = editedTable(table, row)->item(row, 1);
    cell->setText(QStringLiteral("99999"));  // out of range: never written
    cell->setText(typed);
    QTRY_VERIFY_WITH_TIMEOUT(writes().contains(request), kWaitMs);
    QCOMPARE(writes(), QStringList{request});
    if (table != EditedTable::Ram) {  // holdings are read back: the next poll, or Read for the aux ones
        cell->setText(QStringLiteral("typed over"));
        if (table == EditedTable::Aux) {
            m_window->on_btnReadAuxHoldingClicked();
        }
        QTRY_COMPARE_WITH_TIMEOUT(cell->text(), typed, kWaitMs);
    }
}

void GuiConnectTest::comboWritesItsValueOnce() {
    QVERIFY(startConnected());
    const holding_t *record = m_window->registers().holdings[5];
    QComboBox *combo = m_window->tables()->holdingSections()->combos()[record->combo];
    QTRY_COMPARE_WITH_TIMEOUT(m_window->registers().holdings[6]->value, uint16_t(3000), kWaitMs);
    combo->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(writes().contains(QStringLiteral("1 06 00 05 00 01")), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(record->value, uint16_t(1), kWaitMs);  // read back by a poll
    const int pollsBefore = m_bus->drive.requests().size();
    QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().size() > pollsBefore + 4, kWaitMs);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(writes().size(), 1);
}

// One data-log line per reply, each value as its input-table cell shows it; leaving the program
// while connected ends the log and keeps the dock choices made since Connect.
void GuiConnectTest::exitWhileConnectedClosesTheDataLogAndSavesSettings() {
    QVERIFY(startConnected({{1}, Transport::Serial, true}));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().size() > 8, kWaitMs);
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
    QVERIFY(lines.size() >= 5);
    QVERIFY(lines.first().startsWith(QStringLiteral("Log started at ")));
    QVERIFY(lines.last().startsWith(QStringLiteral("Log finished at ")));
    const QRegularExpression header(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3};fw_version;model;speed_ref;)"));
    QVERIFY2(header.match(lines[1]).hasMatch(), qPrintable(lines[1]));
    QVERIFY(lines[2].contains(QStringLiteral(";rpm;rpm;Hz;V;")));
    // 40 registers: three lists and two low halves have no column.
    const QStringList names = lines[1].split(QLatin1Char(';'));
    QCOMPARE(names.size(), 36);
    for (int i = 3; i < lines.size() - 1; ++i) {
        QCOMPARE(lines[i].count(QLatin1Char(';')), names.size() - 1);
    }
    const QStringList last = lines[lines.size() - 2].split(QLatin1Char(';'));
    for (int column = 1; column < names.size(); ++column) {
        QCOMPARE(last[column], cellOf.value(names[column], QStringLiteral("no register ") + names[column]));
    }
}

void GuiConnectTest::searchListsTheDrivesAndSelectsOne() {
    QVERIFY(startConnected({{1, 5}}));
    m_window->searchButton()->click();
    QCOMPARE(m_window->searchButton()->text(), QStringLiteral("Abort search"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->searchButton()->text(), QStringLiteral("Search addresses"), 120000);
    AddressTable *table = m_window->addressTable();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->addressAt(0), QStringLiteral("1"));
    QCOMPARE(table->addressAt(1), QStringLiteral("5"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("0xA5"));
    QCOMPARE(table->item(1, 4)->text(), QStringLiteral("4"));  // the map's model
    QTRY_COMPARE_WITH_TIMEOUT(m_window->logArea()->document()->lastBlock().text(),
                              QStringLiteral("2 drives found"), kWaitMs);
    QVERIFY(m_window->logArea()->document()->lastBlock().previous().text().startsWith(QStringLiteral("[") +
                                                                                      QString(50, '=')));

    emit table->itemDoubleClicked(table->item(1, 2));
    QCOMPARE(m_window->toolBars()->addressEdit->text(), QStringLiteral("5"));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus->drive.requests().last().startsWith(QStringLiteral("5 0")), kWaitMs);
}

void GuiConnectTest::portThatCannotBeOpenedStaysDisconnected() {
    // An existing file that is no serial port, offered through Last_Com like a virtual port.
    m_dir = std::make_unique<GuiWorkDir>(
        GuiWorkDir::Settings{guitest::exampleMap(), QStringLiteral("not-a-port")});
    QFile file(m_dir->filePath(QStringLiteral("not-a-port")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    m_window = std::make_unique<MainWindow>();
    QCOMPARE(m_window->toolBars()->portCombo->currentData().toString(), QStringLiteral("not-a-port"));
    m_window->toolBars()->connectPort->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->logArea()->toPlainText().contains(QStringLiteral("Connect failed: ")),
                             kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->toolBars()->connectPort->isChecked(), kWaitMs);
    QVERIFY(!m_window->isPortConnected());
    QVERIFY(m_window->toolBars()->configuration->isEnabled());
}

void GuiConnectTest::reconfiguredWorkerConnects() {
    QVERIFY(startBus());
    startWindow();
    const QPointer<Modbus> first = m_window->worker();
    m_window->on_configChanged(guitest::exampleMap(), QStringLiteral("log"), false, 100, 115200, 0);
    QVERIFY(first.isNull());  // the idle worker is not left behind
    QVERIFY(connectWindow());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->tables()->inputRegisters()->item(1, 1)->text(), QStringLiteral("4"),
                              kWaitMs);
    m_bus->drive.stop();  // silence: the new worker's failures still reach the error count
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorCount() > 0, kWaitMs);
}

void GuiConnectTest::driveCommandButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("request");
    QTest::newRow("Stop writes 0 to StopIndex") << "btnStop"
                                                << "1 06 00 42 00 00";
    QTest::newRow("Reset writes 1 to the command register") << "btnReset"
                                                            << "1 06 00 00 00 01";
}

void GuiConnectTest::driveCommandButtons() {
    QFETCH(QString, button);
    QFETCH(QString, request);
    QVERIFY(startConnected());
    m_window->timeGraph()->findChild<QPushButton *>(button)->click();
    QTRY_VERIFY_WITH_TIMEOUT(writes().contains(request), kWaitMs);
    QCOMPARE(writes().size(), 1);
    if (button == QLatin1String("btnStop")) {
        QCOMPARE(m_window->timeGraph()->ramParams()->item(2, 1)->text(), QStringLiteral("0"));
    }
}

void GuiConnectTest::passwordReachesTheDrive() {
    QVERIFY(startConnected());
    m_window->toolBars()->password->trigger();
    passWindow *dialog = guitest::topLevel<passWindow>();
    QVERIFY(dialog != nullptr);
    auto *levels = dialog->findChild<QComboBox *>(QStringLiteral("cmbLevel"));
    QCOMPARE(levels->count(), 4);
    QCOMPARE(levels->itemText(2), QStringLiteral("Level 2: distributor"));
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("edPassword1"))->echoMode(), QLineEdit::Password);
    levels->setCurrentIndex(2);
    dialog->findChild<QLineEdit *>(QStringLiteral("edPassword1"))->setText(QStringLiteral("abc"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QTRY_VERIFY_WITH_TIMEOUT(
        writes().contains(QStringLiteral("1 10 07 D0 00 05 0A 00 02 00 61 00 62 00 63 00 00")), kWaitMs);
}

void GuiConnectTest::flashing_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("verdict");
    // Model 4 from input register 1: announce, erase, three blocks, both resets.
    QTest::newRow("confirmed") << "drive_motor.ofw" << true
                               << QStringList{"1 64 00 04 01",       "1 64 00 04 07",
                                              "1 64 00 04 05 00 00", "1 64 00 04 05 00 01",
                                              "1 64 00 04 05 00 02", "1 64 00 04 03",
                                              "1 64 00 04 04"}
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
    QVERIFY(firmware.open(QIODevice::WriteOnly));
    firmware.write(QByteArray(300, '\x5A'));
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
        QTRY_VERIFY_WITH_TIMEOUT(m_window->logArea()->toPlainText().contains(verdict), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->timeGraph()->stopButton()->isEnabled(), kWaitMs);
        QCOMPARE(stop.states.value(0, true), false);
        QCOMPARE(aux.states.value(0, true), false);
        QCOMPARE(search.states.value(0, true), false);
        QVERIFY(m_window->searchButton()->isEnabled());
    }
    QStringList sent;
    for (const QString &request : m_bus->drive.requests()) {
        if (request.startsWith(QStringLiteral("1 64 "))) {
            sent << request.left(frames.value(sent.size()).size());
        }
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
