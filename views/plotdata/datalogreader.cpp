#include "views/plotdata/datalogreader.h"

#include <QFileInfo>
#include <cmath>

namespace plotdata {

namespace {

const QByteArray kStartPrefix = QByteArrayLiteral("Log started at ");

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
    const QList<QByteArray> parts = text.split(':');
    if (parts.size() != 3) {
        return -1;
    }
    bool okH = false, okM = false, okS = false;
    const qint64 hours = parts.at(0).toLongLong(&okH);
    const int minutes = parts.at(1).toInt(&okM);
    const double seconds = parts.at(2).toDouble(&okS);
    if (!okH || !okM || !okS || hours < 0 || minutes < 0 || minutes > 59 || seconds < 0 || seconds >= 60) {
        return -1;
    }
    return hours * 3600000 + minutes * 60000 + qint64(std::llround(seconds * 1000));
}

double DataLogReader::parseValue(const QByteArray &text) {
    bool ok = false;
    if (text.startsWith("0x") || text.startsWith("0X")) {
        const qulonglong value = text.mid(2).toULongLong(&ok, 16);
        return ok ? double(value) : qQNaN();
    }
    const double value = text.toDouble(&ok);
    return ok ? value : qQNaN();
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
    int highest = -1;
    for (int column : columns) {
        highest = std::max(highest, column);
    }
    QVector<double> byColumn(highest + 1);
    QVector<double> values(columns.size());
    while (!m_file.atEnd()) {
        const QByteArray line = trimmedLine(m_file.readLine());
        const int first = line.indexOf(';');
        const qint64 elapsed =
            first < 0 ? -1 : parseElapsed(QByteArray::fromRawData(line.constData(), first));
        if (elapsed < 0) {
            m_skipped += line.startsWith("Log finished at") ? 0 : 1;
            continue;
        }
        byColumn.fill(qQNaN());
        int column = 0;
        int from = first + 1;
        while (column <= highest && from <= line.size()) {
            int to = line.indexOf(';', from);
            to = to < 0 ? line.size() : to;
            byColumn[column++] = parseValue(QByteArray::fromRawData(line.constData() + from, to - from));
            from = to + 1;
        }
        for (int i = 0; i < columns.size(); ++i) {
            values[i] = columns.at(i) >= 0 ? byColumn.at(columns.at(i)) : qQNaN();
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
