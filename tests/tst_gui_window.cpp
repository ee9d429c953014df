#include <qtadvanceddocking/DockWidget.h>
#include <QAction>
#include <QApplication>
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
#include <QTimer>
#include <QtTest>

#include "app/builddate.h"
#include "app/mainwindow.h"
#include "config/configdialog.h"
#include "support/guiworkdir.h"
#include "test/runrecorder.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/maintoolbars.h"
#include "views/testpanel.h"

// The window's own behaviour without a drive: start-up, state files, log area, address
// field and the dialogs.
class GuiWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void titleCarriesTheBuildDate_data();
    void titleCarriesTheBuildDate();
    void missingMapWarnsAndStillLogs();
    void mapWarningsReachTheLog();
    void startupLooksDisconnectedWithTheSavedLine();
    void addressField_data();
    void addressField();
    void progressLineShape_data();
    void progressLineShape();
    void logAreaLines();
    void logContextMenu_data();
    void logContextMenu();
    void connectWithoutPortSaysSo();
    void windowStateSurvivesRestart();
    void configDialogRoundTrip();
    void configDialogEdgeCases();
};

void GuiWindowTest::titleCarriesTheBuildDate_data() {
    QTest::addColumn<QString>("compilerDate");
    QTest::addColumn<QString>("title");
    QTest::newRow("single-digit day") << "Dec  6 2025"
                                      << "MVX/MVZ configurator - Velmor - [build: 2025/12/06 - 10:20:30]";
    QTest::newRow("unknown month") << "Foo 12 2025"
                                   << "MVX/MVZ configurator - Velmor - [build: 1900/01/01 - 10:20:30]";
}

void GuiWindowTest::titleCarriesTheBuildDate() {
    QFETCH(QString, compilerDate);
    QFETCH(QString, title);
    QCOMPARE(windowTitleFor(compilerDate, QStringLiteral("10:20:30")), title);
}

void GuiWindowTest::missingMapWarnsAndStillLogs() {
    GuiWorkDir dir({QStringLiteral("missing.xml")});
    QString boxText;
    QTimer::singleShot(0, [&boxText] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxText = box->text();
            box->accept();
        }
    });
    MainWindow window;
    QCOMPARE(boxText,
             QStringLiteral("WARNING! Settings XML not found, please select a new one and reload program."));
    const QString log = window.logArea()->toPlainText();
    QVERIFY(log.contains(QStringLiteral("Loaded XML parameter file: missing.xml")));
    QVERIFY(log.contains(QStringLiteral("Current speed selection: 115200")));
    QVERIFY(window.registers().inputRegisters.isEmpty());
    QVERIFY(!window.docks()->coils && !window.docks()->discreteInputs);  // no empty tabs
}

void GuiWindowTest::mapWarningsReachTheLog() {
    GuiWorkDir dir({QStringLiteral("odd-map.xml")});
    QFile map(dir.filePath(QStringLiteral("odd-map.xml")));
    QVERIFY(map.open(QIODevice::WriteOnly));
    map.write(
        "<modbusmap>\n<block name=\"B\" query=\"auto\" type=\"holding\" start=\"0\" end=\"1\">\n"
        "<h add=\"0\"><text>ok</text><min>0</min><max>9</max></h>\n"
        "<h add=\"1\"><text>bad</text><min>low</min></h>\n</block>\n</modbusmap>\n");
    map.close();
    MainWindow window;
    QCOMPARE(window.registers().holdings.size(), 1);  // the bad one is dropped...
    QVERIFY(
        window.logArea()->toPlainText().contains(QStringLiteral("odd-map.xml: line 4")));  // ...and said so
}

void GuiWindowTest::startupLooksDisconnectedWithTheSavedLine() {
    GuiWorkDir::Settings settings;
    settings.speed = 19200;
    settings.address = 17;
    GuiWorkDir dir(settings);
    MainWindow window;
    QCOMPARE(window.pollTime(), 250);  // settings.xml says 500
    QCOMPARE(window.toolBars()->addressEdit->text(), QStringLiteral("17"));
    QCOMPARE(window.serverAddress(), 17);
    const MainToolBars *bars = window.toolBars();
    QVERIFY(bars->configuration->isEnabled() && bars->refreshList->isEnabled() &&
            bars->portCombo->isEnabled());
    QVERIFY(!bars->openFile->isEnabled() && !bars->flashFirmware->isEnabled());
    QVERIFY(!window.isPortConnected());
    QVERIFY(!window.logArea()->toPlainText().contains(QStringLiteral("Port disconnected")));
    QVERIFY(!window.docks()->coils);  // the map has no coils
}

