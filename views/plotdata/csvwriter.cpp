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

}  // namespace

QByteArray CsvWriter::numberText(double value) {
    char text[32];
    const bool fitsFloat = std::fabs(value) <= double(std::numeric_limits<float>::max());
    const float asFloat = fitsFloat ? static_cast<float>(value) : 0.0f;
    // std::to_chars: the shortest round trip, and fast enough for millions of values.
    const std::to_chars_result result = double(asFloat) == value
                                            ? std::to_chars(text, text + sizeof text, asFloat)
                                            : std::to_chars(text, text + sizeof text, value);
    return QByteArray(text, int(result.ptr - text));
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
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
    QByteArray line = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs).toLatin1();
    line += ',' + QByteArray::number(double(msecsSinceEpoch - connectMsecsSinceEpoch) / 1000.0, 'f', 3);
    for (int i = 0; i < count; ++i) {
        line += ',';
        if (!std::isnan(values[i])) {
            line += numberText(values[i]);
        }
    }
    write(line);
}

void CsvWriter::write(const QByteArray &line) {
    m_ok = m_ok && m_device->write(line + '\n') == line.size() + 1;
}

}  // namespace plotdata
