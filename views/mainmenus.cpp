#include "views/mainmenus.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(QMainWindow *window) : QObject(window), m_window(window) {}

void MainMenus::build(const Sources &sources) {
    buildFileMenu(sources);
    buildViewMenu(sources);
    buildDriveMenu(sources);
    buildHelpMenu();
}

QAction *MainMenus::twinOf(QAction *original, const QString &text, const QKeySequence &key) {
    auto *twin = new QAction(original->icon(), text, m_window);
    twin->setObjectName(original->objectName() + QStringLiteral("Menu"));
    twin->setCheckable(original->isCheckable());
    twin->setShortcut(key);
    twin->setStatusTip(original->statusTip());
    auto mirror = [twin, original] {
        twin->setEnabled(original->isEnabled());
        twin->setChecked(original->isChecked());
    };
    mirror();
    connect(original, &QAction::changed, twin, mirror);
    // The toolbar action does the work; choosing the entry is pressing the toolbar button.
    connect(twin, &QAction::triggered, original, &QAction::trigger);
    m_twins.append(Twin{twin, original});
    return twin;
}

QAction *MainMenus::twinOf(QAbstractButton *original, const QString &text) {
    auto *twin = new QAction(text, m_window);
    twin->setObjectName(original->objectName() + QStringLiteral("Menu"));
    connect(twin, &QAction::triggered, original, &QAbstractButton::click);
    m_twins.append(Twin{twin, original});
    return twin;
}

QAction *MainMenus::ownAction(const QString &objectName, const QString &text, const QKeySequence &key) {
    auto *action = new QAction(text, m_window);
    action->setObjectName(objectName);
    action->setShortcut(key);
    return action;
}

void MainMenus::buildFileMenu(const Sources &sources) {
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("&File"));
    menu->addAction(twinOf(sources.openFile, QStringLiteral("&Open parameter file..."), QKeySequence::Open));
    menu->addAction(twinOf(sources.saveFile, QStringLiteral("&Save parameters..."), QKeySequence::Save));
    menu->addSeparator();
    menu->addAction(twinOf(sources.openDataLog, QStringLiteral("Open &data log...")));
    QMenu *exports = menu->addMenu(QStringLiteral("&Export Time Graph"));
    exports->addActions(sources.graphExports.toList());
    menu->addSeparator();
    quit =
        ownAction(QStringLiteral("actionQuit"), QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    menu->addAction(quit);
}

void MainMenus::buildViewMenu(const Sources &sources) {
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("&View"));
    for (QAction *toggle : sources.dockToggles) {
        menu->addAction(toggle);
    }
    menu->addSeparator();
    resetLayout =
        ownAction(QStringLiteral("actionResetLayout"), QStringLiteral("&Reset layout"), QKeySequence());
    resetLayout->setStatusTip(QStringLiteral("Put every panel back where it was at the first start"));
    menu->addAction(resetLayout);
}

void MainMenus::buildDriveMenu(const Sources &sources) {
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("&Drive"));
    menu->addAction(
        twinOf(sources.connectPort, QStringLiteral("&Connect"), QKeySequence(Qt::CTRL | Qt::Key_K)));
    menu->addAction(twinOf(sources.refreshList, QStringLiteral("&Refresh port list")));
    menu->addAction(twinOf(sources.searchButton, QStringLiteral("&Search addresses")));
    menu->addAction(twinOf(sources.password, QStringLiteral("&Access level...")));
    menu->addSeparator();
    menu->addAction(twinOf(sources.flashFirmware, QStringLiteral("&Flash firmware...")));
    menu->addAction(twinOf(sources.configuration, QStringLiteral("C&onfiguration...")));
}

void MainMenus::buildHelpMenu() {
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("&Help"));
    userGuide = ownAction(QStringLiteral("actionUserGuide"), QStringLiteral("&User guide"),
                          QKeySequence::HelpContents);
    menu->addAction(userGuide);
    about = ownAction(QStringLiteral("actionAbout"), QStringLiteral("&About"), QKeySequence());
    menu->addAction(about);
}
