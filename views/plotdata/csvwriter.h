#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <optional>

// Writes samples as CSV: a header row, then one row per sample with its time in ISO 8601
// (local time with its offset), the seconds since Connect and one column per curve.
namespace plotdata {

class CsvWriter {
  public:
    explicit CsvWriter(QIODevice *device) : m_device(device) {}

    // "Speed [rpm]"; the name alone when the unit is empty or "none".
    static QString columnTitle(const QString &name, const QString &unit);

    // A value as few digits as read back to it: a value that is a single-precision number (every
    // reading of the drive) as that float's shortest text, 534.4 and not 534.400024.
    static QByteArray numberText(double value);

    void writeHeader(const QStringList &columnTitles);
    // A NaN value leaves its cell empty.
    void writeRow(qint64 msecsSinceEpoch, qint64 connectMsecsSinceEpoch, const double *values, int count);
    bool ok() const { return m_ok; }

  private:
    void write(QByteArray &line);  // adds the line end
    void appendTime(qint64 msecsSinceEpoch);
    // The local time's offset from UTC at that moment, in seconds.
    int localOffset(qint64 msecsSinceEpoch);

    QIODevice *m_device;
    bool m_ok = true;
    std::optional<qint64> m_offsetQuarter;
    int m_offsetSeconds = 0;
    QByteArray m_line;
    QByteArray m_timeText;  // of m_timeSecond at m_timeOffset
    qint64 m_timeSecond = 0;
    int m_timeOffset = 0;
    int m_millisAt = 0;  // where its milliseconds are
};

}  // namespace plotdata
