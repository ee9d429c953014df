#include "app/rotatingdatalog.h"

#include <QDir>

namespace {
// The elapsed-time prefix and the line feed that writeLine adds to each line.
constexpr qint64 kLineOverhead = 13;
}  // namespace

RotatingDataLog::RotatingDataLog(const QString &dir, const QVector<input_reg_t *> &inputs, qint64 limitBytes)
    : m_dir(dir),
      m_inputs(inputs),
      m_limitBytes(limitBytes),
      m_today([] { return QDate::currentDate(); }),
      m_log(&m_file) {}

bool RotatingDataLog::start() {
    QDir().mkpath(m_dir);
    return startFile();
}

bool RotatingDataLog::startFile() {
    m_started = m_today();
    if (!m_log.start(m_dir, m_inputs, {})) {
        return false;
    }
    m_files << m_file.fileName();
    QFile file(m_file.fileName());
    m_bytes = file.size();
    return true;
}

void RotatingDataLog::writeValues(const QString &values) {
    if (!isOpen()) {
        return;
    }
    if (isDue(m_started, m_today(), m_bytes, m_limitBytes)) {
        m_log.finish();
        if (!startFile()) {
            return;
        }
    }
    m_log.writeValues(values, {});
    m_bytes += values.toUtf8().size() + kLineOverhead;
}

void RotatingDataLog::writeGap() {
    if (isOpen()) {
        m_log.writeGap();
        m_bytes += kLineOverhead + m_inputs.size();
    }
}

void RotatingDataLog::finish() {
    m_log.finish();
}

bool RotatingDataLog::isDue(const QDate &started, const QDate &today, qint64 bytes, qint64 limitBytes) {
    return today != started || (limitBytes > 0 && bytes >= limitBytes);
}
