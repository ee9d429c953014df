// Fault soak: the worker against the simulated drive while the drive cycles through its
// faults (silence, exception answers, corrupted frames, delays, dropped replies, the drive
// restarting, the port vanishing and returning). Prints what happened; bench/soak.sh runs it.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <functional>

#include "app/datalog.h"
#include "app/logger.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "support/processcpu.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

long rssKilobytes() {
    return processcpu::residentKilobytes(QCoreApplication::applicationPid());
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
}

struct Counters {
    int inputReplies = 0;
    int holdingReplies = 0;
    int failures = 0;
    int outagesStarted = 0;
    int outagesEnded = 0;
    int connects = 0;
    int disconnects = 0;
    int reconnects = 0;
    int simulatorCrashes = 0;
    long requests = 0;
};

class Soak {
  public:
    Soak(const QString &mapPath, const QString &logDir) : m_logDir(logDir), m_dataLog(&m_logFile) {
        m_map.readMap(mapPath);
        m_map.getInputRegisters(m_inputs);
        m_map.getHoldings(m_holdings);
        m_mapPath = mapPath;
        wire();
    }

    bool start() { return startBus() && connectWorker(); }

    void run(int seconds) {
        const QList<std::function<void()>> faults = faultCycle();
        QElapsedTimer clock;
        clock.start();
        int step = 0;
        while (clock.elapsed() < qint64(seconds) * 1000) {
            faults.at(step % faults.size())();
            ++step;
            pump(4000);
            if (!m_worker.isConnected()) {
                reconnect();
            }
        }
        m_worker.disconnectPort();
        pump(300);
        m_dataLog.finish();
        m_counters.requests += m_bus->drive.requests().size();
    }

    const Counters &counters() const { return m_counters; }
    QString dataLogFile() const { return m_logFile.fileName(); }
    int expectedColumns() const { return m_columns; }

  private:
    void wire() {
        m_worker.setInputList(m_inputs);
        m_worker.setHoldingList(m_holdings);
        threadhandoff::connectQueued(&m_worker, &Modbus::recv_input_registers, &m_context,
                                     [this](int, int start, const QVector<uint16_t> &words) {
                                         if (start != 0) {
                                             return;
                                         }
                                         ++m_counters.inputReplies;
                                         QString line;
                                         presentation::applyInputWords(m_inputs, words, &line);
                                         m_dataLog.writeValues(line, {});
                                     });
        threadhandoff::connectQueued(&m_worker, &Modbus::recv_holding_registers, &m_context,
                                     [this](int, const QVector<uint16_t> &) { ++m_counters.holdingReplies; });
        threadhandoff::connectQueued(&m_worker, &Modbus::update_errorNum, &m_context,
                                     [this](int) { ++m_counters.failures; });
        threadhandoff::connectQueued(&m_worker, &Modbus::ext_disconnected_start, &m_context,
                                     [this] { ++m_counters.outagesStarted; });
        threadhandoff::connectQueued(&m_worker, &Modbus::ext_disconnected_stop, &m_context,
                                     [this] { ++m_counters.outagesEnded; });
        threadhandoff::connectQueued(&m_worker, &Modbus::com_connected, &m_context,
                                     [this] { ++m_counters.connects; });
        threadhandoff::connectQueued(&m_worker, &Modbus::com_disconnected, &m_context,
                                     [this] { ++m_counters.disconnects; });
    }

    bool startBus() {
        if (m_bus) {
            m_counters.requests += m_bus->drive.requests().size();
        }
        m_bus = std::make_unique<SimulatedBus>();
        SimulatedDrive::Options options;
        options.mapFile = m_mapPath;
        QString error;
        if (!m_bus->start(options, &error)) {
            QTextStream(stderr) << "soak: " << error << "\n";
            return false;
        }
        return true;
    }

    bool connectWorker() {
        m_worker.setupConnection(m_bus->line.masterPort(), 0, 1, 115200, 0, m_inputs.size(),
                                 m_holdings.size(), 1000, 64);
        if (!m_started) {
            m_started = true;
            m_worker.init();
            QDir().mkpath(m_logDir);
            m_dataLog.start(m_logDir, m_inputs, {});
            m_columns = DataLog::nameHeader(m_inputs, {}).count(QLatin1Char(';'));
        } else {
            m_worker.connectPort();
        }
        const int before = m_counters.connects;
        QElapsedTimer t;
        t.start();
        while (m_counters.connects == before && t.elapsed() < 5000) {
            pump(50);
        }
        return m_counters.connects > before;
    }

