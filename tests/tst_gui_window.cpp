#include <qtadvanceddocking/DockWidget.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

#include "app/builddate.h"
#include "app/mainwindow.h"
#include "config/configdialog.h"
#include "records/runrecorder.h"
#include "support/guiworkdir.h"
#include "views/auxholdingtable.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/maintoolbars.h"
#include "views/ramparamtable.h"
#include "views/registertables.h"
#include "views/section.h"
#include "views/testpanel.h"
#include "views/timegraphpanel.h"

namespace {

// Where a value is typed: a holding's row in its section, an aux holding in its own table or in
// its section, a RAM parameter, or the flat overview of the holdings.
enum class Table { Section, Aux, AuxInSection, Ram, Flat };

QVariantList write(int address, int word, bool echo = true) {
    return {address, QVariant::fromValue(uint16_t(word)), echo};
}

template <typename T>
T *child(const QObject *parent, const char *name) {
    return parent->findChild<T *>(QLatin1String(name));
}

// Picks entry from the log area's context menu once it opens; returns the menu's entries.
QStringList pickFromLogMenu(LogArea *log, const QString &entry) {
    QStringList texts;
    QTimer::singleShot(0, [entry, &texts] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions()) {
                texts << action->text();
                if (action->text() == entry) {
                    menu->setActiveAction(action);
                }
            }
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    log->onRightButtonTestInfo(QPoint(5, 5));
    return texts;
}

}  // namespace

