#include "ptylink.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

PtyLink::PtyLink(QObject *parent) : QObject(parent) {
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(kQuietGapMs);
    connect(&m_quietTimer, &QTimer::timeout, this, &PtyLink::releaseReply);
}

PtyLink::~PtyLink() {
    closeMaster();
}

bool PtyLink::open(QString *error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        closeMaster();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        *error = QStringLiteral("cannot name the pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        closeMaster();
        return false;
    }
    // Raw from the start: bytes that arrive before the drive has opened its end must not be
    // echoed or edited by the line discipline.
    termios tio{};
    if (tcgetattr(m_master, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_master, TCSANOW, &tio);
    }
    m_slavePath = QString::fromLocal8Bit(name);
    // Holding the slave end open ourselves keeps the master from reporting hang-up (and
    // reads from failing with EIO) before the drive opens it or while it reopens it.
    m_slaveKeepAlive = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLink::readFromDrive);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLink::writeToDrive);
    return true;
}

void PtyLink::closeMaster() {
    if (m_readNotifier) {
        m_readNotifier->setEnabled(false);
    }
    if (m_writeNotifier) {
        m_writeNotifier->setEnabled(false);
    }
    if (m_slaveKeepAlive >= 0) {
        ::close(m_slaveKeepAlive);
        m_slaveKeepAlive = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

void PtyLink::send(const QByteArray &bytes) {
    if (m_master < 0) {
        return;
    }
    m_toDrive.append(bytes);
    writeToDrive();
}

void PtyLink::writeToDrive() {
    while (!m_toDrive.isEmpty()) {
        const ssize_t written = ::write(m_master, m_toDrive.constData(), size_t(m_toDrive.size()));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN) {
                m_toDrive.clear();  // the drive's end is gone; nobody will read these bytes
            }
            break;
        }
        m_toDrive.remove(0, int(written));
    }
    m_writeNotifier->setEnabled(!m_toDrive.isEmpty());
}

void PtyLink::readFromDrive() {
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            m_fromDrive.append(buffer, int(got));
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            // EIO: the drive closed its end (shutting down); stop listening instead of spinning.
            m_readNotifier->setEnabled(false);
        }
        break;
    }
    if (!m_fromDrive.isEmpty()) {
        m_quietTimer.start();
    }
}

void PtyLink::planReply(int delayMs, bool corrupt, QDeadlineTimer notBefore) {
    m_plans.enqueue({delayMs, corrupt, notBefore});
}

void PtyLink::releaseReply() {
    QByteArray reply = m_fromDrive;
    m_fromDrive.clear();
    const Plan plan = m_plans.isEmpty() ? Plan{} : m_plans.dequeue();
    if (plan.corrupt && !reply.isEmpty()) {
        reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0x5A);  // the CRC no longer matches
    }
    const qint64 lineWaitNs = std::max<qint64>(0, plan.notBefore.remainingTimeNSecs());
    const int waitMs = plan.delayMs + int((lineWaitNs + 999999) / 1000000);
    if (waitMs > 0) {
        QTimer::singleShot(waitMs, Qt::PreciseTimer, this, [this, reply] { emit replyReady(reply); });
    } else {
        emit replyReady(reply);
    }
}
