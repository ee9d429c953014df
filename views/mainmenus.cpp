#include "views/mainmenus.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "views/uilanguage.h"

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
    QMenu *menu = m_window->menuBar()->addMenu(tr("&File"));
    menu->addAction(twinOf(sources.openFile, tr("&Open parameter file..."), QKeySequence::Open));
    menu->addAction(twinOf(sources.saveFile, tr("&Save parameters..."), QKeySequence::Save));
    menu->addSeparator();
    menu->addAction(twinOf(sources.openDataLog, tr("Open &data log...")));
    QMenu *exports = menu->addMenu(tr("&Export Time Graph"));
    exports->addActions(sources.graphExports.toList());
    menu->addSeparator();
    quit = ownAction(QStringLiteral("actionQuit"), tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    menu->addAction(quit);
}

void MainMenus::buildViewMenu(const Sources &sources) {
    QMenu *menu = m_window->menuBar()->addMenu(tr("&View"));
    m_viewMenu = menu;
    for (QAction *toggle : sources.dockToggles) {
        menu->addAction(toggle);
    }
    menu->addSeparator();
    resetLayout = ownAction(QStringLiteral("actionResetLayout"), tr("&Reset layout"), QKeySequence());
    resetLayout->setStatusTip(tr("Put every panel back where it was at the first start"));
    menu->addAction(resetLayout);
}

void MainMenus::addLanguageMenu(const QString &currentCode) {
    QMenu *menu = m_viewMenu->addMenu(tr("&Language (takes effect after a restart)"));
    menu->setObjectName(QStringLiteral("menuLanguage"));
    auto *group = new QActionGroup(menu);
    const QVector<uilanguage::Choice> choices = uilanguage::available();
    const bool knownCode = std::any_of(choices.begin(), choices.end(),
                                       [&](const uilanguage::Choice &c) { return c.code == currentCode; });
    for (const uilanguage::Choice &choice : choices) {
        QAction *action = menu->addAction(choice.name);
        action->setObjectName(QStringLiteral("actionLanguage_") +
                              (choice.code.isEmpty() ? QStringLiteral("asBuilt") : choice.code));
        action->setCheckable(true);
        action->setChecked(knownCode ? choice.code == currentCode : choice.code.isEmpty());
        group->addAction(action);
        const QString code = choice.code;
        connect(action, &QAction::triggered, this, [this, code] { emit languageChosen(code); });
    }
}

void MainMenus::buildDriveMenu(const Sources &sources) {
    QMenu *menu = m_window->menuBar()->addMenu(tr("&Drive"));
    menu->addAction(twinOf(sources.connectPort, tr("&Connect"), QKeySequence(Qt::CTRL | Qt::Key_K)));
    menu->addAction(twinOf(sources.refreshList, tr("&Refresh port list")));
    menu->addAction(twinOf(sources.searchButton, tr("&Search addresses")));
    menu->addAction(twinOf(sources.password, tr("&Access level...")));
    menu->addSeparator();
    menu->addAction(twinOf(sources.flashFirmware, tr("&Flash firmware...")));
    menu->addAction(twinOf(sources.configuration, tr("C&onfiguration...")));
}

void MainMenus::buildHelpMenu() {
    QMenu *menu = m_window->menuBar()->addMenu(tr("&Help"));
    userGuide = ownAction(QStringLiteral("actionUserGuide"), tr("&User guide"), QKeySequence::HelpContents);
    menu->addAction(userGuide);
    about = ownAction(QStringLiteral("actionAbout"), tr("&About"), QKeySequence());
    menu->addAction(about);
}
