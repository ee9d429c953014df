#include "virtualserial.h"

#include <sys/prctl.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

constexpr int kStartTimeoutMs = 5000;

void setError(QString *error, const QString &message) {
    if (error) {
        *error = message;
    }
}

// socat would outlive a test that crashes; this one is terminated with its parent. (The
// signal follows the thread that started it: start the pair from a thread that lives as
// long as the pair.)
class ParentBoundProcess : public QProcess {
  protected:
    void setupChildProcess() override { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }
};

}  // namespace

VirtualSerialPair::VirtualSerialPair() = default;

VirtualSerialPair::~VirtualSerialPair() {
    stop();
}

QString VirtualSerialPair::drivePort() const {
    return m_dir ? m_dir->filePath(QStringLiteral("drive")) : QString();
}

QString VirtualSerialPair::masterPort() const {
    return m_dir ? m_dir->filePath(QStringLiteral("master")) : QString();
}

bool VirtualSerialPair::start(QString *error) {
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        setError(error, QStringLiteral("cannot create a temporary directory for the serial links"));
        return false;
    }
    m_socat = std::make_unique<ParentBoundProcess>();
    m_socat->setProcessChannelMode(QProcess::MergedChannels);
    const QString options = QStringLiteral("pty,raw,echo=0,link=%1");
    m_socat->start(QStringLiteral("socat"), {QStringLiteral("-d"), QStringLiteral("-d"),
                                             options.arg(drivePort()), options.arg(masterPort())});
    if (!m_socat->waitForStarted(kStartTimeoutMs)) {
        setError(error, QStringLiteral("cannot run socat: %1").arg(m_socat->errorString()));
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!(QFileInfo::exists(drivePort()) && QFileInfo::exists(masterPort()))) {
        if (m_socat->state() == QProcess::NotRunning || deadline.hasExpired()) {
            setError(error, QStringLiteral("socat did not create the links: %1")
                                .arg(QString::fromLocal8Bit(m_socat->readAll())));
            stop();
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

void VirtualSerialPair::stop() {
    if (m_socat && m_socat->state() != QProcess::NotRunning) {
        m_socat->terminate();
        if (!m_socat->waitForFinished(2000)) {
            m_socat->kill();
            m_socat->waitForFinished(2000);
        }
    }
    m_socat.reset();
}
