#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/connectiongate.h"
#include "app/registerset.h"
#include "map/readwarning.h"

class AddressTable;
class BusOverviewPanel;
class BusWatch;
class QProgressBar;
class ConnectionStatusWidget;
class DataLog;
class KeyTrigger;
class LogArea;
class MainDocks;
class MainMenus;
class QAction;
class MainToolBars;
class Modbus;
class ParameterFiles;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QThread;
class RealtimePlot;
class RegisterTables;
class SecondaryGraph;
class TestEngine;
class TestPanel;
class TestStepTable;
class TimeGraphPanel;
class logger;
class settings;
class xmlmap;

namespace Ui {
class MainWindow;
}

// The configurator's window. It owns the settings, the register map, the loggers, the
// docks and their tables, and the Modbus worker, which runs in a thread of its own and
// reaches the window only through queued signals carrying copies of the register words.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Connect toolbar action: opens the port, or closes it when connected.
    void on_btnConnect_clicked();
    void on_configChanged(QString xml, QString log, bool logging, int32_t time, int32_t speed, int32_t cfg);
    void onCOMconnected();
    void onCOMdisconnected();
    void onReconnecting(int attempt, int secondsToNext);

    // One user-visible message: "[time] text" with timestamp, to the status bar for 5 s
    // and/or appended to the log area.
    void showStatus(bool timestamp, bool toStatus, bool toBrowser, QString text);
    void updateProgressBarText(float dat, bool nuevo);
    void incErrorCount();
    void setInteractionDisabled(bool disable);
    void setTestButtonDisabled(bool disable);

    void onInputRegistersRecv(int serverAddress, int startReg, QVector<uint16_t> datos);
    void onHoldingRegistersRecv(int start, QVector<uint16_t> datos);
    void onCoilsRecv(int serverAddress, QVector<uint16_t> datos);
    void onDiscreteInputsRecv(int serverAddress, QVector<uint16_t> datos);

    void on_btnSearchAllAddress();
    void onReceivedNewAddress(uint8_t add, uint16_t status, uint16_t mod, uint16_t m_ver, uint16_t io_ver);
    void onSearchEnded();
    void on_twAdressDoubleClick(QTableWidgetItem *item);
    void onAddressEditingFinished();

    void refreshPortList();
    void openConfiguration();
    void openPasswordWindow();
    void flashFirmware();
    // An empty path (a cancelled file dialog) is reported by the worker like an unreadable file.
    void flashFirmwareFile(const QString &path);
    // Asks the user before a firmware transfer; true to go on. Replaceable for tests.
    using ConfirmFunction = std::function<bool(const QString &question)>;
    void setConfirmFunction(ConfirmFunction confirm) { m_confirm = std::move(confirm); }
    // The outcome of a transfer: a green or red line, and a failed progress line says so.
    void onFlashVerdict(bool ok, const QString &text);
    void on_btnStopClicked();
    void on_btnResetClicked();
    void on_btnReadAuxHoldingClicked();
    void readHoldingRange(int start, int count);
    void writeHolding(int address, uint16_t value, bool echo);

    void updateProgressBar2(bool show, float num);
    void onDisconnectedStart();
    void onDisconnectedStop();
    void on_btnTestClicked();
    void onTestStepResult(int num, int tipo, QString txt, float res, float min, float max, int ok, bool reg);
    void onTestFinish();
    void openParameterFile();
    void saveParameterFile();

    // For the tests and the other panels.
    Modbus *worker() const { return m_worker; }
    MainToolBars *toolBars() const { return m_toolbars; }
    MainMenus *menus() const { return m_menus; }
    ConnectionStatusWidget *connectionStatus() const { return m_connectionStatus; }
    MainDocks *docks() const { return m_docks; }
    RegisterTables *tables() const { return m_tables; }
    LogArea *logArea() const { return m_log; }
    AddressTable *addressTable() const { return m_addressTable; }
    QPushButton *searchButton() const { return m_searchButton; }
    // The bus search's progress under the Address table, shown while a search runs.
    QProgressBar *searchProgress() const { return m_searchProgress; }
    TimeGraphPanel *timeGraph() const { return m_timeGraph; }
    RealtimePlot *realtimePlot() const { return m_realtimePlot; }
    SecondaryGraph *secondaryGraph() const { return m_secondary; }
    TestPanel *testPanel() const { return m_testPanel; }
    BusOverviewPanel *busOverview() const { return m_busOverview; }
    BusWatch *busWatch() const { return m_busWatch; }
    ParameterFiles *parameterFiles() const { return m_paramFiles; }
    const RegisterSet &registers() const { return m_registers; }
    bool isPortConnected() const { return m_connected; }
    ConnectionGate::Phase connectionPhase() const { return m_gate.phase(); }
    int pollTime() const { return m_pollTime; }
    int serverAddress() const { return m_serverAddress; }
    int errorCount() const { return m_errorCount; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // Start-up, in order.
    void createDocks();
    QWidget *createAddressPanel();
    void readSettings();
    bool loadRegisterMap();
    void setupTables();
    void setupRealtimeDataPlot();
    void setupSecondaryDataPlot();
    void setupBusOverview();
    void setupTestPanel();
    void setupParameterFiles();
    void buildToolBars();
    void connectToolBars();
    void buildMenus();
    void chooseLanguage(const QString &code);
    void buildStatusWidget();
    void placeForFirstStart();
    QSize dockAreaEstimate() const;
    void resetLayout();
    void showUserGuide();
    void showAbout();
    void showLineInStatus();
    void logStartupLines();
    void logReadWarnings(const QString &source, const ReadWarnings &warnings);

    // The worker.
    void buildWorker();
    void wireWorker();
    void wireReceiveSignals();
    void replaceTriggerThread();
    void disposeWorker();
    void setupWorkerConnection(const QString &port);

    void startDataLog();
    void finishDataLog();
    void storeDockFlags();
    void saveSettingsAfterConnect();
    void setConnectedLook(bool connected);
    void setConnectingLook();
    void setReconnectingLook();
    // True while connected; otherwise the log area and the status bar say what was not sent.
    bool mayWrite(ConnectionGate::Write what);
    void setSecondaryGraphControlsEnabled(bool enabled);
    void writeDataLine(const QString &values);
    // writeHolding for the drive commands of the Time Graph's buttons.
    std::function<void(int, int, bool)> holdingWriter();
    void onTestStarted();
    void onKeyTrigger();
    QString testFilePath() const;

    Ui::MainWindow *ui;
    settings *m_settings = nullptr;
    xmlmap *m_map = nullptr;
    RegisterSet m_registers;
    logger *m_dataLogger = nullptr;
    logger *m_testLogger = nullptr;
    logger *m_resultLogger = nullptr;
    logger *m_summaryLogger = nullptr;
    DataLog *m_dataLog = nullptr;

    Modbus *m_worker = nullptr;
    BusOverviewPanel *m_busOverview = nullptr;
    BusWatch *m_busWatch = nullptr;
    // Runs inside the worker's poll cycle; goes after the worker's thread has ended.
    std::unique_ptr<TestEngine> m_testEngine;
    QThread *m_triggerThread = nullptr;
    bool m_receiveSignalsWired = false;

    int32_t m_pollTime = 500;
    // Until Configuration sets it, the poll time follows the link: the line speed, or a gateway.
    bool m_pollTimeConfigured = false;
    int32_t m_speed = 9600;
    int32_t m_cfg = 0;
    bool m_logging = false;
    QString m_logDir;
    QString m_xmlPath;
    QString m_loadedMapPath;  // the map the lists were read from; m_xmlPath may name the next one
    uint8_t m_serverAddress = 1;
    bool m_connected = false;
    ConnectionGate m_gate;
    QString m_typedPort;  // a port typed into the box, saved as Last_Com once it connects
    int m_errorCount = 0;
    QDateTime m_lastInputReply;
    ConfirmFunction m_confirm;

    MainDocks *m_docks = nullptr;
    MainToolBars *m_toolbars = nullptr;
    MainMenus *m_menus = nullptr;
    ConnectionStatusWidget *m_connectionStatus = nullptr;
    QByteArray m_firstStartLayout;
    LogArea *m_log = nullptr;
    RegisterTables *m_tables = nullptr;
    AddressTable *m_addressTable = nullptr;
    QPushButton *m_searchButton = nullptr;
    QProgressBar *m_searchProgress = nullptr;
    TimeGraphPanel *m_timeGraph = nullptr;
    QWidget *m_secondaryGraph = nullptr;
    SecondaryGraph *m_secondary = nullptr;
    RealtimePlot *m_realtimePlot = nullptr;
    TestStepTable *m_testSteps = nullptr;
    TestPanel *m_testPanel = nullptr;
    KeyTrigger *m_keyTrigger = nullptr;
    ParameterFiles *m_paramFiles = nullptr;
};
