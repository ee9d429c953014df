#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testprocess {
// Sends `quitLine` (or SIGTERM when empty), then kills the process if it has not gone in 2 s.
void stop(std::unique_ptr<QProcess> &process, const QByteArray &quitLine = QByteArray());
// Hands `message` to *error, or to the test's output when no error is asked for; false.
bool fail(QString *error, const QString &message);
}  // namespace testprocess

// Two connected pseudo-terminals made by socat: whatever is written to one end can be read
// from the other, like a null-modem cable. The drive side and the master side each open
// their own end by path.
class VirtualSerialPair {
  public:
    ~VirtualSerialPair() { stop(); }
    // Waits until both links exist; started again, the pair comes back at the same paths, as a
    // USB adapter plugged in again does.
    bool start(QString *error = nullptr);
    void stop() { testprocess::stop(m_socat); }
    QString drivePort() const { return m_dir ? m_dir->filePath(QStringLiteral("drive")) : QString(); }
    QString masterPort() const { return m_dir ? m_dir->filePath(QStringLiteral("master")) : QString(); }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_socat;
};
