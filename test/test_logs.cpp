#include "test/test_logs.h"

#include "app/logger.h"
#include "map/numbertext.h"

TestLogs::TestLogs(logger *full, logger *result, logger *summary)
    : m_full(full), m_result(result), m_summary(summary) {}

QString TestLogs::resultWord(int result) {
    if (result > 0) {
        return QStringLiteral("OK");
    }
    return result < 0 ? QStringLiteral("ERROR") : QStringLiteral("CANCELADO");
}

QString TestLogs::summaryField(const QString &text) {
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '\\':
                escaped += QLatin1String("\\\\");
                break;
            case '\n':
                escaped += QLatin1String("\\n");
                break;
            case '\r':
                escaped += QLatin1String("\\r");
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

void TestLogs::begin(const QString &logDir, Flags flags, const QString &serial, logger *dataLogger) {
    m_flags = flags;
    if (flags.full) {
        m_full->startLog(logDir, QStringLiteral("test"));
    }
    if (flags.result) {
        m_result->startLog(logDir, QStringLiteral("result"));
    }
    if (flags.summary) {
        m_summary->startSummary(logDir, QStringLiteral("summary"));
    }
    const QString line = QStringLiteral(" Serial Number: %1").arg(serial);
    if (dataLogger) {
        dataLogger->writeLine(line);
    }
    if (flags.full) {
        m_full->writeLine(line);
    }
    if (flags.result || flags.summary) {
        m_result->writeLine(line);
    }
}

void TestLogs::stepResult(int num, int tipo, const QString &txt, float res, float min, float max, int ok,
                          bool reg) {
    if (!reg || tipo == 0 || !m_flags.summary) {
        return;
    }
    m_result->writeLine(QStringLiteral("\tnum: %1\ttipo: %2\ttxt: %3\tres: %4\tmin: %5\tmax: %6\tok: %7")
                            .arg(num)
                            .arg(tipo)
                            .arg(txt, shortestFloatText(res), shortestFloatText(min), shortestFloatText(max))
                            .arg(ok));
}

void TestLogs::dataLine(const QString &line) {
    if (m_flags.full) {
        m_full->writeLine(line);
    }
}

void TestLogs::finish(int result, const QVector<holding_t *> &holdings, bool reasonGiven,
                      const QString &reason, const QDateTime &finishedAt, const QString &serial) {
    const QString word = resultWord(result);
    if (m_flags.result) {
        m_result->writeRaw(QStringLiteral("Resultado: %1").arg(word));
        m_result->writeRaw(QString());
        for (const holding_t *h : holdings) {
            m_result->writeRaw(QStringLiteral("%1:\t%2").arg(h->text).arg(h->value));
        }
    }
    if (reasonGiven) {
        m_result->writeLine(QStringLiteral(" Motivo del fallo: %1").arg(reason));
    }
    if (m_flags.full) {
        m_full->finishLog();
    }
    m_result->finishLog();
    if (m_flags.summary) {
        m_summary->writeRaw(
            QStringLiteral("T: %1 SN: %2 R: %3")
                .arg(finishedAt.toString(QStringLiteral("yyyyMMdd-hhmmss")), summaryField(serial), word));
    }
}
