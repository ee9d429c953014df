#include "views/maindocks.h"

#include <qtadvanceddocking/DockAreaWidget.h>
#include <qtadvanceddocking/DockManager.h>
#include <qtadvanceddocking/DockWidget.h>
#include <qtadvanceddocking/DockWidgetTab.h>
#include <QMainWindow>
#include <algorithm>

MainDocks::MainDocks(QMainWindow *window) : QObject(window) {
    ads::CDockManager::setConfigFlag(ads::CDockManager::OpaqueSplitterResize, true);
    ads::CDockManager::setConfigFlag(ads::CDockManager::XmlCompressionEnabled, false);
    ads::CDockManager::setConfigFlag(ads::CDockManager::FocusHighlighting, true);
    manager = new ads::CDockManager(window);
    manager->setObjectName(QStringLiteral("dockManager"));
}

ads::CDockWidget *MainDocks::newDock(const QString &title, QWidget *content) {
    auto *dock = new ads::CDockWidget(title);
    dock->setObjectName(title);
    dock->setWidget(content);
    return dock;
}

void MainDocks::addLeft(ads::CDockWidget *dock) {
    manager->addDockWidget(ads::LeftDockWidgetArea, dock);
}

void MainDocks::create(const Contents &contents) {
    inputRegisters = newDock(QStringLiteral("Input registers"), contents.inputRegisters);
    inputRegisters->resize(350, 150);
    inputRegisters->setMinimumSize(300, 150);
    holdingSections = newDock(QStringLiteral("Holding Registers"), contents.holdingSections);
    coils = newDock(QStringLiteral("Coils"), contents.coils);
    discreteInputs = newDock(QStringLiteral("Discrete inputs"), contents.discreteInputs);
    auxHoldings = newDock(QStringLiteral("Auxiliar holdings"), contents.auxHoldings);
    addressTable = newDock(QStringLiteral("Address table"), contents.addressTable);
    information = newDock(QStringLiteral("Information"), contents.information);
    testSteps = newDock(QStringLiteral("Test steps"), contents.testSteps);
    secondaryGraph = newDock(QStringLiteral("Secondary Graph"), contents.secondaryGraph);
    timeGraph = newDock(QStringLiteral("Time Graph"), contents.timeGraph);
    timeGraph->setFeature(ads::CDockWidget::DockWidgetClosable, false);
    flatHoldings = newDock(QStringLiteral("Holding registers"), contents.flatHoldings);
    flatHoldings->setParent(manager);
    // Never added to an area: its tab would otherwise have no parent and never be freed.
    flatHoldings->tabWidget()->setParent(flatHoldings);
    flatHoldings->hide();

    // Left to right: holdings, input registers, the smaller tables as tabs; the log below;
    // the graphs on the right.
    addLeft(inputRegisters);
    addLeft(holdingSections);
    ads::CDockAreaWidget *tables =
        manager->addDockWidget(ads::RightDockWidgetArea, coils, inputRegisters->dockAreaWidget());
    manager->addDockWidgetTabToArea(discreteInputs, tables);
    manager->addDockWidgetTabToArea(auxHoldings, tables);
    manager->addDockWidgetTabToArea(addressTable, tables);
    manager->addDockWidget(ads::BottomDockWidgetArea, information);
    manager->addDockWidgetTabToArea(testSteps, tables);
    manager->addDockWidget(ads::RightDockWidgetArea, secondaryGraph);
}

void MainDocks::placeHoldingSections() {
    holdingSections->resize(250, 350);
    holdingSections->setMinimumSize(200, 350);
}

void MainDocks::placeTimeGraph() {
    manager->addDockWidgetTabToArea(timeGraph, secondaryGraph->dockAreaWidget());
    timeGraph->dockAreaWidget()->setCurrentDockWidget(timeGraph);
}

void MainDocks::setDefaultProportions() {
    // The splitters scale these to the window's size; only their ratios matter.
    if (ads::CDockAreaWidget *tables = auxHoldings->dockAreaWidget()) {
        manager->setSplitterSizes(tables, {
                                              holdingSections->widget()->sizeHint().width(),
                                              inputRegisters->widget()->sizeHint().width(),
                                              350,
                                          });
    }
    if (ads::CDockAreaWidget *log = information->dockAreaWidget()) {
        manager->setSplitterSizes(log, {700, 250});
    }
    if (ads::CDockAreaWidget *graphs = timeGraph->dockAreaWidget()) {
        // Narrower than its plot and control row, the Time Graph scrolls and hides its right
        // axes and newest samples. It gets that width on a 1600-pixel screen, the narrowest the
        // layout is made for, as long as the tables keep most of theirs.
        const int designWidth = 1600;
        const int frames = 40;  // dock area, tab bar and scroll-area borders
        const int needed = timeGraph->widget()->minimumSizeHint().width() + frames;
        const int graphWidth = std::min(needed, designWidth * 55 / 100);
        manager->setSplitterSizes(graphs, {designWidth - graphWidth, graphWidth});
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