void GuiWindowTest::addressField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("address");
    QTest::newRow("broadcast") << "0"
                               << "0"
                               << "Broadcast address! will not reply!" << 0;
    QTest::newRow("ordinary") << "17"
                              << "17"
                              << "" << 17;
    QTest::newRow("too large") << "300"
                               << "1"
                               << "" << 1;
}

void GuiWindowTest::addressField() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, label);
    QFETCH(int, address);
    GuiWorkDir dir;
    MainWindow window;
    QLineEdit *edit = window.toolBars()->addressEdit;
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(window.toolBars()->broadcastLabel->text(), label);
    QCOMPARE(window.serverAddress(), address);
}

void GuiWindowTest::progressLineShape_data() {
    QTest::addColumn<float>("percent");
    QTest::addColumn<QString>("line");
    QTest::newRow("0") << 0.0f << "[=" + QString(49, ' ') + "] 0.0%";
    QTest::newRow("50.26") << 50.26f << "[" + QString(26, '=') + QString(24, ' ') + "] 50.3%";
    QTest::newRow("100") << 100.0f << "[" + QString(50, '=') + "] 100.0%";
}

void GuiWindowTest::progressLineShape() {
    QFETCH(float, percent);
    QFETCH(QString, line);
    QCOMPARE(LogArea::progressLine(percent), line);
}

// Progress replaces its own line in place; status lines go to the log area, the bar or both.
void GuiWindowTest::logAreaLines() {
    GuiWorkDir dir;
    MainWindow window;
    const int blocksBefore = window.logArea()->document()->blockCount();
    for (float percent : {0.4f, 50.0f, 100.0f}) {
        window.updateProgressBarText(percent, percent < 1);
    }
    QCOMPARE(window.logArea()->document()->blockCount(), blocksBefore + 1);
    QCOMPARE(window.logArea()->document()->lastBlock().text(), LogArea::progressLine(100.0f));
    window.showStatus(false, false, true, QStringLiteral("plain line"));
    QCOMPARE(window.logArea()->document()->lastBlock().text(), QStringLiteral("plain line"));
    window.showStatus(true, true, false, QStringLiteral("to the bar"));
    QCOMPARE(window.logArea()->document()->lastBlock().text(), QStringLiteral("plain line"));
    QVERIFY(QRegularExpression(QStringLiteral(R"(^\[\d\d/\d\d/\d{4} - \d\d:\d\d:\d\d\.\d{3}\] to the bar$)"))
                .match(window.statusBar()->currentMessage())
                .hasMatch());
}

void GuiWindowTest::logContextMenu_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<bool>("selected");
    QTest::newRow("select all") << "Select all" << false << true;
    QTest::newRow("clear") << "Clear text" << true << false;
}

