#include "virtualserial.h"

#include <sys/prctl.h>
#include <QFileInfo>
#include <QTest>
#include <csignal>

namespace {

// socat would outlive a test that crashes; this one is terminated with its parent. (The
// signal follows the thread that started it: start the pair from a thread that lives as
// long as the pair.)
class ParentBoundProcess : public QProcess {
  protected:
    void setupChildProcess() override { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }
};

}  // namespace

bool VirtualSerialPair::start(QString *error) {
    stop();
    if (!m_dir) {
        m_dir = std::make_unique<QTemporaryDir>();  // a restart makes its links at the same paths
    }
    m_socat = std::make_unique<ParentBoundProcess>();
    m_socat->setProcessChannelMode(QProcess::MergedChannels);
    const QString options = QStringLiteral("pty,raw,echo=0,link=%1");
    m_socat->start(QStringLiteral("socat"), {QStringLiteral("-d"), QStringLiteral("-d"),
                                             options.arg(drivePort()), options.arg(masterPort())});
    const auto linked = [this] { return QFileInfo::exists(drivePort()) && QFileInfo::exists(masterPort()); };
    if (QTest::qWaitFor([&] { return linked() || m_socat->state() == QProcess::NotRunning; }, 5000) &&
        linked()) {
        return true;
    }
    const QString output = QString::fromLocal8Bit(m_socat->readAll()) + m_socat->errorString();
    stop();
    return testprocess::fail(error, QStringLiteral("socat did not create the links: ") + output);
}

void testprocess::stop(std::unique_ptr<QProcess> &process, const QByteArray &quitLine) {
    if (process && process->state() != QProcess::NotRunning) {
        quitLine.isEmpty() ? process->terminate() : void(process->write(quitLine));
        if (!process->waitForFinished(2000)) {
            process->kill();
            process->waitForFinished(2000);
        }
    }
    process.reset();
}

bool testprocess::fail(QString *error, const QString &message) {
    error ? void(*error = message) : qWarning("%s", qPrintable(message));
    return false;
}
