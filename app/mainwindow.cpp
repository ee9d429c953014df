#include "app/mainwindow.h"

#include <qtadvanceddocking/DockManager.h>
#include <qtadvanceddocking/DockWidget.h>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/builddate.h"
#include "app/datalog.h"
#include "app/drivecommands.h"
#include "app/firstgeometry.h"
#include "app/linepreferences.h"
#include "app/logger.h"
#include "app/settings.h"
#include "app/userguide.h"
#include "comm/capturecommands.h"
#include "comm/driveregisters.h"
#include "comm/endpoint.h"
#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/replytext.h"
#include "config/configdialog.h"
#include "map/xmlmap.h"
#include "params/passwindow.h"
#include "test/test_engine.h"
#include "test/testfilepath.h"
#include "ui_mainwindow.h"
#include "views/addresstable.h"
#include "views/auxholdingtable.h"
#include "views/bitregistertable.h"
#include "views/busoverviewpanel.h"
#include "views/buswatch.h"
#include "views/connectionstatuswidget.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/icons.h"
#include "views/inputregistertable.h"
#include "views/keytrigger.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/mainmenus.h"
#include "views/maintoolbars.h"
#include "views/parameterfiles.h"
#include "views/portlist.h"
#include "views/ramparamtable.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"
#include "views/registertables.h"
#include "views/secondarygraph.h"
#include "views/statusbarroom.h"
#include "views/testpanel.h"
#include "views/teststeptable.h"
#include "views/timegraphpanel.h"
#include "views/uilanguage.h"
#include "views/userguidewindow.h"
#include "views/windowstate.h"

namespace {

const int kLastServerAddress = 247;
const int kStatusBarMs = 5000;
// The realtime plot's scale rows and power labels go after the Stop/Reset/Test buttons.
const int kRealtimeControlsPosition = 2;

// Poll time at start-up follows the line speed alone.
int32_t startupPollTime(int32_t speed) {
    if (speed == 38400 || speed == 57600 || speed == 115200) {
        return 100;
    }
    return speed == 19200 ? 250 : 500;
}

// A server address typed by the user; 1 for anything that is not 0..247.
int parseServerAddress(const QString &text, bool *valid) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    *valid = ok && value >= 0 && value <= kLastServerAddress;
    return *valid ? value : 1;
}

// The map is the file missing, not the settings: which one, and what to do.
QString missingMapAdvice(const QString &mapPath) {
    return QCoreApplication::translate(
               "MainWindow",
               "The register map %1 does not exist (XML_drive in %2). Choose the drive's map "
               "in Drive > Configuration (Inverter XML), then restart the program.")
        .arg(mapPath.isEmpty() ? QCoreApplication::translate("MainWindow", "(none named)")
                               : QDir::toNativeSeparators(mapPath),
             QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("settings.xml"))));
}

bool isCaptureReply(int startReg) {
    return driveregisters::isCaptureArea(startReg);
}

}  // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow) {
    ui->setupUi(this);
    qDebug() << "inicio aplicacion";
    setWindowTitle(windowTitleFor(QStringLiteral(__DATE__), QStringLiteral(__TIME__)));
    ensureIconResources();
    createDocks();
    readSettings();
    setupTestPanel();
    setupParameterFiles();
    if (loadRegisterMap()) {
        setupTables();
    } else {
        // No map, no bits: their docks would stay as empty tabs.
        m_docks->discard(m_docks->coils);
        m_docks->discard(m_docks->discreteInputs);
        setupRealtimeDataPlot();
    }
    const int savedAddress = m_settings->getModbus_Add();
    m_serverAddress =
        (savedAddress >= 0 && savedAddress <= kLastServerAddress) ? uint8_t(savedAddress) : uint8_t(1);
    buildWorker();
    replaceTriggerThread();
    setTestButtonDisabled(true);
    m_timeGraph->stopButton()->setEnabled(false);
    m_timeGraph->resetButton()->setEnabled(false);
    buildToolBars();
    buildMenus();
    buildStatusWidget();
    // Connect reads the field, so it starts with the saved address rather than a fixed 1.
    m_toolbars->addressEdit->setText(QString::number(m_serverAddress));
    onAddressEditingFinished();
    portlist::fill(m_toolbars->portCombo, m_settings->getLast_Com(), true);
    placeForFirstStart();
    setDockNestingEnabled(true);
    logStartupLines();
    // Saved before it is shared out: the proportions may tab the Secondary Graph on a small screen.
    m_firstStartLayout = m_docks->manager->saveState();
    m_docks->setDefaultProportions(dockAreaEstimate());
    windowstate::restoreWindowState(this, m_docks->manager);
    setConnectedLook(false);  // nothing was connected: no "Port disconnected" line
    m_realtimePlot->applyScale();
    installEventFilter(this);
    qDebug() << "fin inicializacion";
}

MainWindow::~MainWindow() {
    qDebug() << "~MainWindow";
    // Hiding a focused address field finishes its editing, which would reach the worker after
    // it is gone.
    disconnect(m_toolbars->addressEdit, nullptr, this, nullptr);
    if (m_connected) {
        m_worker->disconnectPort();
        qDebug() << "disconnect";
    }
    finishDataLog();
    qDebug() << "start saving";
    storeDockFlags();
    m_settings->save();
    if (!windowstate::saveWindowState(this, m_docks->manager)) {
        qWarning().noquote() << QStringLiteral(
                                    "Could not save the window layout to %1 (is the folder writable?)")
                                    .arg(QFileInfo(windowstate::defaultIniPath()).absoluteFilePath());
    }
    qDebug() << "finish saving";
    m_docks->manager->deleteLater();
    disposeWorker();
    delete m_dataLog;
    delete ui;
}

// --- start-up ----------------------------------------------------------------------