void GuiWindowTest::logContextMenu() {
    QFETCH(QString, entry);
    QFETCH(bool, cleared);
    QFETCH(bool, selected);
    LogArea log;
    log.appendLine(QStringLiteral("one line"));
    QTimer::singleShot(0, [entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QStringList texts;
        for (QAction *action : menu->actions()) {
            texts << action->text();
            if (action->text() == entry) {
                menu->setActiveAction(action);
            }
        }
        QCOMPARE(texts, (QStringList{"Select all", "Copy", "Clear text"}));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    log.onRightButtonTestInfo(QPoint(5, 5));
    QCOMPARE(log.document()->isEmpty(), cleared);
    QCOMPARE(log.textCursor().hasSelection(), selected);
}

void GuiWindowTest::connectWithoutPortSaysSo() {
    GuiWorkDir dir;
    MainWindow window;
    window.toolBars()->portCombo->clear();
    window.toolBars()->connectPort->trigger();
    QVERIFY(window.logArea()->document()->lastBlock().text().contains(QStringLiteral("No serial port")));
    QVERIFY(!window.toolBars()->connectPort->isChecked());
    QTest::qWait(200);
    QVERIFY(!window.isPortConnected());
}

void GuiWindowTest::windowStateSurvivesRestart() {
    GuiWorkDir dir;
    {
        MainWindow window;
        window.show();
        QVERIFY(!window.docks()->auxHoldings->isClosed());
        window.docks()->auxHoldings->toggleView(false);
        window.docks()->addressTable->toggleView(false);
    }
    QSettings ini(dir.filePath(QStringLiteral("Settings.ini")), QSettings::IniFormat);
    QVERIFY(!ini.value(QStringLiteral("mainWindow/Geometry")).toByteArray().isEmpty());
    QVERIFY(!ini.value(QStringLiteral("mainWindow/DockingState")).toByteArray().isEmpty());
    QVERIFY(dir.read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Aux_Register_Tab>False<")));

    MainWindow again;
    again.show();
    QVERIFY(again.docks()->auxHoldings->isClosed());
    QVERIFY(again.docks()->addressTable->isClosed());  // not a settings flag: the dock layout
    QVERIFY(!again.docks()->inputRegisters->isClosed());
}

void GuiWindowTest::configDialogRoundTrip() {
    GuiWorkDir dir;
    MainWindow window;
    window.toolBars()->configuration->trigger();
    config *dialog = guitest::topLevel<config>();
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("ed_time"))->text(), QStringLiteral("100"));
    QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("cmbSpeed"))->currentText(),
             QStringLiteral("115200 bps"));
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("edit_xml_inv"))->text(), guitest::exampleMap());
    QCOMPARE(dialog->size(), QSize(920, 190));

    dialog->findChild<QLineEdit *>(QStringLiteral("ed_time"))->setText(QStringLiteral("50"));
    dialog->findChild<QComboBox *>(QStringLiteral("cmbSpeed"))->setCurrentIndex(1);
    dialog->findChild<QComboBox *>(QStringLiteral("cmbConfig"))->setCurrentIndex(2);
    dialog->findChild<QCheckBox *>(QStringLiteral("chk_registrar"))->setChecked(true);
    const QString line = QStringLiteral("postgresql://mvx@127.0.0.1:1/line2");
    dialog->findChild<QLineEdit *>(QStringLiteral("ed_dbUrl"))->setText(line);
    dialog->findChild<QLineEdit *>(QStringLiteral("ed_station"))->setText(QStringLiteral("st3"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    QCOMPARE(window.pollTime(), 50);
    const QString saved = dir.read(QStringLiteral("settings.xml"));
    for (const char *element : {"<Poll_Interval>50<", "<Modbus_Speed>19200<", "<Modbus_Config>2<",
                                "<Do_Logging>True<", "<Log_Dir>log<"}) {
        QVERIFY2(saved.contains(QLatin1String(element)), element);
    }
    QVERIFY(window.worker() != nullptr);
    // The results database lives beside the window state, not among the settings.
    QVERIFY(!saved.contains(QStringLiteral("postgresql")));
    QCOMPARE(RecordsSettings::load().url, line);
    QCOMPARE(window.testPanel()->recorder()->target().database.url(), line);
    QCOMPARE(window.testPanel()->recorder()->target().station, QStringLiteral("st3"));
}

void GuiWindowTest::configDialogEdgeCases() {
    config dialog;
    QSignalSpy spy(&dialog, &config::change_config);
    dialog.setTime(250);
    dialog.setSpeed(4800);
    dialog.setLogging(true);
    auto *time = dialog.findChild<QLineEdit *>(QStringLiteral("ed_time"));
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("cmbSpeed"))->currentText(),
             QStringLiteral("9600 bps"));
    time->setText(QStringLiteral("fast"));
    emit time->editingFinished();
    dialog.findChild<QCheckBox *>(QStringLiteral("chk_registrar"))->setChecked(false);
    QVERIFY(!dialog.findChild<QLineEdit *>(QStringLiteral("ed_logDir"))->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("btn_SelectLogDir"))->isEnabled());
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][2].toBool(), false);
    QCOMPARE(spy[0][3].toInt(), 250);   // letters keep the previous time
    QCOMPARE(spy[0][4].toInt(), 4800);  // the stored speed is handed back untouched
    QCOMPARE(config::relativeToWorkingDir(QDir::current().filePath(QStringLiteral("logs"))),
             QStringLiteral("logs"));
    QCOMPARE(config::relativeToWorkingDir(QDir::current().absoluteFilePath(QStringLiteral("../map.xml"))),
             QStringLiteral("../map.xml"));
}

QTEST_MAIN(GuiWindowTest)
#include "tst_gui_window.moc"
