#include "views/maintoolbars.h"

#include <QAction>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolBar>

#include "views/icons.h"

namespace {

// Server addresses 0..247. Text that can never become one (300, empty) is turned into "1" when
// the user confirms it, so the field never shows an address other than the one in use.
class ServerAddressValidator : public QIntValidator {
  public:
    explicit ServerAddressValidator(QObject *parent) : QIntValidator(0, 247, parent) {}
    void fixup(QString &input) const override { input = QStringLiteral("1"); }
};

}  // namespace

MainToolBars::MainToolBars(QMainWindow *window) : QObject(window), m_window(window) {}

void MainToolBars::build(const QVector<DockToggle> &dockToggles) {
    buildLayoutBar(dockToggles);
    buildFileBar();
    buildCommBar();
}

QAction *MainToolBars::newAction(const QString &objectName, const QString &text, const QString &resourcePath,
                                 const QString &themeName, const QString &statusTip) {
    auto *action = new QAction(themedIcon(themeName, resourcePath), text, m_window);
    action->setObjectName(objectName);
    action->setStatusTip(statusTip);
    action->setToolTip(statusTip);
    return action;
}

void MainToolBars::addSpacer(QToolBar *bar, int width) {
    auto *spacer = new QWidget(bar);
    spacer->setFixedWidth(width);
    bar->addWidget(spacer);
}

void MainToolBars::buildLayoutBar(const QVector<DockToggle> &dockToggles) {
    layoutBar = m_window->addToolBar(tr("Layout"));
    layoutBar->setObjectName(QStringLiteral("toolBarLayout"));
    for (const DockToggle &toggle : dockToggles) {
        toggle.action->setIcon(themedIcon(toggle.themeName, toggle.resourcePath));
        toggle.action->setStatusTip(toggle.statusTip);
        layoutBar->addAction(toggle.action);
    }
}

void MainToolBars::buildFileBar() {
    fileBar = m_window->addToolBar(tr("File"));
    fileBar->setObjectName(QStringLiteral("toolBarFile"));
    openFile =
        newAction(QStringLiteral("actionOpenFile"), tr("Open File"), QStringLiteral(":/img/img/open.png"),
                  QStringLiteral("open"), tr("Open a configuration file to send to the inverter"));
    saveFile = newAction(QStringLiteral("actionSaveFile"), tr("Save File"),
                         QStringLiteral(":/img/img/save.png"), QStringLiteral("save"),
                         tr("Save a configuration file with the current inverter configuration"));
    flashFirmware = newAction(QStringLiteral("actionFlashFirmware"), tr("Flash Firmware"),
                              QStringLiteral(":/img/img/flash.png"), QStringLiteral("config"),
                              tr("Flash firmwar through RS485"));
    fileBar->addAction(openFile);
    fileBar->addAction(saveFile);
    fileBar->addAction(flashFirmware);
}

void MainToolBars::buildCommBar() {
    // The connection group gets a row of its own, so no window width hides it in an overflow menu.
    m_window->addToolBarBreak();
    commBar = m_window->addToolBar(tr("Comm"));
    commBar->setObjectName(QStringLiteral("toolBarComm"));
    configuration = newAction(QStringLiteral("actionConfiguration"), tr("Configuration"),
                              QStringLiteral(":/img/img/config.png"), QStringLiteral("config"),
                              tr("Continuous communication updates"));
    refreshList = newAction(QStringLiteral("actionRefreshList"), tr("Refresh list"),
                            QStringLiteral(":/img/img/update.png"), QStringLiteral("update"),
                            tr("Continuous communication updates"));
    connectPort =
        newAction(QStringLiteral("btnConnect"), tr("Connect"), QStringLiteral(":/img/img/connect.png"),
                  QStringLiteral("connect"), tr("Connect serial port"));
    connectPort->setCheckable(true);
    password = newAction(QStringLiteral("password"), tr("Password"), QStringLiteral(":/img/img/key.png"),
                         QStringLiteral("password"), tr("Change access level"));

    portCombo = new QComboBox(commBar);
    portCombo->setObjectName(QStringLiteral("cmbPort"));
    portCombo->setFixedWidth(400);
    addressEdit = new QLineEdit(QStringLiteral("1"), commBar);
    addressEdit->setObjectName(QStringLiteral("edAddress"));
    addressEdit->setFixedWidth(100);
    addressEdit->setValidator(new ServerAddressValidator(addressEdit));
    broadcastLabel = new QLabel(commBar);
    broadcastLabel->setObjectName(QStringLiteral("labBroadcast"));
    errorCountLabel = new QLabel(tr("Error Count: 0"), commBar);
    errorCountLabel->setObjectName(QStringLiteral("labErrorCount"));

    commBar->addAction(configuration);
    commBar->addAction(refreshList);
    commBar->addWidget(portCombo);
    addSpacer(commBar, 10);
    commBar->addAction(connectPort);
    commBar->addAction(password);
    addSpacer(commBar, 30);
    commBar->addWidget(new QLabel(tr("Address:"), commBar));
    commBar->addWidget(addressEdit);
    addSpacer(commBar, 10);
    commBar->addWidget(broadcastLabel);
    addSpacer(commBar, 30);
    commBar->addWidget(errorCountLabel);
    addSpacer(commBar, 50);
}