void MainWindow::createDocks() {
    m_docks = new MainDocks(this);
    m_log = new LogArea(this);
    m_tables = new RegisterTables(m_registers, this);
    m_timeGraph = new TimeGraphPanel(this);
    m_secondaryGraph = new QWidget(this);
    m_secondaryGraph->setObjectName(QStringLiteral("secondaryGraph"));
    m_testSteps = new TestStepTable(this);

    MainDocks::Contents contents;
    contents.inputRegisters = m_tables->inputRegisters();
    contents.holdingSections = m_tables->holdingSections();
    contents.coils = m_tables->coils();
    contents.discreteInputs = m_tables->discreteInputs();
    contents.auxHoldings = m_tables->auxPanel();
    contents.addressTable = createAddressPanel();
    contents.information = m_log;
    contents.testSteps = m_testSteps;
    contents.secondaryGraph = m_secondaryGraph;
    contents.timeGraph = m_timeGraph;
    contents.flatHoldings = m_tables->flatHoldings();
    m_busOverview = new BusOverviewPanel(this);
    contents.busOverview = m_busOverview;
    m_docks->create(contents);
    setupSecondaryDataPlot();

    connect(m_tables, &RegisterTables::writeRequested, this, &MainWindow::writeHolding);
    connect(m_tables, &RegisterTables::readRangeRequested, this, &MainWindow::readHoldingRange);
    connect(m_tables, &RegisterTables::readAuxRequested, this, &MainWindow::on_btnReadAuxHoldingClicked);
    connect(m_tables, &RegisterTables::editRejected, this,
            [this](const QString &m) { showStatus(true, true, true, m); });
    m_tables->setWriteRefusal([this] { return m_gate.refusal(ConnectionGate::Write::Value); });
    connect(m_timeGraph->stopButton(), &QPushButton::clicked, this, &MainWindow::on_btnStopClicked);
    connect(m_timeGraph->resetButton(), &QPushButton::clicked, this, &MainWindow::on_btnResetClicked);
    connect(m_timeGraph->testButton(), &QPushButton::clicked, this, &MainWindow::on_btnTestClicked);
}

QWidget *MainWindow::createAddressPanel() {
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    m_addressTable = new AddressTable(panel);
    m_searchButton = new QPushButton(tr("Search addresses"), panel);
    m_searchButton->setObjectName(QStringLiteral("btnSearchAddresses"));
    // Shown here, beside the table the search fills, rather than only in the log area's tab.
    m_searchProgress = new QProgressBar(panel);
    m_searchProgress->setRange(0, Modbus::kLastSearchAddress);
    m_searchProgress->setFormat(tr("Address %v of %m"));
    m_searchProgress->hide();
    layout->addWidget(m_addressTable);
    layout->addWidget(m_searchProgress);
    layout->addWidget(m_searchButton);
    connect(m_addressTable, &QTableWidget::itemDoubleClicked, this, &MainWindow::on_twAdressDoubleClick);
    connect(m_searchButton, &QPushButton::clicked, this, &MainWindow::on_btnSearchAllAddress);
    return panel;
}

void MainWindow::readSettings() {
    m_settings = new settings(this);
    connect(m_settings, &settings::saveFailed, this,
            [this](const QString &m) { showStatus(true, true, true, m); });
    m_docks->inputRegisters->toggleView(m_settings->getInput_Register_Tab());
    m_docks->holdingSections->toggleView(m_settings->getHolding_Register_Tab());
    m_docks->auxHoldings->toggleView(m_settings->getAux_Register_Tab());
    m_docks->information->toggleView(m_settings->getTest_Tab());
    m_dataLogger = new logger(this);
    connect(m_dataLogger, &logger::writeFailed, this,
            [this](const QString &m) { showStatus(true, true, true, m); });
    m_dataLog = new DataLog(m_dataLogger);
    m_logDir = m_settings->getLog_Dir().path();
    m_secondary->setLogDirectory(m_logDir);
    m_logging = m_settings->getDo_Logging();
    m_testLogger = new logger(this);
    m_resultLogger = new logger(this);
    m_summaryLogger = new logger(this);
    m_connected = false;
    m_speed = m_settings->getModbus_Speed();
    m_cfg = m_settings->getModbus_Config();
    m_pollTime = startupPollTime(m_speed);
}

bool MainWindow::loadRegisterMap() {
    m_xmlPath = m_settings->getXML_drive();
    m_map = new xmlmap(this);
    if (!QFileInfo::exists(m_xmlPath)) {
        qDebug() << "XML not found";
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        tr("WARNING! Settings XML not found, please select a new one and reload program."),
                        QMessageBox::Ok, this);
        box.setInformativeText(missingMapAdvice(m_xmlPath));
        box.exec();
        showStatus(false, false, true, missingMapAdvice(m_xmlPath));
        return false;
    }
    if (!m_map->readMap(m_xmlPath)) {
        qDebug() << "error cargando XML!!";
        return false;
    }
    m_registers = RegisterSet::takeFrom(*m_map);
    m_loadedMapPath = m_xmlPath;
    storeDockFlags();
    m_settings->setXML_drive(m_xmlPath);
    m_settings->save();
    return true;
}

void MainWindow::setupTables() {
    m_tables->setupTableInputRegisters();
    m_tables->setupTableHoldings();
    m_tables->setupHoldingSections(this);
    m_docks->placeHoldingSections();
    m_tables->setupTableAuxHoldings();
    if (!m_tables->setupTableCoils()) {
        m_docks->discard(m_docks->coils);
    }
    if (!m_tables->setupTableDiscreteInputs()) {
        m_docks->discard(m_docks->discreteInputs);
    }
    qDebug() << "fin setupTableRAMparam";
    setupRealtimeDataPlot();
    qDebug() << "fin setupRealtimeDataPlot";
    m_tables->setupTableRAMparam(m_timeGraph->ramParams());
}

