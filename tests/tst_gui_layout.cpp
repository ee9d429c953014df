#include <qtadvanceddocking/DockAreaWidget.h>
#include <qtadvanceddocking/DockManager.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "app/firstgeometry.h"
#include "app/mainwindow.h"
#include "config/configdialog.h"
#include "map/registertooltip.h"
#include "params/passwindow.h"
#include "support/guiworkdir.h"
#include "views/connectionstatuswidget.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/maindocks.h"
#include "views/mainmenus.h"
#include "views/maintoolbars.h"
#include "views/registertables.h"
#include "views/testpanel.h"

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

// The status bar paints its message from 6 pixels in to 2 pixels before its first permanent
// widget, the day's figures. Those give up all their width if need be; the connection summary
// after them stays whole (with this platform's fonts a long message can reach it at 1366 pixels).
bool messageHasRoom(MainWindow &window, const QString &message) {
    const QWidget *figures = window.testPanel()->statsLabel();
    const bool fits = window.statusBar()->fontMetrics().horizontalAdvance(message) <= figures->x() - 2 - 6;
    return fits || figures->width() <= 1;
}

bool coversMostOf(const QRect &available, const QRect &placed) {
    return placed.width() * placed.height() >= available.width() * available.height() * 85 / 100;
}

}  // namespace

// What a newcomer sees on the first start: size, layout, the connection group, menus, status.
class GuiLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartGeometry() {
        for (const QRect available :
             {QRect(0, 28, 1366, 740), QRect(0, 0, 1920, 1080), QRect(1920, 0, 3840, 2160)}) {
            const QRect placed = ::firstStartGeometry(available);
            QVERIFY2(available.contains(placed) && coversMostOf(available, placed),
                     qPrintable(QString::number(available.width())));
        }
    }

    // One first start (no Settings.ini), at the screen sizes people use.
    void firstStart() {
        GuiWorkDir dir({guitest::exampleMap(), QStringLiteral("none"), 19200, 7});
        MainWindow window;
        window.show();
        QVERIFY(window.isMaximized());  // and no smaller than most of the screen once the user leaves that
        const QRect available = window.screen()->availableGeometry();
        window.setWindowState(Qt::WindowNoState);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Settings.ini"))));
        QVERIFY(coversMostOf(available, window.geometry()));
        const QString status = window.connectionStatus()->text();
        for (const char *part : {"19200 8N2", "address 7", "disconnected", "none yet", "level unknown"}) {
            QVERIFY2(status.contains(QLatin1String(part)), qPrintable(status));
        }

        showAt(window, QSize(1024, 768));
        const MainToolBars &bars = *window.toolBars();
        const QList<QWidget *> group{bars.commBar->widgetForAction(bars.connectPort), bars.portCombo,
                                     bars.addressEdit, bars.errorCountLabel};
        for (QWidget *shown : group) {
            // Items that do not fit move into the extension menu and leave the bar's own area.
            QVERIFY2(shown && shown->isVisible() && bars.commBar->rect().contains(shown->geometry()),
                     qPrintable(shown ? shown->objectName() : "missing"));
        }

        const MainDocks &docks = *window.docks();
        for (const QSize &size : {QSize(1366, 768), QSize(1920, 1080)}) {
            showAt(window, size);
            QVERIFY(docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget());
            QVERIFY(!docks.timeGraph->isClosed() && !docks.secondaryGraph->isClosed());
            // Values and units show; on a small screen the Time Graph's axes come before the widest holdings.
            QVector<QTableWidget *> tables{window.tables()->inputRegisters()};
            if (size.width() > 1366) {
                tables += window.tables()->holdingSections()->tables();
            }
            for (const QTableWidget *table : tables) {
                for (int column : {1, 2}) {
                    const int right = table->columnViewportPosition(column) + table->columnWidth(column);
                    QVERIFY2(right <= table->viewport()->width(), qPrintable(table->item(0, 0)->text()));
                }
            }
            // The Time Graph shows its axes and control row without scrolling.
            QWidget *timeGraph = docks.timeGraph->widget();
            QVERIFY(timeGraph->parentWidget()->width() >= timeGraph->minimumSizeHint().width());
            // A message in the status bar is read whole: the day's figures make room while it shows.
            const QString message =
                QStringLiteral("[07/12/2026 - 12:40:31.356] Not connected: the value was not written");
            window.statusBar()->showMessage(message);
            QTRY_VERIFY(messageHasRoom(window, message));
            window.statusBar()->clearMessage();
            QCOMPARE(window.testPanel()->statsLabel()->maximumWidth(), QWIDGETSIZE_MAX);
        }
        // A moved dock comes back with Reset layout.
        docks.manager->addDockWidgetTabToArea(docks.timeGraph, docks.secondaryGraph->dockAreaWidget());
        window.menus()->resetLayout->trigger();
        QVERIFY(docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget());

        // A holding row explains itself (register 3 of the example map).
        const holding_t *record = window.registers().holdings[3];
        QCOMPARE(window.tables()->holdingSections()->tables()[record->table]->item(record->row, 1)->toolTip(),
                 registertooltip::forHolding(*record, 3));

        QCOMPARE(window.menus()->twins().size(), 9);
        for (const MainMenus::Twin &twin : window.menus()->twins()) {
            // Only the forwarding is checked here: the handlers behind it open dialogs and ports.
            auto *action = qobject_cast<QAction *>(twin.original);
            if (action) {
                QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
                action->setEnabled(true);
            } else {
                twin.original->disconnect(&window);
            }
            QSignalSpy original(twin.original, action ? SIGNAL(triggered(bool)) : SIGNAL(clicked(bool)));
            QVERIFY2(twin.menuAction->isEnabled(), qPrintable(twin.menuAction->text()));
            twin.menuAction->trigger();
            QCOMPARE(original.count(), 1);
        }
        window.onCOMconnected();
        QVERIFY(window.connectionStatus()->text().contains(QStringLiteral("| connected")));
        window.close();  // hidden while its worker is still there (the address field may hold the focus)
    }

    // Widgets placed by hand must be as wide as their text asks; laid-out ones get it anyway.
    void dialogsFitTheirTexts() {
        config configuration;
        configuration.setLog(QStringLiteral("log"));
        passWindow accessLevel;
        for (QDialog *shown :
             {static_cast<QDialog *>(&configuration), static_cast<QDialog *>(&accessLevel)}) {
            shown->show();
            QCoreApplication::processEvents();
            for (QWidget *child : shown->findChildren<QWidget *>()) {
                if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child) ||
                    qobject_cast<QComboBox *>(child)) {
                    QVERIFY2(
                        child->width() >= child->sizeHint().width() &&
                            (shown->rect().contains(child->geometry()) || child->parentWidget() != shown),
                        qPrintable(child->objectName()));
                }
            }
        }
    }
};

QTEST_MAIN(GuiLayoutTest)
#include "tst_gui_layout.moc"
