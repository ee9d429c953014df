#pragma once

#include <QString>
#include <memory>

class QProcess;
class QTemporaryDir;

// Two connected pseudo-terminals made by socat: whatever is written to one end can be read
// from the other, like a null-modem cable. The drive side and the master side each open
// their own end by path.
class VirtualSerialPair {
  public:
    VirtualSerialPair();
    ~VirtualSerialPair();  // stops socat
    VirtualSerialPair(const VirtualSerialPair &) = delete;
    VirtualSerialPair &operator=(const VirtualSerialPair &) = delete;

    bool start(QString *error = nullptr);  // waits until both links exist
    void stop();
    QString drivePort() const;
    QString masterPort() const;

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_socat;
};