void MainWindow::setupRealtimeDataPlot() {
    m_realtimePlot = new RealtimePlot(m_timeGraph);
    m_timeGraph->plotLayout()->addWidget(m_realtimePlot);
    m_timeGraph->controlRow()->insertWidget(kRealtimeControlsPosition, m_realtimePlot->controls());
    m_timeGraph->placePowerPanel(m_realtimePlot->controls()->powerPanel());
    m_realtimePlot->setRegisters(m_registers.inputRegisters);
    const MapOptions &o = m_registers.options;
    m_realtimePlot->setPowerPositions({o.powerId, o.powerIq, o.powerVd, o.powerVq});
    m_docks->placeTimeGraph();
    setupBusOverview();
}

void MainWindow::setupBusOverview() {
    m_busWatch = new BusWatch(m_busOverview, m_realtimePlot, this);
    m_busWatch->setRegisters(m_registers.inputRegisters);
    m_dataLog->setOtherDrives(&m_busWatch->otherDrives());
    connect(m_busWatch, &BusWatch::driveChosen, this, [this](int address) {
        m_toolbars->addressEdit->setText(QString::number(address));
        onAddressEditingFinished();
    });
    connect(m_addressTable, &AddressTable::watchToggled, m_busWatch, &BusWatch::setWatched);
    m_busWatch->setPollList(linepreferences::loadPollList());
    connect(m_busWatch, &BusWatch::pollListChanged, m_addressTable, &AddressTable::showWatched);
    connect(m_busWatch, &BusWatch::pollListChanged, this,
            [](const QVector<int> &addresses) { linepreferences::savePollList(addresses); });
}

void MainWindow::setupSecondaryDataPlot() {
    qDebug() << "setupSecondaryDataPlot INIT";
    auto *layout = new QVBoxLayout(m_secondaryGraph);
    layout->setContentsMargins(0, 0, 0, 0);
    m_secondary = new SecondaryGraph(m_secondaryGraph);
    layout->addWidget(m_secondary);
    connect(m_secondary, &SecondaryGraph::send_status, this, &MainWindow::showStatus);
    m_secondary->setCommandGate([this] { return mayWrite(ConnectionGate::Write::CaptureRequest); });
    qDebug() << "setupSecondaryDataPlot END";
}

void MainWindow::setupTestPanel() {
    m_testPanel = new TestPanel(m_testSteps, {m_testLogger, m_resultLogger, m_summaryLogger}, this);
    connect(m_testPanel, &TestPanel::statusMessage, this, &MainWindow::showStatus);
    connect(m_testPanel, &TestPanel::started, this, &MainWindow::onTestStarted);
    // The day's figures give way (clipped) before the window grows past a small screen, and to
    // a message while it is shown.
    m_testPanel->statsLabel()->setMinimumWidth(1);
    statusBar()->addPermanentWidget(m_testPanel->statsLabel());
    m_keyTrigger = new KeyTrigger(this);
    connect(m_keyTrigger, &KeyTrigger::triggered, this, &MainWindow::onKeyTrigger);
}

void MainWindow::setupParameterFiles() {
    m_paramFiles = new ParameterFiles(m_settings, this);
    connect(m_paramFiles, &ParameterFiles::statusMessage, this, &MainWindow::showStatus);
}

void MainWindow::buildToolBars() {
    m_toolbars = new MainToolBars(this);
    const MainDocks &d = *m_docks;
    m_toolbars->build({
        {d.holdingSections->toggleViewAction(), QStringLiteral(":/img/img/holding_registers.png"),
         QStringLiteral("holding-registers"), tr("Show/Hide holding registers table")},
        {d.auxHoldings->toggleViewAction(), QStringLiteral(":/img/img/auxh.png"), QStringLiteral("auxh-tab"),
         tr("Show/Hide aux holdings tab")},
        {d.inputRegisters->toggleViewAction(), QStringLiteral(":/img/img/input_registers.png"),
         QStringLiteral("input-registers"), tr("Show/Hide input registers table")},
        {d.information->toggleViewAction(), QStringLiteral(":/img/img/info2.png"), QStringLiteral("test-tab"),
         tr("Show/Hide tools tab")},
        {d.secondaryGraph->toggleViewAction(), QStringLiteral(":/img/img/graph.png"),
         QStringLiteral("secondary-graph"), tr("Show/Hide secondary Graph")},
        {d.addressTable->toggleViewAction(), QStringLiteral(":/img/img/search.png"),
         QStringLiteral("add-table"), tr("Search for modbus devices")},
        {d.testSteps->toggleViewAction(), QStringLiteral(":/img/img/test_icon.png"),
         QStringLiteral("test-tab"), tr("Show/Hide tools tab")},
    });
    connectToolBars();
}

void MainWindow::connectToolBars() {
    const MainToolBars &t = *m_toolbars;
    connect(t.openFile, &QAction::triggered, this, &MainWindow::openParameterFile);
    connect(t.saveFile, &QAction::triggered, this, &MainWindow::saveParameterFile);
    connect(t.flashFirmware, &QAction::triggered, this, &MainWindow::flashFirmware);
    connect(t.configuration, &QAction::triggered, this, &MainWindow::openConfiguration);
    connect(t.refreshList, &QAction::triggered, this, &MainWindow::refreshPortList);
    connect(t.connectPort, &QAction::triggered, this, &MainWindow::on_btnConnect_clicked);
    connect(t.password, &QAction::triggered, this, &MainWindow::openPasswordWindow);
    connect(t.addressEdit, &QLineEdit::editingFinished, this, &MainWindow::onAddressEditingFinished);
}

