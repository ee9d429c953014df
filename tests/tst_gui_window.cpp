#include <qtadvanceddocking/DockWidget.h>
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

namespace {

template <typename T>
T *child(const QObject *parent, const char *name) {
    return parent->findChild<T *>(QLatin1String(name));
}

// Picks entry from the log area's context menu once it opens; returns the menu's entries.
QStringList pickFromLogMenu(LogArea *log, const QString &entry) {
    QStringList texts;
    QTimer::singleShot(0, [entry, &texts] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (QAction *action : menu->actions()) {
            texts << action->text();
            if (action->text() == entry) {
                menu->setActiveAction(action);
            }
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    log->onRightButtonTestInfo(QPoint(5, 5));
    return texts;
}

}  // namespace

// The window's own behaviour without a drive: start-up, state files, log area, address field
// and the dialogs.
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

        struct Typed {
            const char *typed, *shown, *label;
            int address;
        };
        for (const Typed &t : {Typed{"0", "0", "Broadcast address! will not reply!", 0},
                               Typed{"17", "17", "", 17}, Typed{"300", "1", "", 1}}) {
            bars->addressEdit->clear();
            QTest::keyClicks(bars->addressEdit, QLatin1String(t.typed));
            QTest::keyClick(bars->addressEdit, Qt::Key_Return);
            QCOMPARE(bars->addressEdit->text(), QLatin1String(t.shown));
            QCOMPARE(bars->broadcastLabel->text(), QLatin1String(t.label));
            QCOMPARE(window.serverAddress(), t.address);
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
        QTest::qWait(200);
        QVERIFY(!window.isPortConnected());
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
        QCOMPARE(spy[0][2].toBool(), false);
        QCOMPARE(spy[0][3].toInt(), 250);   // letters keep the previous time
        QCOMPARE(spy[0][4].toInt(), 4800);  // the stored speed is handed back untouched
        QCOMPARE(config::relativeToWorkingDir(QDir::current().filePath(QStringLiteral("logs"))),
                 QStringLiteral("logs"));
        QCOMPARE(config::relativeToWorkingDir(QDir::current().absoluteFilePath(QStringLiteral("../map.xml"))),
                 QStringLiteral("../map.xml"));
    }
};

QTEST_MAIN(GuiWindowTest)
#include "tst_gui_window.moc"