    void reconnect() {
        if (!m_bus->drive.command(QStringLiteral("silent off"))) {
            ++m_counters.simulatorCrashes;  // restarted below
        }
        if (startBus() && connectWorker()) {
            ++m_counters.reconnects;
        }
    }

    bool command(const QString &line) {
        const bool ok = m_bus->drive.command(line);
        if (!ok) {
            ++m_counters.simulatorCrashes;
            reconnect();
        }
        return ok;
    }

    QList<std::function<void()>> faultCycle() {
        return {
            [this] { command(QStringLiteral("silent on")); },
            [this] { command(QStringLiteral("silent off")); },
            [this] { command(QStringLiteral("exception 04 * 2")); },
            [this] { command(QStringLiteral("exception clear")); },
            [this] { command(QStringLiteral("corrupt 3")); },
            [this] { command(QStringLiteral("corrupt 0")); },
            [this] { command(QStringLiteral("delay 300")); },
            [this] { command(QStringLiteral("delay 0")); },
            [this] { command(QStringLiteral("drop 2")); },
            [this] { command(QStringLiteral("drop 0")); },
            [this] { restartDrive(); },
            [this] { vanishPort(); },
        };
    }

    void restartDrive() {
        m_counters.requests += m_bus->drive.requests().size();
        m_bus->drive.stop();
        pump(1500);
        SimulatedDrive::Options options;
        options.port = m_bus->line.drivePort();
        options.mapFile = m_mapPath;
        if (!m_bus->drive.start(options)) {
            QTextStream(stderr) << "soak: the simulated drive did not restart\n";
        }
    }

    void vanishPort() {
        m_counters.requests += m_bus->drive.requests().size();
        m_bus->drive.stop();
        m_bus->line.stop();
        pump(1500);
        // The worker reports the lost port; run() reconnects it on a new line.
        m_bus.reset();
        startBus();
    }

    QObject m_context;
    xmlmap m_map;
    QString m_mapPath;
    QVector<input_reg_t *> m_inputs;
    QVector<holding_t *> m_holdings;
    QString m_logDir;
    logger m_logFile;
    DataLog m_dataLog;
    int m_columns = 0;
    bool m_started = false;
    Modbus m_worker;
    std::unique_ptr<SimulatedBus> m_bus;
    Counters m_counters;
};

// Every data line: the elapsed-time prefix, then one value per column, ended by a line feed.
QString checkDataLog(const QString &path, int columns, int *lines) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot read %1").arg(path);
    }
    const QByteArray content = f.readAll();
    if (!content.endsWith('\n')) {
        return QStringLiteral("the last line is not complete");
    }
    const QList<QByteArray> all = content.split('\n');
    *lines = 0;
    for (int i = 3; i < all.size() - 2; ++i) {  // header, two header lines ... finish line
        if (all.at(i).count(';') != columns) {
            return QStringLiteral("line %1 has %2 values, expected %3")
                .arg(i + 1)
                .arg(all.at(i).count(';'))
                .arg(columns);
        }
        ++*lines;
    }
    return QString();
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    int seconds = 600;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size()) {
        seconds = args.at(at + 1).toInt();
    }
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    QTemporaryDir dir;
    const long rssStart = rssKilobytes();
    Soak soak(testpaths::example(QStringLiteral("drive-map.xml")), dir.filePath(QStringLiteral("log")));
    if (!soak.start()) {
        return 2;
    }
    const long rssAfterStart = rssKilobytes();
    soak.run(seconds);
    const long rssEnd = rssKilobytes();
    int lines = 0;
    const QString logProblem = checkDataLog(soak.dataLogFile(), soak.expectedColumns(), &lines);
    const Counters &c = soak.counters();
    QTextStream out(stdout);
    out << "soak seconds:            " << seconds << "\n"
        << "requests sent:           " << c.requests << "\n"
        << "input replies:           " << c.inputReplies << "\n"
        << "holding replies:         " << c.holdingReplies << "\n"
        << "failures counted:        " << c.failures << "\n"
        << "outages started / ended: " << c.outagesStarted << " / " << c.outagesEnded << "\n"
        << "port connects / losses:  " << c.connects << " / " << c.disconnects << "\n"
        << "reconnects:              " << c.reconnects << "\n"
        << "simulator failures:      " << c.simulatorCrashes << "\n"
        << "RSS start / connected / end (kB): " << rssStart << " / " << rssAfterStart << " / " << rssEnd
        << "\n"
        << "data-log lines:          " << lines
        << (logProblem.isEmpty() ? " (all complete)" : " INCOMPLETE: " + logProblem) << "\n";
    return logProblem.isEmpty() ? 0 : 1;
}