void MainWindow::buildMenus() {
    m_menus = new MainMenus(this);
    const MainToolBars &t = *m_toolbars;
    const MainDocks &d = *m_docks;
    QVector<QAction *> dockToggles;
    for (const ads::CDockWidget *dock :
         {d.inputRegisters, d.holdingSections, d.auxHoldings, d.coils, d.discreteInputs, d.addressTable,
          d.busOverview, d.testSteps, d.information, d.secondaryGraph, d.timeGraph}) {
        if (dock != nullptr) {
            dockToggles.append(dock->toggleViewAction());
        }
    }
    const RealtimePlot::Actions &plot = m_realtimePlot->actions();
    m_menus->build({t.openFile,
                    t.saveFile,
                    t.flashFirmware,
                    t.configuration,
                    t.refreshList,
                    t.connectPort,
                    t.password,
                    m_searchButton,
                    dockToggles,
                    plot.openDataLog,
                    {plot.exportPng, plot.exportPdf, plot.exportCsv}});
    connect(m_menus->quit, &QAction::triggered, this, &QWidget::close);
    connect(m_menus->resetLayout, &QAction::triggered, this, &MainWindow::resetLayout);
    connect(m_menus->userGuide, &QAction::triggered, this, &MainWindow::showUserGuide);
    connect(m_menus->about, &QAction::triggered, this, &MainWindow::showAbout);
    m_menus->addLanguageMenu(m_settings->getLanguaje());
    connect(m_menus, &MainMenus::languageChosen, this, &MainWindow::chooseLanguage);
}

void MainWindow::chooseLanguage(const QString &code) {
    m_settings->setLanguaje(uilanguage::settingsValue(code));
    m_settings->save();
    showStatus(true, true, true, tr("The window will use the chosen language after a restart"));
}

void MainWindow::buildStatusWidget() {
    m_connectionStatus = new ConnectionStatusWidget(this);
    statusBar()->addPermanentWidget(m_connectionStatus);
    // A message is worth more than the day's figures and, for its few seconds, the summary.
    statusbarroom::yieldToMessages(statusBar(), {m_testPanel->statsLabel(), m_connectionStatus});
    showLineInStatus();
    m_connectionStatus->setAddress(m_serverAddress);
    connect(m_tables->holdingSections(), &HoldingSections::accessLevelApplied, m_connectionStatus,
            &ConnectionStatusWidget::setAccessLevel);
    connect(m_toolbars->portCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::showLineInStatus);
}

void MainWindow::showLineInStatus() {
    const QString port = portlist::currentPortName(m_toolbars->portCombo);
    m_connectionStatus->setLine(port, m_speed, m_cfg);
    const QString tip = Endpoint::parse(port).isTcp()
                            ? tr("Connect to the Modbus TCP gateway")
                            : QCoreApplication::translate("MainToolBars", "Connect serial port");
    m_toolbars->connectPort->setStatusTip(tip);
    m_toolbars->connectPort->setToolTip(tip);
}

// Without a saved geometry the window opens on most of the screen (all of a small one),
// maximized where the window manager allows it.
void MainWindow::placeForFirstStart() {
    const QScreen *shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown != nullptr) {
        setGeometry(firstStartGeometry(shown->availableGeometry()));
    }
    setWindowState(Qt::WindowMaximized);
}

// The docks' share of the window before it is laid out: all but the menu, the two toolbar
// rows and the status bar.
QSize MainWindow::dockAreaEstimate() const {
    const int bars = menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                     m_toolbars->layoutBar->sizeHint().height() + m_toolbars->commBar->sizeHint().height();
    return QSize(width(), qMax(height() - bars, 1));
}

// The first start's arrangement, shared out for the window's present size.
void MainWindow::resetLayout() {
    m_docks->manager->restoreState(m_firstStartLayout);
    m_docks->setDefaultProportions(m_docks->manager->size());
}

void MainWindow::showUserGuide() {
    const QStringList searched = userguide::candidates(QCoreApplication::applicationDirPath());
    auto *guide = new UserGuideWindow(userguide::find(searched), searched, this);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide->show();
}

void MainWindow::showAbout() {
#ifdef MVX_VERSION
    const QString version = QStringLiteral(MVX_VERSION);
#else
    const QString version = QStringLiteral("unknown");
#endif
    const QDate built = dateFromCompilerText(QStringLiteral(__DATE__));
    QMessageBox::about(
        this, tr("About MVX/MVZ configurator"),
        tr("<b>MVX/MVZ configurator</b><br>Version %1<br>Built %2 %3<br><br>"
           "Configurator, monitor and production tester for Modbus RTU motor "
           "drives.")
            .arg(version, built.toString(QStringLiteral("yyyy/MM/dd")), QStringLiteral(__TIME__)));
}

void MainWindow::logStartupLines() {
    showStatus(false, false, true, tr("Loaded XML parameter file: %1").arg(m_xmlPath));
    const Endpoint link = Endpoint::parse(portlist::currentPortName(m_toolbars->portCombo));
    showStatus(false, false, true,
               link.isTcp() ? tr("Current link: %1").arg(link.describe())
                            : tr("Current speed selection: %1").arg(m_speed));
    logReadWarnings(QStringLiteral("settings.xml"), m_settings->warnings());
    logReadWarnings(m_xmlPath, m_map->warnings());
}

void MainWindow::logReadWarnings(const QString &source, const ReadWarnings &warnings) {
    for (const ReadWarning &warning : warnings) {
        showStatus(false, false, true, QStringLiteral("%1: %2").arg(source, warning.toString()));
    }
}

// --- the worker ----------------------------------------------------------------------

void MainWindow::buildWorker() {
    m_worker = new Modbus();
    m_worker->setInputList(m_registers.inputRegisters);
    m_worker->setHoldingList(m_registers.holdings);
    m_worker->setCaptureStatusIndex(m_registers.options.flags);
    m_worker->setAccessLevelIndex(m_registers.options.accessLevel);
    for (const QVector<holding_t *> *named : {&m_registers.auxHoldings, &m_registers.ramParams}) {
        if (!named->isEmpty()) {
            m_worker->nameRegisters(named->first()->add, *named);
        }
    }
    m_receiveSignalsWired = false;
    m_busWatch->setWorker(m_worker);
    wireWorker();
    m_secondary->setCommands(CaptureCommands::forWorker(m_worker));
    m_paramFiles->setWorker(m_worker);
    m_testEngine = std::make_unique<TestEngine>(m_worker);
    m_worker->setTickHook(m_testEngine.get());
    m_worker->setAutoReconnect(linepreferences::loadReconnect());
    m_testPanel->setEngine(m_testEngine.get());
    m_testPanel->setDriveContext(m_loadedMapPath, m_registers.inputRegisters);
    m_testPanel->useRecords(RecordsSettings::load(), m_logDir);
}

