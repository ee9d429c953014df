#include "views/plotdata/datalogreader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace plotdata {

namespace {

const QByteArray kStartPrefix = QByteArrayLiteral("Log started at ");
constexpr int kMaxLine = 1 << 20;
// A century of logging. Any file can be opened, so the hour field is bounded: hours × 3 600 000
// and the start time plus the elapsed time must stay far from overflowing.
constexpr qint64 kMaxHours = 100 * 366 * 24;

// The file in blocks, split into lines: far fewer system calls than a read per line.
class LineSource {
  public:
    struct Line {
        const char *begin = nullptr;
        const char *end = nullptr;  // without the line end
        bool complete = false;      // ended by a line feed
    };

    explicit LineSource(QFile *file) : m_file(file) {}

    bool next(Line *line) {
        for (;;) {
            const char *data = m_buffer.constData();
            const char *from = data + m_from;
            const char *bufferEnd = data + m_buffer.size();
            const auto *feed = static_cast<const char *>(std::memchr(from, '\n', size_t(bufferEnd - from)));
            // A line longer than any data line is cut into pieces, none of which reads as one.
            if (feed == nullptr && bufferEnd - from >= kMaxLine) {
                feed = from + kMaxLine - 1;
            }
            if (feed != nullptr || (m_atEnd && from < bufferEnd)) {
                const char *end = feed != nullptr ? feed : bufferEnd;
                line->begin = from;
                line->complete = feed != nullptr;
                m_from = int(end - data) + (feed != nullptr ? 1 : 0);
                m_consumed += end - from + (feed != nullptr ? 1 : 0);
                while (end > from && (end[-1] == '\r' || end[-1] == '\n')) {
                    --end;
                }
                line->end = end;
                return true;
            }
            if (m_atEnd) {
                return false;
            }
            refill();
        }
    }
    qint64 consumed() const { return m_consumed; }

  private:
    void refill() {
        m_buffer.remove(0, m_from);
        m_from = 0;
        const int kept = m_buffer.size();
        m_buffer.resize(kept + kBlock);
        const qint64 read = m_file->read(m_buffer.data() + kept, kBlock);
        m_buffer.resize(kept + int(std::max<qint64>(0, read)));
        m_atEnd = read <= 0;
    }

