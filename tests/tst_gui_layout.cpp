#include <qtadvanceddocking/DockAreaWidget.h>
#include <qtadvanceddocking/DockManager.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "app/firstgeometry.h"
#include "app/mainwindow.h"
#include "config/configdialog.h"
#include "map/registertooltip.h"
#include "params/passwindow.h"
#include "support/guiworkdir.h"
#include "views/busoverviewpanel.h"
#include "views/buswatch.h"
#include "views/connectionstatuswidget.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/mainmenus.h"
#include "views/maintoolbars.h"
#include "views/ramparamtable.h"
#include "views/registertables.h"
#include "views/section.h"
#include "views/testpanel.h"
#include "views/teststeptable.h"
#include "views/timegraphpanel.h"

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

// A status-bar message is read whole: the permanent fields make room while it shows.
bool messageHasRoom(MainWindow &window, const QString &message) {
    const QWidget *first = window.testPanel()->statsLabel();
    return window.statusBar()->fontMetrics().horizontalAdvance(message) <= first->x() - 2 - 6;
}

// Where `widget` can be seen, in its window's coordinates: its rectangle clipped by every parent.
QRect visiblePart(const QWidget *widget) {
    QRect rect = widget->rect();
    for (const QWidget *w = widget; !w->isWindow(); w = w->parentWidget()) {
        rect = rect.translated(w->pos()) & w->parentWidget()->rect();
    }
    return rect;
}

// The cells of `table` that are in sight but cut: not all of their width visible, or their text
// (a list's choice) wider than the cell.
QStringList cutCells(const QTableWidget *table) {
    QStringList cut;
    const QWidget *viewport = table->viewport();
    const QRect visible = visiblePart(viewport);
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem *cell = table->item(row, column);
            const QRect rect = table->visualRect(table->model()->index(row, column));
            const QRect placed(viewport->mapTo(viewport->window(), rect.topLeft()), rect.size());
            if (!viewport->isVisible() || table->isRowHidden(row) || placed.bottom() < visible.top() ||
                placed.top() > visible.bottom() || placed.height() <= 1) {
                continue;  // out of sight
            }
            int needed = 0;
            QString text;
            if (const auto *combo = qobject_cast<const QComboBox *>(table->cellWidget(row, column))) {
                text = combo->currentText();
                needed = combo->sizeHint().width();
            } else if (cell != nullptr && table->cellWidget(row, column) == nullptr) {
                text = cell->text();
                const QFont font = cell->data(Qt::FontRole).isValid() ? cell->font() : table->font();
                needed = text.isEmpty() ? 0 : QFontMetrics(font).horizontalAdvance(text) + margins;
            }
            if (placed.left() < visible.left() || placed.right() > visible.right() || needed > rect.width()) {
                cut << QStringLiteral("%1 %2,%3 \"%4\"")
                           .arg(table->objectName())
                           .arg(row)
                           .arg(column)
                           .arg(text);
            }
        }
    }
    return cut;
}

// The rows of `table` whose whole height is in sight.
int rowsInSight(const QTableWidget *table) {
    const QWidget *viewport = table->viewport();
    const QRect visible = visiblePart(viewport);
    int count = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QRect rect = table->visualRect(table->model()->index(row, 0));
        const QRect placed(viewport->mapTo(viewport->window(), rect.topLeft()), rect.size());
        if (viewport->isVisible() && placed.top() >= visible.top() && placed.bottom() <= visible.bottom()) {
            ++count;
        }
    }
    return count;
}

// Every holding section open, as a user reading them all would have them.
void openSections(HoldingSections *sections) {
    for (ui::Section *section : sections->sections()) {
        section->toggleButton()->setChecked(true);
    }
    for (ui::Section *section : sections->sections()) {
        const QScrollArea *content = section->contentArea();
        QTRY_COMPARE(content->height(), content->layout()->sizeHint().height());
    }
}

// Steps with long names and wide numbers, as a production test reports them.
void fillTestSteps(TestStepTable *steps) {
    const QTime at(12, 40, 31);
    steps->showResult(0, QStringLiteral("Numero de serie:"), 0, 0, 0, 0, at);
    steps->showResult(1, QStringLiteral("Temperatura radiador tras la rampa"), -12345.5f, -30000, 65535, -1,
                      at);
    steps->showResult(2, QStringLiteral("Corriente fase U"), 13.75f, 0.125f, 99999, 1, at);
}

bool newestLineShown(const QTextEdit *log) {
    QTextCursor end(log->document());
    end.movePosition(QTextCursor::End);
    return log->viewport()->rect().contains(log->cursorRect(end));
}

bool coversMostOf(const QRect &available, const QRect &placed) {
    return placed.width() * placed.height() >= available.width() * available.height() * 85 / 100;
}

}  // namespace