void MainWindow::wireWorker() {
    Modbus *w = m_worker;
    connect(w, &Modbus::com_connected, this, &MainWindow::onCOMconnected);
    connect(w, &Modbus::com_disconnected, this, &MainWindow::onCOMdisconnected);
    connect(w, &Modbus::reconnecting, this, &MainWindow::onReconnecting);
    connect(w, &Modbus::send_status, this, &MainWindow::showStatus);
    connect(w, &Modbus::update_progressBar2, this, &MainWindow::updateProgressBar2);
    connect(w, &Modbus::foundAddress, this, &MainWindow::onReceivedNewAddress);
    connect(w, &Modbus::disableInteraction, this, &MainWindow::setInteractionDisabled);
    connect(w, &Modbus::disableTestBTN, this, &MainWindow::setTestButtonDisabled);
    connect(w, &Modbus::ext_disconnected_start, this, &MainWindow::onDisconnectedStart);
    connect(w, &Modbus::ext_disconnected_stop, this, &MainWindow::onDisconnectedStop);
    connect(w, &Modbus::update_progressBarText, this, &MainWindow::updateProgressBarText);
    connect(w, &Modbus::incErrorCnt, this, &MainWindow::incErrorCount);
    connect(w, &Modbus::end_search_addresses, this, &MainWindow::onSearchEnded);
    connect(w, &Modbus::testResult, this, &MainWindow::onTestStepResult);
    connect(w, &Modbus::test_stop, this, &MainWindow::onTestFinish);
    connect(w, &Modbus::flash_verdict, this, &MainWindow::onFlashVerdict);
}

void MainWindow::wireReceiveSignals() {
    if (m_receiveSignalsWired) {
        return;
    }
    m_receiveSignalsWired = true;
    connect(m_worker, &Modbus::recv_input_registers, this, &MainWindow::onInputRegistersRecv);
    connect(m_worker, &Modbus::recv_holding_registers, this, &MainWindow::onHoldingRegistersRecv);
    connect(m_worker, &Modbus::recv_coils, this, &MainWindow::onCoilsRecv);
    connect(m_worker, &Modbus::recv_discrete_inputs, this, &MainWindow::onDiscreteInputsRecv);
}

void MainWindow::replaceTriggerThread() {
    if (m_triggerThread != nullptr) {
        m_triggerThread->quit();
        m_triggerThread->wait();
        delete m_triggerThread;
    }
    m_triggerThread = new QThread();
    m_triggerThread->setObjectName(QStringLiteral("startupTrigger"));
    connect(m_triggerThread, &QThread::started, m_worker, &Modbus::init);
}

// The worker is told to close its port and its thread is joined before it goes.
void MainWindow::disposeWorker() {
    if (m_triggerThread != nullptr) {
        m_triggerThread->quit();
        m_triggerThread->wait();
        delete m_triggerThread;
        m_triggerThread = nullptr;
    }
    if (m_worker != nullptr) {
        // Its test_stop will not arrive any more.
        m_testPanel->abandon(m_registers.holdings);
        m_testPanel->setEngine(nullptr);
        disconnect(m_worker, nullptr, this, nullptr);
        m_worker->shutdown();
        m_testEngine.reset();
        delete m_worker;
        m_worker = nullptr;
    }
}

void MainWindow::setupWorkerConnection(const QString &port) {
    m_worker->setupConnection(port, m_pollTime, m_serverAddress, m_speed, m_cfg,
                              m_registers.inputRegisters.size(), m_registers.holdings.size(),
                              driveregisters::kAuxStart, driveregisters::kAuxReadCount);
    m_worker->setFastPolling(m_pollTime == 0);
}

// --- connect, configuration, exit ------------------------------------------------------

void MainWindow::on_btnConnect_clicked() {
    const ConnectionGate::Press press = m_gate.press();
    if (press == ConnectionGate::Press::Ignore) {
        setConnectingLook();  // the press toggled the check mark
        return;
    }
    const QString port = portlist::currentPortName(m_toolbars->portCombo);
    bool valid = false;
    m_serverAddress = uint8_t(parseServerAddress(m_toolbars->addressEdit->text(), &valid));
    m_connectionStatus->setAddress(m_serverAddress);
    showLineInStatus();
    qDebug() << "on_btnConnect_clicked";
    if (press == ConnectionGate::Press::Open) {
        if (port.isEmpty()) {
            m_gate.closed();
            showStatus(true, true, true,
                       tr("No serial port to connect to: plug in the adapter and press Refresh list, "
                          "or set Last_Com in settings.xml to the port's path."));
            m_toolbars->connectPort->setChecked(false);
            return;
        }
        if (!m_pollTimeConfigured) {
            m_pollTime = startupPollTime(linesettings::timingSpeed(Endpoint::parse(port), m_speed));
        }
        setupWorkerConnection(port);
        // Offered again at the next start once it has connected: a refused address is not kept.
        m_typedPort = portlist::typedPort(m_toolbars->portCombo);
        if (!m_triggerThread->isRunning()) {
            m_triggerThread->start(QThread::InheritPriority);
        } else {
            m_worker->connectPort();
        }
        m_realtimePlot->setConnectTime(QDateTime::currentMSecsSinceEpoch());
        setConnectingLook();
        startDataLog();
    } else {
        m_worker->disconnectPort();
        finishDataLog();
    }
    wireReceiveSignals();
    saveSettingsAfterConnect();
}

