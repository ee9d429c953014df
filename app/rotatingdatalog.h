#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>

#include "app/datalog.h"
#include "app/logger.h"

// The data log of an unattended monitor: the window's format, one file at a time in one folder,
// and a new file when the day changes or the file has reached a size limit, so that a week of
// polling leaves files of a day (or of a size) that open on their own.
class RotatingDataLog {
  public:
    using Today = std::function<QDate()>;
    static constexpr qint64 kDefaultLimitBytes = 100 * 1024 * 1024;

    RotatingDataLog(const QString &dir, const QVector<input_reg_t *> &inputs, qint64 limitBytes);

    // Replaces the calendar (tests); the default is the local date.
    void setToday(Today today) { m_today = std::move(today); }
    logger &file() { return m_file; }
    // The other watched drives' columns (see DataLog::setOtherDrives), in every file started.
    void setOtherDrives(const plotdata::OtherDrives *others) { m_log.setOtherDrives(others); }

    // Starts the first file; false when the folder cannot be written.
    bool start();
    // One reply's values (";" + text each), in a new file first when one is due.
    void writeValues(const QString &values);
    // The line was lost (see DataLog::writeGap).
    void writeGap();
    // Writes the footer and closes the file.
    void finish();
    bool isOpen() const { return m_log.isOpen(); }
    // Every file started so far, oldest first.
    QStringList files() const { return m_files; }

    // Whether a file started on `started` that holds `bytes` gives way to a new one.
    static bool isDue(const QDate &started, const QDate &today, qint64 bytes, qint64 limitBytes);

  private:
    bool startFile();

    QString m_dir;
    QVector<input_reg_t *> m_inputs;
    qint64 m_limitBytes;
    Today m_today;
    logger m_file;
    DataLog m_log;
    QDate m_started;
    qint64 m_bytes = 0;
    QStringList m_files;
};