// The window's own behaviour without a drive: start-up, state files, log area, address field,
// the dialogs, and the register tables built from the example map: what shows values and what
// asks for writes (observed as requests; the decisions behind them, such as rounding, ranges and
// texts, are tabled in tst_presentation, so here each path is taken once).
class GuiWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void textsWithoutAWindow() {
        QCOMPARE(windowTitleFor(QStringLiteral("Dec  6 2025"), QStringLiteral("10:20:30")),
                 QStringLiteral("MVX/MVZ configurator - Velmor - [build: 2025/12/06 - 10:20:30]"));
        QCOMPARE(windowTitleFor(QStringLiteral("Foo 12 2025"), QStringLiteral("10:20:30")),
                 QStringLiteral("MVX/MVZ configurator - Velmor - [build: 1900/01/01 - 10:20:30]"));
        QCOMPARE(LogArea::progressLine(0.0f), "[=" + QString(49, ' ') + "] 0.0%");
        QCOMPARE(LogArea::progressLine(50.26f), "[" + QString(26, '=') + QString(24, ' ') + "] 50.3%");
        QCOMPARE(LogArea::progressLine(100.0f), "[" + QString(50, '=') + "] 100.0%");
    }

    void missingMapWarnsAndStillLogs() {
        GuiWorkDir dir({QStringLiteral("missing.xml")});
        QString boxText;
        QTimer::singleShot(0, [&boxText] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
            }
        });
        MainWindow window;
        QCOMPARE(
            boxText,
            QStringLiteral("WARNING! Settings XML not found, please select a new one and reload program."));
        const QString log = window.logArea()->toPlainText();
        QVERIFY(log.contains(QStringLiteral("Loaded XML parameter file: missing.xml")));
        QVERIFY(log.contains(QStringLiteral("Current speed selection: 115200")));
        QVERIFY(window.registers().inputRegisters.isEmpty());
        QVERIFY(!window.docks()->coils && !window.docks()->discreteInputs);  // no empty tabs
    }

    void mapWarningsReachTheLog() {
        GuiWorkDir dir({QStringLiteral("odd-map.xml")});
        QFile map(dir.filePath(QStringLiteral("odd-map.xml")));
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write(
            "<modbusmap>\n<block name=\"B\" query=\"auto\" type=\"holding\" start=\"0\" end=\"1\">\n"
            "<h add=\"0\"><text>ok</text><min>0</min><max>9</max></h>\n"
            "<h add=\"1\"><text>bad</text><min>low</min></h>\n</block>\n</modbusmap>\n");
        map.close();
        MainWindow window;
        QCOMPARE(window.registers().holdings.size(), 1);  // the bad one is dropped, and said so
        QVERIFY(window.logArea()->toPlainText().contains(QStringLiteral("odd-map.xml: line 4")));
    }

    // Start-up shows the saved line, disconnected and without saying so; then the address field,
    // the log area's lines and menu, and Connect without a port.
    void disconnectedLook() {
        GuiWorkDir dir({guitest::exampleMap(), QStringLiteral("none"), 19200, 17});
        MainWindow window;
        const MainToolBars *bars = window.toolBars();
        QCOMPARE(window.pollTime(), 250);  // settings.xml says 500
        QCOMPARE(bars->addressEdit->text(), QStringLiteral("17"));
        QCOMPARE(window.serverAddress(), 17);
        QVERIFY(bars->configuration->isEnabled() && bars->refreshList->isEnabled() &&
                bars->portCombo->isEnabled());
        QVERIFY(!bars->openFile->isEnabled() && !bars->flashFirmware->isEnabled() &&
                !window.isPortConnected());
        LogArea *log = window.logArea();
        QVERIFY(!log->toPlainText().contains(QStringLiteral("Port disconnected")));
        QVERIFY(!window.docks()->coils);  // the map has no coils

        // Typed, shown, the label beside the field, the address used.
        using Typed = std::tuple<const char *, const char *, const char *, int>;
        for (auto [typed, shown, label, address] : {Typed{"0", "0", "Broadcast address! will not reply!", 0},
                                                    Typed{"5", "5", "", 5}, Typed{"300", "1", "", 1}}) {
            bars->addressEdit->clear();
            QTest::keyClicks(bars->addressEdit, QLatin1String(typed));
            QTest::keyClick(bars->addressEdit, Qt::Key_Return);
            QCOMPARE(bars->addressEdit->text(), QLatin1String(shown));
            QCOMPARE(bars->broadcastLabel->text(), QLatin1String(label));
            QCOMPARE(window.serverAddress(), address);
        }

        // Progress replaces its own line; status lines go to the log area, the bar or both.
        const int blocksBefore = log->document()->blockCount();
        for (float percent : {0.4f, 50.0f, 100.0f}) {
            window.updateProgressBarText(percent, percent < 1);
        }
        QCOMPARE(log->document()->blockCount(), blocksBefore + 1);
        QCOMPARE(log->document()->lastBlock().text(), LogArea::progressLine(100.0f));
        window.showStatus(false, false, true, QStringLiteral("plain line"));
        window.showStatus(true, true, false, QStringLiteral("to the bar"));
        QCOMPARE(log->document()->lastBlock().text(), QStringLiteral("plain line"));
        const QRegularExpression stamped(
            QStringLiteral(R"(^\[\d\d/\d\d/\d{4} - \d\d:\d\d:\d\d\.\d{3}\] to the bar$)"));
        QVERIFY(stamped.match(window.statusBar()->currentMessage()).hasMatch());

        QCOMPARE(pickFromLogMenu(log, QStringLiteral("Select all")),
                 (QStringList{"Select all", "Copy", "Clear text"}));
        QVERIFY(log->textCursor().hasSelection() && !log->document()->isEmpty());
        pickFromLogMenu(log, QStringLiteral("Clear text"));
        QVERIFY(log->document()->isEmpty());

        window.toolBars()->portCombo->clear();
        window.toolBars()->connectPort->trigger();
        QVERIFY(log->document()->lastBlock().text().contains(QStringLiteral("No serial port")));
        QVERIFY(!window.toolBars()->connectPort->isChecked());
        // Nothing was asked of the worker: the window is not left waiting for an answer.
        QCOMPARE(window.connectionPhase(), ConnectionGate::Phase::Disconnected);
        QVERIFY(window.toolBars()->connectPort->isEnabled() && !window.isPortConnected());
        // Destroyed while shown, with its editing in the address field ended by the hiding.
        window.show();
        QApplication::setActiveWindow(&window);
        bars->addressEdit->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window) && bars->addressEdit->hasFocus());
    }

    // The Configuration dialog's choices reach the window, settings.xml and (the results database)
    // Settings.ini; the window's geometry and dock layout survive a restart.
    void configDialogRoundTrip() {
        GuiWorkDir dir;
        const QString line = QStringLiteral("postgresql://mvx@127.0.0.1:1/line2");
        {
            MainWindow window;
            window.show();
            window.toolBars()->configuration->trigger();
            config *dialog = guitest::topLevel<config>();
            QVERIFY(dialog != nullptr);
            QCOMPARE(child<QLineEdit>(dialog, "ed_time")->text(), QStringLiteral("100"));
            QCOMPARE(child<QComboBox>(dialog, "cmbSpeed")->currentText(), QStringLiteral("115200 bps"));
            QCOMPARE(child<QLineEdit>(dialog, "edit_xml_inv")->text(), guitest::exampleMap());
            QCOMPARE(dialog->size(), QSize(920, 190));
            child<QLineEdit>(dialog, "ed_time")->setText(QStringLiteral("50"));
            child<QComboBox>(dialog, "cmbSpeed")->setCurrentIndex(1);
            child<QComboBox>(dialog, "cmbConfig")->setCurrentIndex(2);
            child<QCheckBox>(dialog, "chk_registrar")->setChecked(true);
            child<QLineEdit>(dialog, "ed_dbUrl")->setText(line);
            child<QLineEdit>(dialog, "ed_station")->setText(QStringLiteral("st3"));
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            QCOMPARE(window.pollTime(), 50);
            QVERIFY(window.worker() != nullptr);
            QCOMPARE(window.testPanel()->recorder()->target().database.url(), line);
            QCOMPARE(window.testPanel()->recorder()->target().station, QStringLiteral("st3"));
            QVERIFY(!window.docks()->auxHoldings->isClosed());
            window.docks()->auxHoldings->toggleView(false);
            window.docks()->addressTable->toggleView(false);
        }
        const QString saved = dir.read(QStringLiteral("settings.xml"));
        for (const char *element : {"<Poll_Interval>50<", "<Modbus_Speed>19200<", "<Modbus_Config>2<",
                                    "<Do_Logging>True<", "<Log_Dir>log<", "<Aux_Register_Tab>False<"}) {
            QVERIFY2(saved.contains(QLatin1String(element)), element);
        }
        QVERIFY(!saved.contains(QStringLiteral("postgresql")));  // not among the settings
        QCOMPARE(RecordsSettings::load().url, line);
        QSettings ini(dir.filePath(QStringLiteral("Settings.ini")), QSettings::IniFormat);
        QVERIFY(!ini.value(QStringLiteral("mainWindow/Geometry")).toByteArray().isEmpty());

        MainWindow again;
        again.show();
        QVERIFY(again.docks()->auxHoldings->isClosed());
        QVERIFY(again.docks()->addressTable->isClosed());  // not a settings flag: the dock layout
        QVERIFY(!again.docks()->inputRegisters->isClosed());
    }

    void configDialogEdgeCases() {
        config dialog;
        QSignalSpy spy(&dialog, &config::change_config);
        dialog.setTime(250);
        dialog.setSpeed(4800);
        dialog.setLogging(true);
        QCOMPARE(child<QComboBox>(&dialog, "cmbSpeed")->currentText(), QStringLiteral("9600 bps"));
        auto *time = child<QLineEdit>(&dialog, "ed_time");
        time->setText(QStringLiteral("fast"));
        emit time->editingFinished();
        child<QCheckBox>(&dialog, "chk_registrar")->setChecked(false);
        QVERIFY(!child<QLineEdit>(&dialog, "ed_logDir")->isEnabled());
        QVERIFY(!child<QPushButton>(&dialog, "btn_SelectLogDir")->isEnabled());
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(spy.size(), 1);
        // Logging off; letters keep the previous time; the stored speed is handed back untouched.
        QCOMPARE(spy[0].mid(2, 3), (QVariantList{false, 250, 4800}));
        QCOMPARE(config::relativeToWorkingDir(QDir::current().filePath(QStringLiteral("logs"))),
                 QStringLiteral("logs"));
        QCOMPARE(config::relativeToWorkingDir(QDir::current().absoluteFilePath(QStringLiteral("../map.xml"))),
                 QStringLiteral("../map.xml"));
    }

    void cleanup() { m_open.reset(); }

    void tablesFollowTheMap() {
        openWindow();
        const InputRegisterTable *table = m_window->tables()->inputRegisters();
        QCOMPARE(table->rowCount(), 40);
        QCOMPARE(table->verticalHeaderItem(5)->text(), QStringLiteral("5"));
        QCOMPARE(table->item(5, 0)->text(), m_window->registers().inputRegisters[5]->text);
        QCOMPARE(table->item(5, 2)->text(), QStringLiteral("rpm"));
        QCOMPARE(table->item(0, 2)->text(), QString());  // "none" is dimensionless
        QCOMPARE(table->item(3, 1)->background().color(), QColor(255, 225, 225));
        QCOMPARE(table->item(4, 0)->background().color(), QColor(Qt::white));  // no colour in the map
        QVERIFY(!(table->item(5, 1)->flags() & Qt::ItemIsEditable));
        const int mapWidths[] = {200, 100, 50};  // floors: a longer text widens its column
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->isRowHidden(row), row == 31 || row == 33);
            for (int column = 0; column < 3; ++column) {
                const int text = table->fontMetrics().horizontalAdvance(table->item(row, column)->text());
                QVERIFY(table->columnWidth(column) >= std::max(mapWidths[column], text));
            }
        }

        struct Case {
            int section;
            const char *title;
            int firstAddress, lastAddress, heightInRows;
        };
        // A hidden last row; a manual block (its Read button takes a row); an aux block keeps its
        // hidden rows.
        const Case cases[] = {{0, "Control", 0, 8, 9},
                              {5, "Comunicacion y calibracion", 70, 79, 11},
                              {6, "Identificacion", 1000, 1011, 11}};
        const HoldingSections *sections = m_window->tables()->holdingSections();
        QCOMPARE(sections->sections().size(), 7);
        for (const Case &c : cases) {
            QCOMPARE(sections->sections()[c.section]->toggleButton()->text(), QLatin1String(c.title));
            const QTableWidget *table = sections->tables()[c.section];
            QCOMPARE(table->rowCount(), c.lastAddress - c.firstAddress + 1);
            QCOMPARE(table->height(), c.heightInRows * 23 + 2);
            for (int row = 0; row < table->rowCount(); ++row) {
                QCOMPARE(table->verticalHeaderItem(row)->text(), QString::number(c.firstAddress + row));
                const int text = table->fontMetrics().horizontalAdvance(table->item(row, 0)->text());
                QVERIFY(table->columnWidth(0) >= std::max(200, text));
            }
        }
        const auto &buttons = sections->readButtons();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QStringLiteral("Read Comunicacion y calibracion"));
        QSignalSpy reads(m_window->tables(), &RegisterTables::readRangeRequested);
        buttons[0]->click();
        QCOMPARE(QList<QVariantList>(reads), (QList<QVariantList>{{70, 10}}));
    }

    void repliesAreShownWithoutWriting() {
        openWindow();
        QVector<uint16_t> words(m_window->registers().holdings.size(), 0);
        words[1] = 2;                                       // list: third choice
        words[3] = 1234;                                    // integer
        words[4] = 0xFFF6;                                  // float, multiplier 0.1
        words[9] = 77;                                      // hidden in its section
        m_window->onHoldingRegistersRecv(0, words.mid(1));  // a reply of the wrong length is ignored
        QCOMPARE(cell(Table::Section, 3)->text(), QStringLiteral("0"));
        m_window->onHoldingRegistersRecv(0, words);
        QCOMPARE(cell(Table::Section, 3)->text(), QStringLiteral("1234"));
        QCOMPARE(cell(Table::Section, 4)->text(), QStringLiteral("-1.0"));
        QCOMPARE(cell(Table::Flat, 4)->text(), QStringLiteral("-1.0"));
        QCOMPARE(cell(Table::Flat, 9)->text(), QStringLiteral("0.77"));
        QCOMPARE(comboOf(1)->currentIndex(), 2);

        // Access levels grey what the granted level may not write.
        QSignalSpy applied(m_window->tables()->holdingSections(), &HoldingSections::accessLevelApplied);
        QVector<uint16_t> inputs(40, 0);
        // The level acts from the following reply on: it is read before the new words are stored.
        for (uint16_t level : {2, 2, 2, 3, 3, 2, 2}) {
            inputs[28] = level;
            m_window->onInputRegistersRecv(1, 0, inputs);
        }
        QCOMPARE(QList<QVariantList>(applied), (QList<QVariantList>{{0}, {2}, {3}, {2}}));
        const QColor grey(230, 230, 230);
        QCOMPARE(cell(Table::Section, 8)->background().color(), grey);  // level 3
        QCOMPARE(cell(Table::Section, 8, 0)->background().color(), grey);
        QCOMPARE(cell(Table::Section, 6)->background().color(), QColor(Qt::white));  // level 2
        QVERIFY(comboOf(1)->isEnabled());                                            // level 2
        QCOMPARE(writes(), QList<QVariantList>());
    }

    // Each table asks for the word its row stands for at its own address, or says why not in the
    // status bar and the log area and leaves the text as typed. (Refused while disconnected: see
    // tst_gui_connect.)
    void editsAskForWritesOrSayWhy() {
        openWindow();
        m_window->onCOMconnected();  // as the worker reports a Connect; no drive is needed here
        struct Case {
            Table table;
            int row;
            const char *typed;
            int address, word;  // address -1: nothing is written
            const char *said;
        };
        const Case cases[] = {
            {Table::Section, 4, "12.5", 4, 125, ""},  // multiplier 0.1
            {Table::Section, 3, "-3", 3, 0xFFFD, ""},
            {Table::Section, 4, "100.001", -1, 0, "100.001 is outside the accepted range"},
            {Table::Section, 3, "abc", -1, 0, "\"abc\" is not a number (accepted range"},
            {Table::Aux, 6, "52", 1006, 52, ""},
            {Table::Aux, 10, "100", -1, 0, "100 is outside the accepted range 0 to 99"},
            {Table::AuxInSection, 6, "10", -1, 0,
             "aux holdings are written from the Auxiliar holdings table"},
            {Table::Ram, 2, "-100", 3002, 0xFF9C, ""},
            {Table::Ram, 3, "2.5", 3003, 25, ""},
            {Table::Flat, 3, "10", -1, 0, ""},  // the overview is not edited
        };
        for (const Case &c : cases) {
            m_open->writes.clear();
            m_window->logArea()->clear();
            QTableWidgetItem *item = cell(c.table, c.row);
            item->setText(QLatin1String(c.typed));
            if (c.address >= 0) {
                QVERIFY2(writes() == QList<QVariantList>{write(c.address, c.word)}, c.typed);
                continue;
            }
            QVERIFY2(writes().isEmpty() && item->text() == QLatin1String(c.typed), c.typed);
            const QString said = QStringLiteral(" not written: ") + QLatin1String(c.said);
            QVERIFY2(!*c.said || m_window->statusBar()->currentMessage().contains(said), c.typed);
            QVERIFY2(!*c.said || m_window->logArea()->toPlainText().contains(said), c.typed);
        }

        // A combo writes its choice, the wheel never changes one; the RAM password field writes
        // without echo what fits a register.
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(comboOf(1), &wheel);
        QCOMPARE(comboOf(1)->currentIndex(), 0);
        comboOf(5)->setCurrentIndex(1);
        QLineEdit *field = m_window->timeGraph()->ramParams()->passwordField();
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        for (const char *typed : {"70000", "1234"}) {
            field->setText(QLatin1String(typed));
            emit field->editingFinished();
        }
        QCOMPARE(writes(), (QList<QVariantList>{write(5, 1), write(3000, 1234, false)}));
    }

  private:
    // The window over the example map, its write requests recorded; cleanup() closes it.
    struct Open {
        GuiWorkDir dir;
        MainWindow window;
        QSignalSpy writes{window.tables(), &RegisterTables::writeRequested};
    };
    void openWindow() {
        m_open = std::make_unique<Open>();
        m_window = &m_open->window;
    }

    std::unique_ptr<Open> m_open;
    MainWindow *m_window = nullptr;

    QList<QVariantList> writes() const { return m_open->writes; }
    QTableWidgetItem *cell(Table table, int row, int column = 1) const {
        const RegisterTables *tables = m_window->tables();
        const RegisterSet &set = m_window->registers();
        switch (table) {
            case Table::Section:
            case Table::AuxInSection: {
                const holding_t *h = (table == Table::Section ? set.holdings : set.auxHoldings)[row];
                return tables->holdingSections()->tables().value(h->table)->item(h->row, column);
            }
            case Table::Aux:
                return tables->auxHoldings()->item(row, column);
            case Table::Ram:
                return m_window->timeGraph()->ramParams()->item(row, column);
            case Table::Flat:
                return tables->flatHoldings()->item(row, column);
        }
        return nullptr;
    }
    QComboBox *comboOf(int holdingIndex) const {
        return m_window->tables()
            ->holdingSections()
            ->combos()[m_window->registers().holdings[holdingIndex]->combo];
    }
};

QTEST_MAIN(GuiWindowTest)
#include "tst_gui_window.moc"