void MainWindow::startDataLog() {
    if (!m_logging) {
        return;
    }
    const QString dir = m_logDir.isEmpty() ? QStringLiteral(".") : m_logDir;
    QDir().mkpath(dir);
    if (!m_dataLog->start(dir, m_registers.inputRegisters, m_registers.discreteInputs)) {
        showStatus(true, true, true, tr("Cannot create the data log in %1").arg(dir));
    }
}

void MainWindow::finishDataLog() {
    if (m_dataLog->isOpen()) {
        m_dataLog->finish();
    }
}

void MainWindow::saveSettingsAfterConnect() {
    m_settings->setModbus_Add(m_serverAddress);
    m_settings->setModbus_Speed(m_speed);
    m_settings->setModbus_Config(m_cfg);
    storeDockFlags();
    m_settings->save();
}

void MainWindow::storeDockFlags() {
    m_settings->setInput_Register_Tab(isDockShown(m_docks->inputRegisters));
    m_settings->setHolding_Register_Tab(isDockShown(m_docks->holdingSections));
    m_settings->setAux_Register_Tab(isDockShown(m_docks->auxHoldings));
    m_settings->setTest_Tab(isDockShown(m_docks->information));
}

void MainWindow::openConfiguration() {
    auto *dialog = new config();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setTime(m_pollTime);
    dialog->setSpeed(m_speed);
    dialog->setCfg(m_cfg);
    dialog->setLogging(m_logging);
    dialog->setLog(m_logDir);
    dialog->setXml(m_xmlPath);
    dialog->setNetworkLink(Endpoint::parse(portlist::currentPortName(m_toolbars->portCombo)).isTcp());
    dialog->show();
    connect(dialog, &config::change_config, this, &MainWindow::on_configChanged);
    dialog->setRecords(RecordsSettings::load());
    dialog->setReconnect(linepreferences::loadReconnect());
    connect(dialog, &config::change_reconnect, this, [this](bool on) {
        linepreferences::saveReconnect(on);
        m_worker->setAutoReconnect(on);
    });
    connect(dialog, &config::change_records, this, [this](const RecordsSettings &records) {
        records.save();
        m_testPanel->useRecords(records, m_logDir);
    });
}

void MainWindow::on_configChanged(QString xml, QString log, bool logging, int32_t time, int32_t speed,
                                  int32_t cfg) {
    m_pollTime = time;
    m_pollTimeConfigured = true;
    m_speed = speed;
    m_cfg = cfg;
    m_logging = logging;
    m_logDir = log;
    m_xmlPath = xml;
    m_secondary->setLogDirectory(m_logDir);
    m_settings->setPoll_Interval(time);
    m_settings->setModbus_Speed(speed);
    m_settings->setModbus_Config(cfg);
    m_settings->setDo_Logging(logging);
    m_settings->setLog_Dir(QDir(log));
    m_settings->setXML_drive(xml);
    storeDockFlags();
    m_settings->save();
    disposeWorker();
    if (m_gate.phase() != ConnectionGate::Phase::Disconnected) {
        onCOMdisconnected();  // the old worker closed its line without a word to the window
    }
    buildWorker();
    replaceTriggerThread();
    setupWorkerConnection(portlist::currentPortName(m_toolbars->portCombo));
    showLineInStatus();
}

void MainWindow::openPasswordWindow() {
    auto *dialog = new passWindow();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    connect(dialog, &passWindow::accepted_password, this, [this](int level, const QString &password) {
        if (mayWrite(ConnectionGate::Write::Password)) {
            m_worker->on_acceptedPassword(level, password);
        }
    });
}

void MainWindow::flashFirmware() {
    flashFirmwareFile(
        QFileDialog::getOpenFileName(this, tr("Open File"), QString(), tr("Ostra Firmware (*.ofw)")));
}

void MainWindow::flashFirmwareFile(const QString &path) {
    if (!mayWrite(ConnectionGate::Write::Firmware)) {
        return;
    }
    // The drive reports its model in input register 1; the file name may name it instead.
    const auto &inputs = m_registers.inputRegisters;
    const int model = inputs.size() >= 2 ? inputs[1]->raw : 0;
    const QString question = flashConfirmationText(path, model);
    if (!question.isEmpty()) {
        const bool go = m_confirm ? m_confirm(question)
                                  : QMessageBox::question(this, tr("Flash Firmware"), question,
                                                          QMessageBox::Ok | QMessageBox::Cancel,
                                                          QMessageBox::Cancel) == QMessageBox::Ok;
        if (!go) {
            showStatus(false, true, true, tr("Firmware update cancelled: nothing was sent"));
            return;
        }
    }
    m_worker->selectFirmwareFile(model, path);
}

void MainWindow::onFlashVerdict(bool ok, const QString &text) {
    if (!ok) {
        QTextCursor progress(m_log->document()->lastBlock());
        static const QRegularExpression progressLine(QStringLiteral(R"(^\[[= ]{50}\] \d+\.\d%$)"));
        if (progressLine.match(progress.block().text()).hasMatch()) {
            progress.movePosition(QTextCursor::EndOfBlock);
            progress.insertText(tr(" - flash failed"));
        }
    }
    const QString colour = ok ? QStringLiteral("#007000") : QStringLiteral("#c00000");
    m_log->append(QStringLiteral("<span style=\"color:%1\">%2</span>").arg(colour, text.toHtmlEscaped()));
    statusBar()->showMessage(text, kStatusBarMs);
}

void MainWindow::refreshPortList() {
    portlist::fill(m_toolbars->portCombo, m_settings->getLast_Com(), false);
}

// --- the window's looks ------------------------------------------------------------------

void MainWindow::showStatus(bool timestamp, bool toStatus, bool toBrowser, QString text) {
    const QString line = LogArea::statusLine(timestamp, text, QDateTime::currentDateTime());
    if (toStatus) {
        statusBar()->showMessage(statusbarroom::plainMessage(line), kStatusBarMs);
    }
    if (toBrowser) {
        m_log->appendLine(line);
    }
}

