#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUuid>

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

// Certificates for the throwaway server, made with openssl in a folder of its server (the
// server's own user must read its key): a CA, a server certificate it signs for 127.0.0.1,
// and a second CA that signed nothing.
class TestCertificates {
  public:
    TestCertificates()
        : m_dir(qEnvironmentVariable("MVX_PG_DIR") + QStringLiteral("/tls-") +
                QUuid::createUuid().toString(QUuid::Id128).left(8)) {}

    const QString &folder() const { return m_dir; }
    QString path(const QString &name) const { return m_dir + QLatin1Char('/') + name; }

    // False with openssl's words in *error.
    bool make(QString *error) {
        const QStringList newKey{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                                 QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        QFile extensions(path(QStringLiteral("server.ext")));
        if (!QDir().mkpath(m_dir) || !extensions.open(QIODevice::WriteOnly)) {
            *error = QStringLiteral("cannot write in ") + m_dir;
            return false;
        }
        extensions.write("subjectAltName=IP:127.0.0.1\n");
        extensions.close();
        const QList<QStringList> commands{
            QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey +
                QStringList{QStringLiteral("-keyout"), path(QStringLiteral("ca.key")), QStringLiteral("-out"),
                            path(QStringLiteral("ca.crt")), QStringLiteral("-days"), QStringLiteral("30"),
                            QStringLiteral("-subj"), QStringLiteral("/CN=mvx test CA")},
            QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey +
                QStringList{QStringLiteral("-keyout"), path(QStringLiteral("other-ca.key")),
                            QStringLiteral("-out"), path(QStringLiteral("other-ca.crt")),
                            QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
                            QStringLiteral("/CN=another CA")},
            QStringList{QStringLiteral("req")} + newKey +
                QStringList{QStringLiteral("-keyout"), path(QStringLiteral("server.key")),
                            QStringLiteral("-out"), path(QStringLiteral("server.csr")),
                            QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")},
            QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        path(QStringLiteral("server.csr")), QStringLiteral("-CA"),
                        path(QStringLiteral("ca.crt")), QStringLiteral("-CAkey"),
                        path(QStringLiteral("ca.key")), QStringLiteral("-CAcreateserial"),
                        QStringLiteral("-out"), path(QStringLiteral("server.crt")), QStringLiteral("-days"),
                        QStringLiteral("30"), QStringLiteral("-extfile"), path(QStringLiteral("server.ext"))},
        };
        for (const QStringList &args : commands) {
            QProcess openssl;
            openssl.start(QStringLiteral("openssl"), args);
            if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
                openssl.exitCode() != 0) {
                *error = QStringLiteral("openssl %1: %2 %3")
                             .arg(args.first(), openssl.errorString(),
                                  QString::fromLocal8Bit(openssl.readAllStandardError()));
                return false;
            }
        }
        // The server reads its key only when its own user owns it and no one else may read it.
        const QFileInfo data(qEnvironmentVariable("MVX_PG_DIR") + QStringLiteral("/data"));
        for (const QString &name : {QStringLiteral("server.key"), QStringLiteral("server.crt")}) {
            const QByteArray file = QFile::encodeName(path(name));
            if (chmod(file.constData(), 0600) != 0 ||
                chown(file.constData(), data.ownerId(), data.groupId()) != 0) {
                *error = QStringLiteral("cannot hand %1 to the server's user").arg(name);
                return false;
            }
        }
        return true;
    }

  private:
    QString m_dir;
};
