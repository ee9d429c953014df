#include <qtadvanceddocking/DockAreaWidget.h>
#include <qtadvanceddocking/DockManager.h>
#include <qtadvanceddocking/DockWidget.h>
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "app/firstgeometry.h"
#include "app/mainwindow.h"
#include "config/configdialog.h"
#include "params/passwindow.h"
#include "support/guiworkdir.h"
#include "views/connectionstatuswidget.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/maindocks.h"
#include "views/mainmenus.h"
#include "views/maintoolbars.h"
#include "views/registertables.h"

namespace {

// The window at a given size with the first start's layout shared out for it.
void showAt(MainWindow &window, const QSize &size) {
    window.setWindowState(Qt::WindowNoState);
    window.show();
    window.resize(size);
    QCoreApplication::processEvents();
    window.menus()->resetLayout->trigger();
    QCoreApplication::processEvents();
}

}  // namespace

// What a newcomer sees on the first start: size, layout, the connection group, menus, status.
class GuiLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartGeometry_data();
    void firstStartGeometry();
    void firstStartCoversMostOfTheScreen();
    void graphsSitSideBySide();
    void connectionGroupNeverOverflows();
    void valuesAndUnitsFit_data();
    void valuesAndUnitsFit();
    void menuEntriesReachTheToolbarHandlers();
    void holdingRowsExplainThemselves();
    void statusBarSummarisesTheLine();
    void dialogsFitTheirTexts_data();
    void dialogsFitTheirTexts();
};

void GuiLayoutTest::firstStartGeometry_data() {
    QTest::addColumn<QRect>("available");
    QTest::newRow("1366x768 under a panel") << QRect(0, 28, 1366, 740);
    QTest::newRow("1920x1080") << QRect(0, 0, 1920, 1080);
    QTest::newRow("second screen at 4K") << QRect(1920, 0, 3840, 2160);
}

void GuiLayoutTest::firstStartGeometry() {
    QFETCH(QRect, available);
    const QRect placed = ::firstStartGeometry(available);
    QVERIFY(available.contains(placed));
    QVERIFY(placed.width() * placed.height() >= available.width() * available.height() * 85 / 100);
}

// Maximised, and no smaller than most of the screen once the user leaves that state.
void GuiLayoutTest::firstStartCoversMostOfTheScreen() {
    GuiWorkDir dir;
    MainWindow window;
    window.show();
    QVERIFY(window.isMaximized());
    const QRect available = window.screen()->availableGeometry();
    window.setWindowState(Qt::WindowNoState);
    const QRect normal = window.geometry();
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Settings.ini"))));
    QVERIFY2(normal.width() * normal.height() >= available.width() * available.height() * 85 / 100,
             qPrintable(QStringLiteral("%1x%2").arg(normal.width()).arg(normal.height())));
}

void GuiLayoutTest::graphsSitSideBySide() {
    GuiWorkDir dir;
    MainWindow window;
    showAt(window, QSize(1366, 768));
    const MainDocks &docks = *window.docks();
    QVERIFY(docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget());
    QVERIFY(!docks.timeGraph->isClosed() && !docks.secondaryGraph->isClosed());
    // A moved dock comes back with Reset layout.
    docks.manager->addDockWidgetTabToArea(docks.timeGraph, docks.secondaryGraph->dockAreaWidget());
    window.menus()->resetLayout->trigger();
    QVERIFY(docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget());
}

void GuiLayoutTest::connectionGroupNeverOverflows() {
    GuiWorkDir dir;
    MainWindow window;
    showAt(window, QSize(1024, 768));
    const MainToolBars &bars = *window.toolBars();
    QWidget *connect = bars.commBar->widgetForAction(bars.connectPort);
    const QList<QWidget *> group{connect, bars.portCombo, bars.addressEdit, bars.errorCountLabel};
    for (QWidget *shown : group) {
        QVERIFY(shown != nullptr);
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
        // Items that do not fit move into the extension menu and leave the bar's own area.
        QVERIFY2(bars.commBar->rect().contains(shown->geometry()), qPrintable(shown->objectName()));
    }
}

void GuiLayoutTest::valuesAndUnitsFit_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("holdingsToo");
    // On a small screen the Time Graph's axes come before the widest holding list.
    QTest::newRow("1366x768: input registers") << QSize(1366, 768) << false;
    QTest::newRow("1920x1080: input and holding registers") << QSize(1920, 1080) << true;
}

