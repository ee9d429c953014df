#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Reads a data log the program wrote: the "Log started at" line, a line of register names and
// a line of units (each entry ";" + text after the elapsed time), then one line per reply,
// "hh:mm:ss.zzz;value;value...", and the closing "Log finished at" line.
namespace plotdata {

class DataLogReader {
  public:
    using Progress = std::function<void(int percent)>;
    using Row = std::function<void(qint64 elapsedMs, const QVector<double> &values)>;

    // Opens the file and reads everything before the first data line. False with a reason
    // when the file cannot be read or does not start like a data log.
    bool open(const QString &path, QString *error);

    QDateTime startTime() const { return m_start; }
    QStringList names() const { return m_names; }
    QStringList units() const { return m_units; }
    // The column of this name, or -1.
    int columnOf(const QString &name) const { return m_names.indexOf(name); }

    // Hands each data line to row with the values of the given columns (NaN where the text is
    // no number or the line is short), in time order; reports progress in percent of the file
    // read. Lines that are not data lines, or whose time is before the previous line's, are
    // counted and skipped.
    bool readRows(const QVector<int> &columns, const Row &row, const Progress &progress, QString *error);
    int skippedLines() const { return m_skipped; }

    // "00:01:05.042" → 65042; -1 when the text is not an elapsed time (or more than a century).
    static qint64 parseElapsed(const QByteArray &text);
    // A value as the tables show it: decimal, or hexadecimal with "0x"; NaN otherwise.
    static double parseValue(const QByteArray &text);
    static double parseValue(const char *begin, const char *end);

  private:
    bool readHeaderLine(QStringList *entries, QString *error);

    QFile m_file;
    QDateTime m_start;
    QStringList m_names;
    QStringList m_units;
    int m_skipped = 0;
};

}  // namespace plotdata