    static constexpr int kBlock = 1 << 20;
    QFile *m_file;
    QByteArray m_buffer;
    int m_from = 0;
    qint64 m_consumed = 0;
    bool m_atEnd = false;
};

// For one column of a line: which wanted values it gives and how its text is read.
struct ColumnSlots {
    QVector<int> targets;
    bool binary = false;
};

QVector<ColumnSlots> columnSlots(const QVector<int> &columns,
                                 const QVector<DataLogReader::ColumnKind> &kinds) {
    QVector<ColumnSlots> result;
    for (int i = 0; i < columns.size(); ++i) {
        const int column = columns.at(i);
        if (column < 0) {
            continue;
        }
        result.resize(std::max(int(result.size()), column + 1));
        result[column].targets.append(i);
        result[column].binary = kinds.value(column) == DataLogReader::ColumnKind::Binary;
    }
    return result;
}

// The values of one line's columns after its time; NaN where the line is short.
void readValues(const char *from, const char *end, const QVector<ColumnSlots> &slotsOfColumn,
                QVector<double> *values) {
    values->fill(qQNaN());
    for (int column = 0; column < slotsOfColumn.size() && from <= end; ++column) {
        const char *to = std::find(from, end, ';');
        const ColumnSlots &wanted = slotsOfColumn.at(column);
        if (!wanted.targets.isEmpty()) {
            const double value =
                wanted.binary ? DataLogReader::parseBinary(from, to) : DataLogReader::parseValue(from, to);
            for (int slot : wanted.targets) {
                (*values)[slot] = value;
            }
        }
        from = to + 1;
    }
}

// A line far ahead of the one before, kept until the next line confirms or refutes the jump.
struct HeldRow {
    bool waiting = false;
    qint64 elapsed = 0;
    QVector<double> values;
};

QByteArray trimmedLine(QByteArray line) {
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

// "Log started at 14:03:07,250 of 05/12/2024" in local time.
QDateTime parseStart(const QByteArray &line) {
    if (!line.startsWith(kStartPrefix)) {
        return {};
    }
    const QString rest = QString::fromLatin1(line.mid(kStartPrefix.size()));
    return QDateTime::fromString(rest, QStringLiteral("hh:mm:ss,zzz 'of' dd/MM/yyyy"));
}

}  // namespace

qint64 DataLogReader::parseElapsed(const QByteArray &text) {
    return parseElapsed(text.constData(), text.constData() + text.size());
}

qint64 DataLogReader::parseElapsed(const char *begin, const char *end) {
    // hours (any number of digits) ":" minutes ":" seconds "." milliseconds
    const char *p = begin;
    qint64 hours = 0;
    int minutes = 0, seconds = 0, millis = 0;
    auto field = [&](auto &value, char separator, int digits) {
        const auto result = std::from_chars(p, end, value);
        const bool ok = result.ec == std::errc() && (digits == 0 || result.ptr - p == digits) &&
                        (separator == 0 ? result.ptr == end : result.ptr != end && *result.ptr == separator);
        p = result.ptr + (separator ? 1 : 0);
        return ok;
    };
    if (!field(hours, ':', 0) || !field(minutes, ':', 2) || !field(seconds, '.', 2) || !field(millis, 0, 3) ||
        hours < 0 || hours > kMaxHours || minutes > 59 || seconds > 59) {
        return -1;
    }
    return hours * 3600000 + minutes * 60000 + seconds * 1000 + millis;
}

double DataLogReader::parseValue(const QByteArray &text) {
    return parseValue(text.constData(), text.constData() + text.size());
}

// std::from_chars: fast and independent of the C locale, which a desktop may set to a decimal comma.
double DataLogReader::parseValue(const char *begin, const char *end) {
    if (end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
        unsigned long long value = 0;
        const auto result = std::from_chars(begin + 2, end, value, 16);
        return result.ec == std::errc() && result.ptr == end ? double(value) : qQNaN();
    }
    begin += (begin != end && *begin == '+') ? 1 : 0;
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end ? value : qQNaN();
}

double DataLogReader::parseBinary(const char *begin, const char *end) {
    unsigned long long value = 0;
    const auto result = std::from_chars(begin, end, value, 2);
    return begin != end && result.ec == std::errc() && result.ptr == end ? double(value) : qQNaN();
}

QVector<DataLogReader::ColumnKind> DataLogReader::kindsFromMap(const QStringList &names,
                                                               const QVector<input_reg_t *> &inputs) {
    QVector<ColumnKind> kinds(names.size(), ColumnKind::Number);
    for (const input_reg_t *input : inputs) {
        const int column = names.indexOf(input->name);
        if (column >= 0 && input->vis_type == QLatin1String("bin")) {
            kinds[column] = ColumnKind::Binary;
        }
    }
    return kinds;
}

bool DataLogReader::open(const QString &path, QString *error) {
    m_file.close();
    m_file.setFileName(path);
    m_skipped = 0;
    m_outOfOrder = 0;
    m_truncated = 0;
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), m_file.errorString());
        return false;
    }
    m_start = parseStart(trimmedLine(m_file.readLine()));
    if (!m_start.isValid()) {
        *error = QStringLiteral("%1 is not a data log: its first line is not \"Log started at ...\"")
                     .arg(QFileInfo(path).fileName());
        return false;
    }
    if (!readHeaderLine(&m_names, error) || !readHeaderLine(&m_units, error)) {
        return false;
    }
    if (m_names.size() != m_units.size()) {
        *error =
            QStringLiteral("The data log has %1 names but %2 units").arg(m_names.size()).arg(m_units.size());
        return false;
    }
    return true;
}

