#pragma once

#include <signal.h>
#include <sys/types.h>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

// The throwaway PostgreSQL server of scripts/pg-throwaway.sh (its folder in MVX_PG_DIR),
// made to hang like a frozen host: the postmaster and every server process stopped with
// SIGSTOP, so connections stay open and nothing answers.
class HungServer {
  public:
    HungServer() : m_dataDir(qEnvironmentVariable("MVX_PG_DIR") + QStringLiteral("/data")) {}
    ~HungServer() { resume(); }
    HungServer(const HungServer &) = delete;
    HungServer &operator=(const HungServer &) = delete;

    bool isKnown() const { return postmaster() > 0; }

    // The postmaster first, so it starts no new process meanwhile.
    bool hang() {
        const pid_t main = postmaster();
        if (main <= 0 || !m_stopped.isEmpty()) {
            return false;
        }
        m_stopped = QList<pid_t>{main} + childrenOf(main);
        for (pid_t pid : m_stopped) {
            kill(pid, SIGSTOP);
        }
        return true;
    }
    void resume() {
        for (auto it = m_stopped.crbegin(); it != m_stopped.crend(); ++it) {
            kill(*it, SIGCONT);
        }
        m_stopped.clear();
    }

  private:
    pid_t postmaster() const {
        QFile pidFile(m_dataDir + QStringLiteral("/postmaster.pid"));
        return pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readLine().trimmed().toInt()) : 0;
    }
    // From /proc/PID/stat: "PID (NAME) STATE PPID ..."; the name may hold spaces.
    static QList<pid_t> childrenOf(pid_t parent) {
        QList<pid_t> children;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly)) {
                continue;
            }
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[1].toInt() == parent) {
                children << pid_t(entry.toInt());
            }
        }
        return children;
    }

    QString m_dataDir;
    QList<pid_t> m_stopped;
};