void MainWindow::updateProgressBarText(float dat, bool nuevo) {
    m_log->showProgress(dat, nuevo);
    if (!m_searchProgress->isHidden()) {
        m_searchProgress->setValue(qRound(dat * Modbus::kLastSearchAddress / 100.0f));
    }
}

void MainWindow::incErrorCount() {
    ++m_errorCount;
    m_toolbars->errorCountLabel->setText(tr("Error Count: %1").arg(m_errorCount));
}

void MainWindow::onCOMconnected() {
    m_gate.opened();
    showStatus(false, false, true, tr("Port connected"));
    setConnectedLook(true);
    m_connectionStatus->setConnected(true);
    m_errorCount = 0;
    m_toolbars->errorCountLabel->setText(tr("Error Count: 0"));
    m_connected = true;
    if (!m_typedPort.isEmpty()) {
        m_settings->setLast_Com(m_typedPort);
        m_settings->save();
        m_typedPort.clear();
    }
}

void MainWindow::onCOMdisconnected() {
    // A lost line the worker tries again keeps its data log, with the silence as a gap.
    const bool retrying = m_gate.phase() == ConnectionGate::Phase::Reconnecting;
    if (!retrying) {
        m_gate.closed();
    }
    showStatus(false, false, true, tr("Port disconnected"));
    setConnectedLook(false);
    m_realtimePlot->breakCurves();
    m_tables->holdingSections()->forgetAccessLevel();  // the next connection shows the level it is given
    m_connected = false;
    m_typedPort.clear();
    // A test cannot go on without the line; it ends as cancelled and its logs are completed.
    m_testPanel->stop();
    if (retrying) {
        setReconnectingLook();
        if (m_dataLog->isOpen()) {
            m_dataLog->writeGap();
        }
        return;
    }
    m_connectionStatus->setConnected(false);
    finishDataLog();
}

void MainWindow::onReconnecting(int attempt, int secondsToNext) {
    if (m_gate.retrying()) {
        m_connectionStatus->setReconnecting(
            tr("reconnecting (attempt %1, next in %2 s)").arg(attempt).arg(secondsToNext));
    }
}

void MainWindow::setConnectedLook(bool connected) {
    m_timeGraph->stopButton()->setEnabled(connected);
    m_timeGraph->resetButton()->setEnabled(connected);
    m_timeGraph->testButton()->setEnabled(connected);
    m_toolbars->connectPort->setChecked(connected);
    m_toolbars->connectPort->setEnabled(true);
    m_toolbars->portCombo->setEnabled(!connected);
    m_toolbars->configuration->setEnabled(!connected);
    m_toolbars->refreshList->setEnabled(!connected);
    m_toolbars->openFile->setEnabled(connected);
    m_toolbars->saveFile->setEnabled(connected);
    m_toolbars->flashFirmware->setEnabled(connected);
    setSecondaryGraphControlsEnabled(connected);
}

// Until the worker answers (a gateway may take seconds) nothing may start another connection or
// change the line under the one being made.
void MainWindow::setConnectingLook() {
    m_toolbars->connectPort->setChecked(true);
    m_toolbars->connectPort->setEnabled(false);
    m_toolbars->portCombo->setEnabled(false);
    m_toolbars->configuration->setEnabled(false);
    m_toolbars->refreshList->setEnabled(false);
    m_connectionStatus->setConnecting();
}

// Connect stays pressed and may be pressed: that Disconnect ends the retries.
void MainWindow::setReconnectingLook() {
    m_toolbars->connectPort->setChecked(true);
    m_toolbars->portCombo->setEnabled(false);
    m_toolbars->configuration->setEnabled(false);
    m_toolbars->refreshList->setEnabled(false);
}

void MainWindow::setSecondaryGraphControlsEnabled(bool enabled) {
    m_secondary->setConnected(enabled);
}

void MainWindow::setInteractionDisabled(bool disable) {
    m_timeGraph->stopButton()->setDisabled(disable);
    m_timeGraph->resetButton()->setDisabled(disable);
    m_timeGraph->testButton()->setDisabled(disable || m_testPanel->isRunning());
    m_tables->readAuxButton()->setDisabled(disable);
    m_tables->flatHoldings()->setDisabled(disable);
    m_timeGraph->ramParams()->setDisabled(disable);
    m_tables->auxHoldings()->setDisabled(disable);
    m_searchButton->setDisabled(disable);
    m_log->setInteractionDisabled(disable);
}

