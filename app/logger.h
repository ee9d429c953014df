#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Writes one plain-text log file at a time. Lines end with a single line feed and reach the
// file as soon as they are written. Writing to a logger that is not open does nothing.
class logger : public QObject {
    Q_OBJECT
  public:
    using WallClock = std::function<QDateTime()>;
    using MonotonicClock = std::function<qint64()>;  // milliseconds from any fixed origin

    explicit logger(QObject *parent = nullptr);

    // Replaces the clocks (tests); the defaults are the local time and a monotonic timer.
    void setClocks(WallClock now, MonotonicClock monotonicMs);

    // "<dir>/<yyyyMMdd-hhmmss>-log.txt" for the name "log", "<dir>/<yyyyMMdd-hhmmss>-<name>-log.txt"
    // otherwise; an existing file is never reused: "-2", "-3"... is added before "-log.txt".
    bool startLog(const QString &dir, const QString &name);
    // "<dir>/<yyyyMMdd>-summary.txt", opened for appending.
    bool startSummary(const QString &dir, const QString &name);
    void writeLine(const QString &text);
    void writeRaw(const QString &text);
    void finishLog();

    bool isOpen() const;
    // The current file, or the last one after finishLog(); empty when no start succeeded.
    QString fileName() const;

    // "hh:mm:ss.zzz" with hours not wrapped at 24.
    static QString elapsedText(qint64 milliseconds);

  signals:
    // A line did not reach the file (disk full, device gone); said once per file.
    void writeFailed(const QString &message);

  private:
    void restartClocks();
    bool openNewLog(const QString &basePath);
    bool openFile(const QString &path, QIODevice::OpenMode mode);
    void write(const QString &text);
    QString stampLine(const QString &what, const QDateTime &when) const;

    WallClock m_now;
    MonotonicClock m_monotonicMs;
    QElapsedTimer m_monotonicTimer;
    QDateTime m_start;
    qint64 m_startMs = 0;
    std::unique_ptr<QFile> m_file;
    bool m_writeFailureSaid = false;
};
