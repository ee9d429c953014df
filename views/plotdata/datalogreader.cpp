#include "views/plotdata/datalogreader.h"

#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace plotdata {

namespace {

const QByteArray kStartPrefix = QByteArrayLiteral("Log started at ");
constexpr int kMaxLine = 1 << 20;
// A century of logging. Any file can be opened, so the hour field is bounded: hours × 3 600 000
// and the start time plus the elapsed time must stay far from overflowing.
constexpr qint64 kMaxHours = 100 * 366 * 24;

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
    // hours (any number of digits) ":" minutes ":" seconds "." milliseconds
    const char *p = text.constData();
    const char *end = p + text.size();
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

bool DataLogReader::open(const QString &path, QString *error) {
    m_file.close();
    m_file.setFileName(path);
    m_skipped = 0;
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
    int lastPercent = -1;
    // Which of the wanted values each column of a line gives (-1: not wanted, not parsed).
    QVector<QVector<int>> slotsOfColumn;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i) >= 0) {
            slotsOfColumn.resize(std::max(int(slotsOfColumn.size()), columns.at(i) + 1));
            slotsOfColumn[columns.at(i)].append(i);
        }
    }
    QVector<double> values(columns.size());
    qint64 lastElapsed = 0;
    QByteArray buffer(kMaxLine, Qt::Uninitialized);
    while (!m_file.atEnd()) {
        const qint64 read = m_file.readLine(buffer.data(), buffer.size());
        if (read <= 0) {
            break;
        }
        const char *line = buffer.constData();
        const char *end = line + read;
        while (end > line && (end[-1] == '\n' || end[-1] == '\r')) {
            --end;
        }
        const char *first = std::find(line, end, ';');
        const qint64 elapsed =
            first == end ? -1 : parseElapsed(QByteArray::fromRawData(line, int(first - line)));
        if (elapsed < 0) {
            m_skipped += QByteArray::fromRawData(line, int(end - line)).startsWith("Log finished at") ? 0 : 1;
            continue;
        }
        // The logger's clock never goes back; a line that does was edited or belongs to another
        // log, and the plot's history and the CSV rows must stay in time order.
        if (elapsed < lastElapsed) {
            ++m_skipped;
            continue;
        }
        lastElapsed = elapsed;
        values.fill(qQNaN());
        const char *from = first + 1;
        for (int column = 0; column < slotsOfColumn.size() && from <= end; ++column) {
            const char *to = std::find(from, end, ';');
            if (!slotsOfColumn.at(column).isEmpty()) {
                const double value = parseValue(from, to);
                for (int slot : slotsOfColumn.at(column)) {
                    values[slot] = value;
                }
            }
            from = to + 1;
        }
        row(elapsed, values);
        const int percent = int(m_file.pos() * 100 / size);
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    return true;
}

}  // namespace plotdata