bool DataLogReader::readHeaderLine(QStringList *entries, QString *error) {
    const QByteArray line = trimmedLine(m_file.readLine());
    const int first = line.indexOf(';');
    if (first < 0 || parseElapsed(line.left(first)) < 0) {
        *error = QStringLiteral("The data log has no header lines of names and units");
        return false;
    }
    *entries = QString::fromUtf8(line.mid(first + 1)).split(QLatin1Char(';'));
    return true;
}

bool DataLogReader::readRows(const QVector<int> &columns, const Row &row, const Progress &progress,
                             QString *error) {
    if (!m_file.isOpen()) {
        *error = QStringLiteral("No data log is open");
        return false;
    }
    const qint64 size = std::max<qint64>(1, m_file.size());
    const qint64 headerBytes = m_file.pos();
    const QVector<ColumnSlots> slotsOfColumn = columnSlots(columns, m_kinds);
    QVector<double> values(columns.size());
    LineSource lines(&m_file);
    qint64 lastElapsed = 0;
    HeldRow held;
    auto take = [&](qint64 elapsed, const QVector<double> &taken) {
        lastElapsed = elapsed;
        row(elapsed, taken);
    };
    int lastPercent = -1;
    LineSource::Line line;
    while (lines.next(&line)) {
        if (!line.complete) {
            ++m_truncated;  // the logger ends every line it writes: this one was cut
            break;
        }
        const char *first = std::find(line.begin, line.end, ';');
        const qint64 elapsed = first == line.end ? -1 : parseElapsed(line.begin, first);
        if (elapsed < 0) {
            m_skipped +=
                QByteArray::fromRawData(line.begin, int(line.end - line.begin)).startsWith("Log finished at")
                    ? 0
                    : 1;
            continue;
        }
        if (held.waiting) {
            if (elapsed >= held.elapsed) {
                take(held.elapsed, held.values);  // the jump was real: the drive was silent
            } else if (elapsed >= lastElapsed) {
                ++m_outOfOrder;  // the held line was the odd one out
            } else {
                ++m_outOfOrder;  // this line is: keep waiting for one that decides
                continue;
            }
            held.waiting = false;
        }
        // The logger's clock never goes back; a line that does was edited or belongs to another
        // log, and the plot's history and the CSV rows must stay in time order.
        if (elapsed < lastElapsed) {
            ++m_outOfOrder;
            continue;
        }
        readValues(first + 1, line.end, slotsOfColumn, &values);
        if (elapsed - lastElapsed > kPlausibleStepMs) {
            held = {true, elapsed, values};
        } else {
            take(elapsed, values);
        }
        const int percent = int((headerBytes + lines.consumed()) * 100 / size);
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    m_outOfOrder += held.waiting ? 1 : 0;  // nothing after it confirms the jump
    return true;
}

QString DataLogReader::skippedSummary() const {
    QStringList parts;
    if (m_skipped > 0) {
        parts << QCoreApplication::translate("DataLogReader", "%1 not a data line").arg(m_skipped);
    }
    if (m_outOfOrder > 0) {
        parts << QCoreApplication::translate("DataLogReader", "%1 out of time order").arg(m_outOfOrder);
    }
    if (m_truncated > 0) {
        parts << QCoreApplication::translate("DataLogReader", "the last line cut short (no line end)");
    }
    if (parts.isEmpty()) {
        return QString();
    }
    const int total = skippedLines();
    const QString skipped =
        total == 1 ? QCoreApplication::translate("DataLogReader", "1 line skipped: %1")
                   : QCoreApplication::translate("DataLogReader", "%1 lines skipped: %2").arg(total);
    return skipped.arg(parts.join(QStringLiteral(", ")));
}

}  // namespace plotdata