// What a newcomer sees on the first start: size, layout, the connection group, menus, status.
class GuiLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    // The offscreen platform's own font is 12 points, a third wider than a desktop's 9: the sizes
    // below are checked with the text a user of that screen sees.
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9)); }

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
        fillTestSteps(window.testPanel()->table());
        for (const QSize &size : {QSize(1366, 768), QSize(1920, 1080)}) {
            showAt(window, size);
            // Side by side where both fit beside whole tables; on a small screen a tab behind the Time Graph.
            const bool sideBySide =
                docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget();
            QCOMPARE(sideBySide, size.width() > 1366);
            QVERIFY(!docks.timeGraph->isClosed() && !docks.secondaryGraph->isClosed());
            QVERIFY(docks.timeGraph->isCurrentTab());
            // Every value shows whole with its unit: inputs, holdings, RAM parameters, test steps.
            openSections(window.tables()->holdingSections());
            QVector<const QTableWidget *> tables{window.tables()->inputRegisters(),
                                                 window.timeGraph()->ramParams()};
            for (const QTableWidget *section : window.tables()->holdingSections()->tables()) {
                tables << section;
            }
            QStringList cut;
            for (const QTableWidget *table : tables) {
                cut += cutCells(table);
            }
            docks.testSteps->setAsCurrentTab();
            QCoreApplication::processEvents();
            cut += cutCells(window.testPanel()->table());
            QVERIFY2(cut.isEmpty(), qPrintable(QString::number(size.width()) + ": " + cut.join(", ")));
            // The Bus overview, brought to the front, shows three drives whole under its header:
            // beside the log where that is high enough, else as a tab behind the Time Graph.
            const bool besideTheLog =
                docks.busOverview->dockAreaWidget() == docks.information->dockAreaWidget();
            QCOMPARE(besideTheLog, size.height() > 768);
            window.busWatch()->setPollList({1, 2, 3});
            docks.busOverview->setAsCurrentTab();
            QCoreApplication::processEvents();
            const QTableWidget *overview = window.busOverview()->table();
            QCOMPARE(rowsInSight(overview), 3);
            QVERIFY2(cutCells(overview).isEmpty(), qPrintable(cutCells(overview).join(", ")));
            docks.timeGraph->setAsCurrentTab();
            // The Time Graph shows its axes and control row without scrolling.
            QWidget *timeGraph = docks.timeGraph->widget();
            QVERIFY(timeGraph->parentWidget()->width() >= timeGraph->minimumSizeHint().width());
            // A message in the status bar is read whole: the day's figures make room while it shows.
            const QString message =
                QStringLiteral("[07/12/2026 - 12:40:31.356] Not connected: the value was not written");
            for (const QString &message :
                 {QStringLiteral("[07/12/2026 - 12:40:31.356] Not connected: the value was not written"),
                  QStringLiteral("[07/12/2026 - 12:40:31.356] Potencia nominal: 99999 is above the "
                                 "maximum 2000, the value was not written")}) {
                window.statusBar()->showMessage(message);
                QTRY_VERIFY2(messageHasRoom(window, message), qPrintable(message));
                window.statusBar()->clearMessage();
                QCOMPARE(window.testPanel()->statsLabel()->maximumWidth(), QWIDGETSIZE_MAX);
                QCOMPARE(window.connectionStatus()->maximumWidth(), QWIDGETSIZE_MAX);
            }
        }
        // The log area's colours are not read out in the status bar.
        window.showStatus(false, true, false,
                          QStringLiteral("<font color='orange'>Serial number 7 was tested before</font>"));
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Serial number 7 was tested before"));
        // A moved dock comes back with Reset layout, and the log area goes on showing its newest line.
        docks.manager->addDockWidgetTabToArea(docks.timeGraph, docks.secondaryGraph->dockAreaWidget());
        for (int line = 0; line < 60; ++line) {
            window.showStatus(false, false, true, QStringLiteral("line %1 before the reset").arg(line));
        }
        window.menus()->resetLayout->trigger();
        QVERIFY(docks.timeGraph->dockAreaWidget() != docks.secondaryGraph->dockAreaWidget());
        QCoreApplication::processEvents();
        window.showStatus(false, false, true, QStringLiteral("the newest line"));
        QTRY_VERIFY(newestLineShown(window.logArea()));

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
        configuration.show();
        QCoreApplication::processEvents();
        // Laid out, not placed: the records group has a row of its own below the map's field.
        const QWidget *records = configuration.findChild<QWidget *>(QStringLiteral("grp_records"));
        for (const char *field : {"lab_xmlInv", "edit_xml_inv", "btn_SelectXML"}) {
            QVERIFY2(!records->geometry().intersects(configuration.findChild<QWidget *>(field)->geometry()),
                     field);
        }
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