void MainWindow::setTestButtonDisabled(bool disable) {
    m_timeGraph->testButton()->setDisabled(disable);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    // Scrolling the holdings dock must never change a list value.
    if (event->type() == QEvent::Wheel && qobject_cast<QComboBox *>(watched) != nullptr) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- replies -------------------------------------------------------------------------------

void MainWindow::onInputRegistersRecv(int serverAddress, int startReg, QVector<uint16_t> datos) {
    m_lastInputReply = QDateTime::currentDateTime();
    m_connectionStatus->setLastReply(m_lastInputReply);
    m_tables->applyAccessLevel();
    if (!m_testPanel->isRunning() && !m_registers.options.testFile.isEmpty()) {
        m_timeGraph->testButton()->setEnabled(true);
    }
    if (isCaptureReply(startReg)) {
        m_secondary->onInputRegistersRecv(serverAddress, startReg, datos);
        return;
    }
    const QString values = m_tables->showInputWords(datos);
    m_realtimePlot->appendSample(m_lastInputReply.toMSecsSinceEpoch());
    writeDataLine(values);
}

// One reply's line of the data log; while a test runs, also a line of its full log.
void MainWindow::writeDataLine(const QString &values) {
    if (!m_logging || !m_dataLog->isOpen()) {
        return;
    }
    m_dataLog->writeValues(values, m_registers.discreteInputs);
    m_testPanel->dataLine(values + DataLog::bitStates(m_registers.discreteInputs));
}

void MainWindow::onHoldingRegistersRecv(int start, QVector<uint16_t> datos) {
    m_tables->showHoldingWords(start, datos);
    if (start == 0 && datos.size() == m_registers.holdings.size()) {
        m_paramFiles->onHoldingsRead(m_registers.holdings, m_registers.inputRegisters);
    }
}

void MainWindow::onCoilsRecv(int serverAddress, QVector<uint16_t> datos) {
    qDebug() << "[onCoilsRecv] add:" << serverAddress << "num: " << datos.size();
}

void MainWindow::onDiscreteInputsRecv(int serverAddress, QVector<uint16_t> datos) {
    qDebug() << "[onDiscreteInputsRecv] add:" << serverAddress << "num: " << datos.size();
}

// --- requests to the worker ------------------------------------------------------------------

void MainWindow::writeHolding(int address, uint16_t value, bool echo) {
    if (mayWrite(ConnectionGate::Write::Value)) {
        m_worker->writeHolding(address, value, echo);
    }
}

// The worker keeps what it is given for its next connection, which may be to another drive.
bool MainWindow::mayWrite(ConnectionGate::Write what) {
    const QString refusal = m_gate.refusal(what);
    if (!refusal.isEmpty()) {
        showStatus(true, true, true, refusal);
    }
    return refusal.isEmpty();
}

void MainWindow::readHoldingRange(int start, int count) {
    if (m_worker->isConnected()) {
        m_worker->readHoldingRange(start, count);
    }
}

void MainWindow::on_btnReadAuxHoldingClicked() {
    if (m_worker->isConnected()) {
        m_worker->readAuxHoldings();
    }
}

void MainWindow::on_btnStopClicked() {
    const bool connected = m_worker->isConnected();
    if (!connected) {
        return;
    }
    m_timeGraph->ramParams()->setValueTextSilently(2, QStringLiteral("0"));
    drivecommands::stop(connected, m_registers.options.stopIndex,
                        [this](int address, int, bool) { m_worker->writeStopCommand(address); });
    m_testPanel->stop();
    m_timeGraph->testButton()->setEnabled(true);
}

void MainWindow::on_btnResetClicked() {
    drivecommands::reset(m_worker->isConnected(), holdingWriter());
}

std::function<void(int, int, bool)> MainWindow::holdingWriter() {
    return [this](int address, int value, bool echo) { writeHolding(address, uint16_t(value), echo); };
}

// --- device search and server address --------------------------------------------------------

void MainWindow::on_btnSearchAllAddress() {
    if (m_worker->isSearching()) {
        m_worker->stopSearch();
        onSearchEnded();
        return;
    }
    m_searchButton->setText(tr("Abort search"));
    m_searchProgress->setValue(0);
    m_searchProgress->show();
    m_addressTable->startSearch();
    m_realtimePlot->breakCurves();  // no input reads while searching
    m_worker->startSearch();
}

void MainWindow::onReceivedNewAddress(uint8_t add, uint16_t status, uint16_t mod, uint16_t m_ver,
                                      uint16_t io_ver) {
    m_addressTable->addDevice(add, status, mod, m_ver, io_ver);
    m_addressTable->showWatched(m_busOverview->pollList());  // a drive already watched stays ticked
}

void MainWindow::onSearchEnded() {
    m_searchButton->setText(tr("Search addresses"));
    m_searchProgress->hide();
}

void MainWindow::on_twAdressDoubleClick(QTableWidgetItem *item) {
    if (item == nullptr) {
        return;
    }
    m_addressTable->selectRow(item->row());
    m_toolbars->addressEdit->setText(m_addressTable->addressAt(item->row()));
    onAddressEditingFinished();
}

void MainWindow::onAddressEditingFinished() {
    bool valid = false;
    const int address = parseServerAddress(m_toolbars->addressEdit->text(), &valid);
    if (valid) {
        m_toolbars->broadcastLabel->setText(address == 0 ? tr("Broadcast address! will not reply!")
                                                         : QString());
    } else {
        m_toolbars->addressEdit->setText(QStringLiteral("1"));
    }
    m_serverAddress = uint8_t(address);
    m_worker->setServerAddress(address);
    m_busWatch->setSelected(address);
    m_connectionStatus->setAddress(address);
}

// --- plots, production test and parameter files -----------------------------------------

void MainWindow::updateProgressBar2(bool show, float num) {
    m_secondary->updateProgressBar2(show, num);
}

void MainWindow::onDisconnectedStart() {
    m_realtimePlot->onDisconnectedStart();
}

void MainWindow::onDisconnectedStop() {
    m_realtimePlot->onDisconnectedStop();
}

void MainWindow::on_btnTestClicked() {
    if (!m_worker->isConnected()) {
        return;
    }
    m_testPanel->start(testFilePath(), m_logDir, m_dataLog->isOpen() ? m_dataLogger : nullptr);
}

QString MainWindow::testFilePath() const {
    return resolveTestFile(m_registers.options.testFile, m_loadedMapPath);
}

void MainWindow::onTestStarted() {
    m_timeGraph->testButton()->setEnabled(false);
    m_docks->information->toggleView(true);
    m_docks->information->setAsCurrentTab();
}

void MainWindow::onKeyTrigger() {
    if (m_testPanel->isRunning()) {
        on_btnStopClicked();
    } else {
        on_btnTestClicked();
    }
}

void MainWindow::onTestStepResult(int num, int tipo, QString txt, float res, float min, float max, int ok,
                                  bool reg) {
    m_testPanel->onStepResult(num, tipo, txt, res, min, max, ok, reg);
}

void MainWindow::onTestFinish() {
    m_testPanel->finish(m_registers.holdings);
}

void MainWindow::openParameterFile() {
    m_paramFiles->openParameterFile(m_registers.inputRegisters, m_loadedMapPath);
}

void MainWindow::saveParameterFile() {
    m_paramFiles->saveParameterFile(m_registers.holdings, m_registers.inputRegisters);
}