void GuiLayoutTest::valuesAndUnitsFit() {
    QFETCH(QSize, size);
    QFETCH(bool, holdingsToo);
    GuiWorkDir dir;
    MainWindow window;
    showAt(window, size);
    QVector<QTableWidget *> tables{window.tables()->inputRegisters()};
    if (holdingsToo) {
        tables += window.tables()->holdingSections()->tables();
    }
    for (const QTableWidget *table : tables) {
        const int viewport = table->viewport()->width();
        for (int column : {1, 2}) {
            const int right = table->columnViewportPosition(column) + table->columnWidth(column);
            QVERIFY2(right <= viewport, qPrintable(table->item(0, 0)->text()));
        }
    }
    // The Time Graph shows its axes and control row without scrolling.
    QWidget *timeGraph = window.docks()->timeGraph->widget();
    const QWidget *scrollViewport = timeGraph->parentWidget();
    QVERIFY2(scrollViewport->width() >= timeGraph->minimumSizeHint().width(),
             qPrintable(QStringLiteral("%1 < %2")
                            .arg(scrollViewport->width())
                            .arg(timeGraph->minimumSizeHint().width())));
}

void GuiLayoutTest::menuEntriesReachTheToolbarHandlers() {
    GuiWorkDir dir;
    MainWindow window;
    QCOMPARE(window.menus()->twins().size(), 9);
    for (const MainMenus::Twin &twin : window.menus()->twins()) {
        // Only the forwarding is checked here: the handlers behind it open dialogs and ports.
        if (auto *action = qobject_cast<QAction *>(twin.original)) {
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            action->setEnabled(true);
        } else {
            twin.original->disconnect(&window);
        }
        const char *signal =
            qobject_cast<QAction *>(twin.original) ? SIGNAL(triggered(bool)) : SIGNAL(clicked(bool));
        QSignalSpy original(twin.original, signal);
        QVERIFY2(twin.menuAction->isEnabled(), qPrintable(twin.menuAction->text()));
        twin.menuAction->trigger();
        QCOMPARE(original.count(), 1);
    }
}

void GuiLayoutTest::holdingRowsExplainThemselves() {
    GuiWorkDir dir;
    MainWindow window;
    // Register 3 of the example map: a speed set-point in rpm.
    const holding_t *record = window.registers().holdings[3];
    const QString tip =
        window.tables()->holdingSections()->tables()[record->table]->item(record->row, 1)->toolTip();
    QVERIFY2(tip.contains(
                 QStringLiteral("Range: %1 .. %2 %3").arg(record->min).arg(record->max).arg(record->unit)),
             qPrintable(tip));
    QVERIFY(tip.contains(QStringLiteral("Address: 0x0003 (3)")));
}

void GuiLayoutTest::statusBarSummarisesTheLine() {
    GuiWorkDir dir({guitest::exampleMap(), QStringLiteral("none"), 19200, 7});
    MainWindow window;
    const QString status = window.connectionStatus()->text();
    for (const char *part : {"19200 8N2", "address 7", "disconnected", "none yet", "level unknown"}) {
        QVERIFY2(status.contains(QLatin1String(part)), qPrintable(status));
    }
    window.onCOMconnected();
    QVERIFY(window.connectionStatus()->text().contains(QStringLiteral("| connected")));
}

void GuiLayoutTest::dialogsFitTheirTexts_data() {
    QTest::addColumn<bool>("configuration");
    QTest::newRow("configuration") << true;
    QTest::newRow("access level") << false;
}

// Widgets placed by hand must be as wide as their text asks; laid-out ones get it anyway.
void GuiLayoutTest::dialogsFitTheirTexts() {
    QFETCH(bool, configuration);
    std::unique_ptr<QDialog> shown;
    if (configuration) {
        auto *dialog = new config();
        dialog->setLog(QStringLiteral("log"));
        shown.reset(dialog);
    } else {
        shown.reset(new passWindow());
    }
    shown->show();
    QCoreApplication::processEvents();
    for (QWidget *child : shown->findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child) ||
            qobject_cast<QComboBox *>(child)) {
            QVERIFY2(child->width() >= child->sizeHint().width(),
                     qPrintable(QStringLiteral("%1: %2 < %3")
                                    .arg(child->objectName())
                                    .arg(child->width())
                                    .arg(child->sizeHint().width())));
            QVERIFY2(shown->rect().contains(child->geometry()) || child->parentWidget() != shown.get(),
                     qPrintable(child->objectName()));
        }
    }
}

QTEST_MAIN(GuiLayoutTest)
#include "tst_gui_layout.moc"
