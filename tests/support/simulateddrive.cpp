#include "simulateddrive.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "testpaths.h"

namespace {

constexpr int kReadyTimeoutMs = 10000;
constexpr int kCommandTimeoutMs = 5000;

void setError(QString *error, const QString &message) {
    if (error) {
        *error = message;
    }
}

QString joinAddresses(const QList<int> &addresses) {
    QStringList parts;
    for (int address : addresses) {
        parts.append(QString::number(address));
    }
    return parts.join(QLatin1Char(','));
}

}  // namespace

SimulatedDrive::SimulatedDrive() = default;

SimulatedDrive::~SimulatedDrive() {
    stop();
}

QString SimulatedDrive::logPath() const {
    return m_dir ? m_dir->filePath(QStringLiteral("sim.log")) : QString();
}

QString SimulatedDrive::errorPath() const {
    return m_dir ? m_dir->filePath(QStringLiteral("sim.err")) : QString();
}

QString SimulatedDrive::imagePath(const QString &controller) const {
    return m_dir ? m_dir->filePath(QStringLiteral("images/%1.bin").arg(controller)) : QString();
}

bool SimulatedDrive::start(const Options &options, QString *error) {
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        setError(error, QStringLiteral("cannot create a temporary directory for the simulator"));
        return false;
    }
    QStringList args{QStringLiteral("--speed"),        QString::number(options.speed),
                     QStringLiteral("--framing"),      QString::number(options.framing),
                     QStringLiteral("--address"),      joinAddresses(options.addresses),
                     QStringLiteral("--log"),          logPath(),
                     QStringLiteral("--image-dir"),    m_dir->filePath(QStringLiteral("images")),
                     QStringLiteral("--access-level"), QString::number(options.accessLevel),
                     QStringLiteral("--quit-on-eof")};
    if (options.lineTiming) {
        args << QStringLiteral("--line-timing");
    }
    if (!options.port.isEmpty()) {
        args << QStringLiteral("--port") << options.port;
    }
    if (!options.tcp.isEmpty()) {
        args << QStringLiteral("--tcp") << options.tcp;
    }
    if (!options.mapFile.isEmpty()) {
        args << QStringLiteral("--map") << options.mapFile;
    }
    args << options.extraArgs;
    m_output.clear();
    m_tcpEndpoint.clear();
    m_logOffset = 0;
    m_logPartial.clear();
    m_logLines.clear();
    m_process = std::make_unique<QProcess>();
    // A file, not a pipe: nothing has to drain it while a test is busy elsewhere.
    m_process->setStandardErrorFile(errorPath());
    m_process->start(testpaths::simulator(), args);
    if (!m_process->waitForStarted(kReadyTimeoutMs)) {
        setError(error,
                 QStringLiteral("cannot run %1: %2").arg(testpaths::simulator(), m_process->errorString()));
        return false;
    }
    const QString listening = QStringLiteral("LISTENING ");
    const auto ready = [&](const QString &line) {
        if (line.startsWith(listening)) {
            m_tcpEndpoint = line.mid(listening.size());
        }
        return line == QLatin1String("READY") ? 1 : 0;
    };
    if (!waitForOutputLine(ready, kReadyTimeoutMs)) {
        setError(error, QStringLiteral("the simulator did not get ready: %1").arg(diagnostics()));
        stop();
        return false;
    }
    return true;
}

void SimulatedDrive::stop() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->write("quit\n");
        if (!m_process->waitForFinished(2000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_process.reset();
}

bool SimulatedDrive::command(const QString &line) {
    if (!m_process || m_process->state() != QProcess::Running) {
        return false;
    }
    const QString trimmed = line.trimmed();
    m_process->write(trimmed.toUtf8() + '\n');
    const QString ok = QStringLiteral("OK ") + trimmed;
    const QString refused = QStringLiteral("ERR ") + trimmed + QLatin1Char(':');
    return waitForOutputLine(
        [&](const QString &out) { return out == ok ? 1 : (out.startsWith(refused) ? -1 : 0); },
        kCommandTimeoutMs);
}

// Consumes stdout lines until verdict() gives 1 (true) or -1 (false).
bool SimulatedDrive::waitForOutputLine(const std::function<int(const QString &)> &verdict, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int end = 0;
        while ((end = m_output.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_output.left(end)).trimmed();
            m_output.remove(0, end + 1);
            if (const int result = verdict(line)) {
                return result > 0;
            }
        }
        if (deadline.hasExpired() || m_process->state() == QProcess::NotRunning) {
            return false;
        }
        QCoreApplication::processEvents();
        m_process->waitForReadyRead(10);
        m_output += m_process->readAllStandardOutput();
    }
}

QString SimulatedDrive::diagnostics() const {
    if (!m_process) {
        return QString();
    }
    QFile file(errorPath());
    QString text =
        file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed() : QString();
    if (m_process->state() == QProcess::NotRunning) {
        text += QStringLiteral(" (exit code %1)").arg(m_process->exitCode());
    }
    return text;
}

QStringList SimulatedDrive::logLines() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return m_logLines;
    }
    if (file.size() < m_logOffset) {  // a new log (restarted simulator)
        m_logOffset = 0;
        m_logPartial.clear();
        m_logLines.clear();
    }
    file.seek(m_logOffset);
    const QByteArray fresh = file.readAll();
    m_logOffset += fresh.size();
    m_logPartial += fresh;
    int end = 0;
    while ((end = m_logPartial.indexOf('\n')) >= 0) {
        const QByteArray line = m_logPartial.left(end);
        m_logPartial.remove(0, end + 1);
        if (!line.isEmpty()) {
            m_logLines.append(QString::fromUtf8(line));
        }
    }
    return m_logLines;
}

QStringList SimulatedDrive::requests() const {
    QStringList result;
    for (const QString &line : logLines()) {
        if (line.startsWith(QLatin1String("REQ "))) {
            result.append(line.mid(4));
        }
    }
    return result;
}

bool SimulatedDrive::waitForLog(const std::function<bool(const QStringList &)> &done, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (done(logLines())) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

void addTransportRows() {
    QTest::addColumn<Transport>("transport");
    QTest::newRow("serial") << Transport::Serial;
    QTest::newRow("tcp") << Transport::Tcp;
}

namespace {

// Starts the line (serial) and the simulator on it or on the given TCP "HOST:PORT".
bool launch(SimulatedBus &bus, SimulatedDrive::Options options, const QString &tcp, QString *error) {
    if (bus.transport == Transport::Serial && !bus.line.start(error)) {
        return false;
    }
    if (bus.transport == Transport::Tcp) {
        options.tcp = tcp;
    } else {
        options.port = bus.line.drivePort();
    }
    return bus.drive.start(options, error);
}

}  // namespace

bool SimulatedBus::start(const SimulatedDrive::Options &o, QString *error) {
    return launch(*this, o, QStringLiteral("127.0.0.1:0"), error);
}

bool SimulatedBus::restartDrive(const SimulatedDrive::Options &o, QString *error) {
    const QString previous = endpoint();  // the same TCP port again
    return launch(*this, o, previous.mid(QStringLiteral("tcp://").size()), error) &&
           (transport == Transport::Serial || endpoint() == previous);
}

QString SimulatedBus::endpoint() const {
    return transport == Transport::Tcp ? drive.tcpEndpoint() : line.masterPort();
}

void SimulatedBus::pullThePlug() {
    drive.stop();
    if (transport == Transport::Serial) {
        line.stop();
    }
}
