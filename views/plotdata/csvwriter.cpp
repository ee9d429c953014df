#include "views/plotdata/csvwriter.h"

#include <QDateTime>
#include <charconv>
#include <cmath>
#include <limits>

namespace plotdata {

namespace {

QByteArray quoted(const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n')) {
        bytes.replace('"', "\"\"");
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

constexpr int kNumberRoom = 32;  // the longest shortest text of a double is 24 characters

// Writes the shortest text of value at `at` (std::to_chars: exact, and fast enough for
// millions); returns the end of the text.
char *writeNumber(char *at, double value) {
    const bool fitsFloat = std::fabs(value) <= double(std::numeric_limits<float>::max());
    const float asFloat = fitsFloat ? static_cast<float>(value) : 0.0f;
    const std::to_chars_result result = fitsFloat && double(asFloat) == value
                                            ? std::to_chars(at, at + kNumberRoom, asFloat)
                                            : std::to_chars(at, at + kNumberRoom, value);
    return result.ptr;
}

}  // namespace

QByteArray CsvWriter::numberText(double value) {
    char text[kNumberRoom];
    return QByteArray(text, int(writeNumber(text, value) - text));
}

QString CsvWriter::columnTitle(const QString &name, const QString &unit) {
    if (unit.isEmpty() || unit == QLatin1String("none")) {
        return name;
    }
    return QStringLiteral("%1 [%2]").arg(name, unit);
}

void CsvWriter::writeHeader(const QStringList &columnTitles) {
    QByteArray line = QByteArrayLiteral("time (ISO 8601),seconds since Connect");
    for (const QString &title : columnTitles) {
        line += ',' + quoted(title);
    }
    write(line);
}

void CsvWriter::writeRow(qint64 msecsSinceEpoch, qint64 connectMsecsSinceEpoch, const double *values,
                         int count) {
    m_line.resize(0);  // keeps its capacity
    appendTime(msecsSinceEpoch);
    // The cells are written straight into the line, with room for the longest.
    const int start = m_line.size();
    m_line.resize(start + (count + 1) * (kNumberRoom + 1));
    char *at = m_line.data() + start;
    *at++ = ',';
    const double sinceConnect = double(msecsSinceEpoch - connectMsecsSinceEpoch) / 1000.0;
    at = std::to_chars(at, at + kNumberRoom, sinceConnect, std::chars_format::fixed, 3).ptr;
    for (int i = 0; i < count; ++i) {
        *at++ = ',';
        if (!std::isnan(values[i])) {
            at = writeNumber(at, values[i]);
        }
    }
    m_line.resize(int(at - m_line.constData()));
    write(m_line);
}

// The ISO 8601 text in local time with its offset. The text of the second is kept: a data log
// has several samples per second, and only the milliseconds differ between them.
void CsvWriter::appendTime(qint64 msecsSinceEpoch) {
    const qint64 millis = ((msecsSinceEpoch % 1000) + 1000) % 1000;
    const qint64 second = msecsSinceEpoch - millis;
    const int offset = localOffset(msecsSinceEpoch);
    if (second != m_timeSecond || offset != m_timeOffset || m_timeText.isEmpty()) {
        m_timeSecond = second;
        m_timeOffset = offset;
        m_timeText = QDateTime::fromMSecsSinceEpoch(second, Qt::OffsetFromUTC, offset)
                         .toString(Qt::ISODateWithMs)
                         .toLatin1();
        m_millisAt = m_timeText.indexOf('.') + 1;
    }
    const int start = m_line.size();
    m_line.append(m_timeText);
    if (m_millisAt > 0) {
        char *digits = m_line.data() + start + m_millisAt;
        digits[0] = char('0' + millis / 100);
        digits[1] = char('0' + millis / 10 % 10);
        digits[2] = char('0' + millis % 10);
    }
}

int CsvWriter::localOffset(qint64 msecsSinceEpoch) {
    // Asking the time zone costs a look at its file: once per quarter hour of samples is enough,
    // as every zone changes its offset on a quarter hour.
    constexpr qint64 kQuarterHourMs = 15 * 60 * 1000;
    const qint64 quarter =
        msecsSinceEpoch >= 0 ? msecsSinceEpoch / kQuarterHourMs : (msecsSinceEpoch + 1) / kQuarterHourMs - 1;
    if (!m_offsetQuarter || *m_offsetQuarter != quarter) {
        m_offsetQuarter = quarter;
        m_offsetSeconds = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).offsetFromUtc();
    }
    return m_offsetSeconds;
}

void CsvWriter::write(QByteArray &line) {
    line.append('\n');
    m_ok = m_ok && m_device->write(line) == line.size();
}

}  // namespace plotdata
