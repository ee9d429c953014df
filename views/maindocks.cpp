#include "views/maindocks.h"

#include <qtadvanceddocking/DockAreaTitleBar.h>
#include <qtadvanceddocking/DockAreaWidget.h>
#include <qtadvanceddocking/DockManager.h>
#include <qtadvanceddocking/DockWidget.h>
#include <qtadvanceddocking/DockWidgetTab.h>
#include <QMainWindow>
#include <QSplitter>

namespace {
// Dock area frame, tab bar margins and splitter handle around a dock's content.
const int kAreaFrames = 24;
// Height the plot gets above its own minimum before the log below it grows.
const int kPlotRoom = 220;
const int kLowestLogHeight = 80;
// Dock area frame and splitter handle above and below a dock's content.
const int kAreaHeightFrames = 8;
// Width at which the Secondary Graph's axes and its trace selectors can be read.
const int kSecondaryReadable = 280;
// Width the Time Graph's plot gets above its minimum before the holdings widen the tables.
const int kPlotSpareWidth = 150;

QSplitter *horizontalSplitterAbove(QWidget *widget) {
    for (QWidget *up = widget; up != nullptr; up = up->parentWidget()) {
        auto *splitter = qobject_cast<QSplitter *>(up->parentWidget());
        if (splitter != nullptr && splitter->orientation() == Qt::Horizontal) {
            return splitter;
        }
    }
    return nullptr;
}
}  // namespace

MainDocks::MainDocks(QMainWindow *window) : QObject(window) {
    ads::CDockManager::setConfigFlag(ads::CDockManager::OpaqueSplitterResize, true);
    ads::CDockManager::setConfigFlag(ads::CDockManager::XmlCompressionEnabled, false);
    ads::CDockManager::setConfigFlag(ads::CDockManager::FocusHighlighting, true);
    manager = new ads::CDockManager(window);
    manager->setObjectName(QStringLiteral("dockManager"));
}

// The object name stays the title as built: the saved layout finds the docks by it.
ads::CDockWidget *MainDocks::newDock(const char *title, QWidget *content) {
    auto *dock = new ads::CDockWidget(tr(title));
    dock->setObjectName(QString::fromUtf8(title));
    dock->setWidget(content);
    return dock;
}

void MainDocks::create(const Contents &contents) {
    inputRegisters = newDock(QT_TR_NOOP("Input registers"), contents.inputRegisters);
    inputRegisters->resize(350, 150);
    inputRegisters->setMinimumSize(300, 150);
    holdingSections = newDock(QT_TR_NOOP("Holding Registers"), contents.holdingSections);
    // Also without a map: empty tables keep a size that reads as a table.
    holdingSections->setMinimumSize(300, 150);
    coils = newDock(QT_TR_NOOP("Coils"), contents.coils);
    discreteInputs = newDock(QT_TR_NOOP("Discrete inputs"), contents.discreteInputs);
    auxHoldings = newDock(QT_TR_NOOP("Auxiliar holdings"), contents.auxHoldings);
    addressTable = newDock(QT_TR_NOOP("Address table"), contents.addressTable);
    busOverview = newDock(QT_TR_NOOP("Bus overview"), contents.busOverview);
    information = newDock(QT_TR_NOOP("Information"), contents.information);
    testSteps = newDock(QT_TR_NOOP("Test steps"), contents.testSteps);
    secondaryGraph = newDock(QT_TR_NOOP("Secondary Graph"), contents.secondaryGraph);
    timeGraph = newDock(QT_TR_NOOP("Time Graph"), contents.timeGraph);
    timeGraph->setFeature(ads::CDockWidget::DockWidgetClosable, false);
    flatHoldings = newDock(QT_TR_NOOP("Holding registers"), contents.flatHoldings);
    flatHoldings->setParent(manager);
    // Never added to an area: its tab would otherwise have no parent and never be freed.
    flatHoldings->tabWidget()->setParent(flatHoldings);
    flatHoldings->hide();

    // Left column: the input registers above the holdings and their smaller companions as
    // tabs. Right: the graphs side by side above the log, the address search and test steps.
    ads::CDockAreaWidget *inputs = manager->addDockWidget(ads::LeftDockWidgetArea, inputRegisters);
    ads::CDockAreaWidget *holdings =
        manager->addDockWidget(ads::BottomDockWidgetArea, holdingSections, inputs);
    manager->addDockWidgetTabToArea(coils, holdings);
    manager->addDockWidgetTabToArea(discreteInputs, holdings);
    manager->addDockWidgetTabToArea(auxHoldings, holdings);
    ads::CDockAreaWidget *graphs = manager->addDockWidget(ads::RightDockWidgetArea, secondaryGraph);
    ads::CDockAreaWidget *log = manager->addDockWidget(ads::BottomDockWidgetArea, information, graphs);
    manager->addDockWidgetTabToArea(addressTable, log);
    manager->addDockWidgetTabToArea(busOverview, log);
    manager->addDockWidgetTabToArea(testSteps, log);
}

