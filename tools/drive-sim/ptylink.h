#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QQueue>
#include <QTimer>

class QSocketNotifier;

// One simulated drive's tap on the shared bus: a pseudo-terminal pair whose slave end the
// drive's Modbus server opens like a serial port, while the bus keeps the master end.
// Bytes from the bus go in with send(); whatever the drive writes back comes out of
// replyReady() once the line has been quiet for a moment (one reply = one burst), after
// the delay and damage planned for it.
class PtyLink : public QObject {
    Q_OBJECT

  public:
    static constexpr int kQuietGapMs = 3;

    explicit PtyLink(QObject *parent = nullptr);
    ~PtyLink() override;

    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }

    void send(const QByteArray &bytes);
    // The plan for the next reply the drive writes (in the order the replies are written): held
    // back until notBefore, then for delayMs more.
    void planReply(int delayMs, bool corrupt, QDeadlineTimer notBefore = QDeadlineTimer(0));

  signals:
    void replyReady(const QByteArray &bytes);

  private:
    struct Plan {
        int delayMs = 0;
        bool corrupt = false;
        QDeadlineTimer notBefore{0};
    };

    void readFromDrive();
    void writeToDrive();
    void releaseReply();
    void closeMaster();

    int m_master = -1;
    int m_slaveKeepAlive = -1;
    QString m_slavePath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_toDrive;
    QByteArray m_fromDrive;
    QTimer m_quietTimer;
    QQueue<Plan> m_plans;
};
