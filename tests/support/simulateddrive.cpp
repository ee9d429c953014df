#include "simulateddrive.h"

#include <QFile>
#include <QtTest>

#include "testpaths.h"

bool SimulatedDrive::start(const Options &options, QString *error) {
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    m_run = Run();
    QString addresses;
    for (int address : options.addresses) {
        addresses += QLatin1Char(',') + QString::number(address);
    }
    QStringList args;
    args << "--speed" << QString::number(options.speed) << "--address" << addresses.mid(1) << "--log"
         << file("sim.log") << "--image-dir" << file("images") << "--quit-on-eof"
         << "--access-level" << QString::number(options.accessLevel);
    for (const auto &[flag, value] :
         {std::pair{"--port", options.port}, {"--tcp", options.tcp}, {"--map", options.mapFile}}) {
        args << (value.isEmpty() ? QStringList() : QStringList{flag, value});
    }
    args << (options.lineTiming ? QStringList{"--line-timing"} : QStringList()) << options.extraArgs;
    m_process = std::make_unique<QProcess>();
    // A file, not a pipe: nothing has to drain it while a test is busy elsewhere.
    m_process->setStandardErrorFile(file("sim.err"));
    m_process->start(testpaths::simulator(), args);
    const QString ready = waitForOutputLine(
        [this](const QString &line) {
            const QString listening = QStringLiteral("LISTENING ");
            m_run.tcpEndpoint = line.startsWith(listening) ? line.mid(listening.size()) : m_run.tcpEndpoint;
            return line == QLatin1String("READY");
        },
        10000);
    if (ready.isEmpty()) {
        QFile err(file("sim.err"));
        const QString why =
            (err.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(err.readAll()) : QString()) +
            QStringLiteral(" (%1)").arg(m_process->errorString());
        stop();
        return testprocess::fail(error, QStringLiteral("the simulator did not get ready: ") + why);
    }
    return true;
}

bool SimulatedDrive::command(const QString &line) {
    if (!m_process || m_process->state() != QProcess::Running) {
        return false;
    }
    const QString ok = "OK " + line.trimmed(), refused = "ERR " + line.trimmed() + ':';
    m_process->write(line.trimmed().toUtf8() + '\n');
    return waitForOutputLine([&](const QString &out) { return out == ok || out.startsWith(refused); },
                             5000) == ok;
}

QString SimulatedDrive::waitForOutputLine(const std::function<bool(const QString &)> &last, int timeoutMs) {
    QString found;
    const bool ended = QTest::qWaitFor(
        [&] {
            m_run.output += m_process->readAllStandardOutput();
            for (int end; found.isEmpty() && (end = m_run.output.indexOf('\n')) >= 0;
                 m_run.output.remove(0, end + 1)) {
                const QString line = QString::fromUtf8(m_run.output.left(end)).trimmed();
                found = last(line) ? line : QString();
            }
            return !found.isEmpty() || m_process->state() == QProcess::NotRunning;
        },
        timeoutMs);
    return ended ? found : QString();
}

QStringList SimulatedDrive::logLines() const {
    QFile log(file("sim.log"));
    if (log.open(QIODevice::ReadOnly) && log.seek(m_run.logOffset)) {
        const QByteArray fresh = log.readAll();
        const int end = fresh.lastIndexOf('\n') + 1;  // a line still being written waits
        m_run.logOffset += end;
        const QStringList lines = QString::fromUtf8(fresh.left(end)).split('\n', Qt::SkipEmptyParts);
        static const QRegularExpression request(QStringLiteral("^REQ "));
        m_run.logLines += lines;
        m_run.requests += lines.filter(request).replaceInStrings(request, QString());
    }
    return m_run.logLines;
}

QStringList SimulatedDrive::requests() const {
    logLines();
    return m_run.requests;
}

bool SimulatedDrive::waitForLog(const std::function<bool(const QStringList &)> &done, int timeoutMs) const {
    return QTest::qWaitFor([&] { return done(logLines()); }, timeoutMs);
}

void addTransportRows() {
    QTest::addColumn<Transport>("transport");
    QTest::newRow("serial") << Transport::Serial;
    QTest::newRow("tcp") << Transport::Tcp;
}

// Starts the line (serial) and the simulator on it or on the given TCP "HOST:PORT".
bool SimulatedBus::launch(SimulatedDrive::Options options, const QString &tcp, QString *error) {
    if (transport == Transport::Tcp) {
        options.tcp = tcp;
    } else if (line.start(error)) {
        options.port = line.drivePort();
    } else {
        return false;
    }
    return drive.start(options, error);
}

bool SimulatedBus::start(const SimulatedDrive::Options &o, QString *error) {
    return launch(o, QStringLiteral("127.0.0.1:0"), error);
}

bool SimulatedBus::restartDrive(const SimulatedDrive::Options &o, QString *error) {
    const QString previous = endpoint();  // the same TCP port again
    return launch(o, previous.mid(QStringLiteral("tcp://").size()), error) &&
           (transport == Transport::Serial || endpoint() == previous);
}

void SimulatedBus::pullThePlug() {
    drive.stop();
    if (transport == Transport::Serial) {
        line.stop();
    }
}

bool startExampleDrive(SimulatedBus &bus, Transport transport) {
    bus.transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
    QString error;
    const bool started = bus.start(options, &error);
    if (!started) {
        qWarning() << error;
    }
    return started;
}
