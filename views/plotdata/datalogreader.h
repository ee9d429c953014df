#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "map/descriptors.h"

// Reads a data log the program wrote: the "Log started at" line, a line of register names and
// a line of units (each entry ";" + text after the elapsed time), then one line per reply,
// "hh:mm:ss.zzz;value;value...", and the closing "Log finished at" line.
namespace plotdata {

class DataLogReader {
  public:
    // How a column's text is read: the tables show "bin" registers in base 2 ("101" is 5);
    // every other column is decimal, or hexadecimal with "0x".
    enum class ColumnKind { Number, Binary };
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

    // The kind of each column, in the order of names(); columns past the end are numbers.
    void setColumnKinds(const QVector<ColumnKind> &kinds) { m_kinds = kinds; }
    // The kinds the register map gives the log's columns, found by register name.
    static QVector<ColumnKind> kindsFromMap(const QStringList &names, const QVector<input_reg_t *> &inputs);

    // Hands each data line to row with the values of the given columns (NaN where the text is
    // no number or the line is short), in time order; reports progress in percent of the file
    // read. Skipped and counted: lines that are not data lines; lines out of time order (before
    // the previous line, or so far ahead of it that only the next line can confirm the jump,
    // and it does not); a last line cut short (no line end), whose last value may be cut.
    bool readRows(const QVector<int> &columns, const Row &row, const Progress &progress, QString *error);
    int skippedLines() const { return m_skipped + m_outOfOrder + m_truncated; }
    int notDataLines() const { return m_skipped; }
    int outOfOrderLines() const { return m_outOfOrder; }
    int truncatedLines() const { return m_truncated; }
    // What was skipped, for the user ("2 lines skipped: 1 out of time order, ..."); empty when none.
    QString skippedSummary() const;

    // A time at most this far ahead of the line before is taken at once; further ahead, the
    // next line must confirm it (the drive may have been silent for a while).
    static constexpr qint64 kPlausibleStepMs = 60 * 1000;

    // "00:01:05.042" → 65042; -1 when the text is not an elapsed time (or more than a century).
    static qint64 parseElapsed(const QByteArray &text);
    static qint64 parseElapsed(const char *begin, const char *end);
    // A value as the tables show it: decimal, or hexadecimal with "0x"; NaN otherwise.
    static double parseValue(const QByteArray &text);
    static double parseValue(const char *begin, const char *end);
    // "101" → 5; NaN unless the text is binary digits only.
    static double parseBinary(const char *begin, const char *end);

  private:
    bool readHeaderLine(QStringList *entries, QString *error);

    QFile m_file;
    QDateTime m_start;
    QStringList m_names;
    QStringList m_units;
    QVector<ColumnKind> m_kinds;
    int m_skipped = 0;
    int m_outOfOrder = 0;
    int m_truncated = 0;
};

}  // namespace plotdata