void MainDocks::placeHoldingSections() {
    holdingSections->resize(250, 350);
}

void MainDocks::placeTimeGraph() {
    manager->addDockWidget(ads::RightDockWidgetArea, timeGraph, secondaryGraph->dockAreaWidget());
}

void MainDocks::setDefaultProportions(const QSize &window) {
    // The splitters scale these to the manager's size; they are worked out for the window's.
    // The input registers always fit; the holdings too when the Time Graph keeps its minimum
    // and the Secondary Graph stays readable.
    const int inputWidth = inputRegisters->widget()->sizeHint().width() + kAreaFrames;
    const int holdingWidth = holdingSections->widget()->sizeHint().width() + kAreaFrames;
    const int timeMinimum = timeGraph->widget()->minimumSizeHint().width() + kAreaFrames;
    const ads::CDockAreaWidget *secondaryArea = secondaryGraph->dockAreaWidget();
    const int secondaryMinimum =
        qMax(kSecondaryReadable, secondaryArea != nullptr ? secondaryArea->minimumSizeHint().width() : 0);
    // Every value whole comes first. When the tables, the Time Graph and a readable Secondary
    // Graph do not fit side by side, the Secondary Graph waits as a tab behind the Time Graph.
    const int tablesWidth = qMax(inputWidth, qMin(holdingWidth, window.width() - timeMinimum - kAreaFrames));
    if (window.width() < tablesWidth + timeMinimum + secondaryMinimum + kAreaFrames) {
        manager->addDockWidgetTabToArea(secondaryGraph, timeGraph->dockAreaWidget());
    }
    const int graphsWidth = qMax(window.width() - tablesWidth, 1);
    if (ads::CDockAreaWidget *inputs = inputRegisters->dockAreaWidget()) {
        manager->setSplitterSizes(inputs, {window.height() * 55 / 100, window.height() * 45 / 100});
    }
    if (ads::CDockAreaWidget *log = information->dockAreaWidget()) {
        // On a low window the log gives way first: the Time Graph keeps its control row and
        // a plot worth reading.
        const int graphsNeed = timeGraph->widget()->sizeHint().height() + kPlotRoom + kAreaFrames;
        const int graphsHeight =
            qMin(qMax(window.height() * 75 / 100, graphsNeed), window.height() - kLowestLogHeight);
        manager->setSplitterSizes(log, {graphsHeight, window.height() - graphsHeight});
        // A log area too low for the overview's drives: the Bus overview waits as a tab behind
        // the Time Graph, where its rows and columns have room.
        const int overviewNeed = log->titleBar()->sizeHint().height() +
                                 busOverview->widget()->minimumSizeHint().height() + kAreaHeightFrames;
        if (window.height() - graphsHeight < overviewNeed) {
            manager->addDockWidgetTabToArea(busOverview, timeGraph->dockAreaWidget());
        }
    }
    if (ads::CDockAreaWidget *time = timeGraph->dockAreaWidget(); time != secondaryGraph->dockAreaWidget()) {
        // The Time Graph gets what its plot and control row need; the Secondary Graph the rest.
        const int needed = timeGraph->widget()->minimumSizeHint().width() + kAreaFrames;
        const int wanted = qMax(graphsWidth * 60 / 100, needed + kPlotSpareWidth);
        const int timeWidth = qMax(needed, qMin(graphsWidth - secondaryMinimum, wanted));
        manager->setSplitterSizes(time, {qMax(graphsWidth - timeWidth, 1), timeWidth});
    }
    for (ads::CDockWidget *front : {holdingSections, information, timeGraph}) {
        if (front->dockAreaWidget() != nullptr && !front->isClosed()) {
            front->dockAreaWidget()->setCurrentDockWidget(front);
        }
    }
    // The outer splitter: the table column beside everything else.
    if (QSplitter *outer = horizontalSplitterAbove(inputRegisters->dockAreaWidget())) {
        if (outer->count() == 2) {
            outer->setSizes({tablesWidth, graphsWidth});
        }
    }
}

void MainDocks::discard(ads::CDockWidget *&dock) {
    if (dock == nullptr) {
        return;
    }
    dock->closeDockWidget();
    manager->removeDockWidget(dock);
    dock->deleteLater();
    dock = nullptr;
}

bool isDockShown(const ads::CDockWidget *dock) {
    return dock != nullptr && !dock->isClosed();
}
