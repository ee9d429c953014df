#include "requestlog.h"

#include <QModbusPdu>

RequestLog::RequestLog(QObject *parent) : QObject(parent) {}

bool RequestLog::open(const QString &path, QString *error) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = QStringLiteral("cannot write log %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

QString RequestLog::hexBytes(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString RequestLog::formatPdu(const char *kind, int address, const QModbusPdu &pdu) {
    const int code = pdu.functionCode() | (pdu.isException() ? QModbusPdu::ExceptionByte : 0);
    QString line = QStringLiteral("%1 %2 %3")
                       .arg(QLatin1String(kind))
                       .arg(address)
                       .arg(code, 2, 16, QLatin1Char('0'))
                       .toUpper();
    if (!pdu.data().isEmpty()) {
        line += QLatin1Char(' ') + hexBytes(pdu.data());
    }
    return line;
}

void RequestLog::request(int address, const QModbusPdu &pdu) {
    writeLine(formatPdu("REQ", address, pdu));
}

void RequestLog::response(int address, const QModbusPdu &pdu) {
    writeLine(formatPdu("RSP", address, pdu));
}

void RequestLog::responseFate(int address, quint8 functionCode, const char *fate) {
    writeLine(QStringLiteral("RSP %1 %2 %3")
                  .arg(address)
                  .arg(QString::number(functionCode, 16).rightJustified(2, QLatin1Char('0')).toUpper(),
                       QLatin1String(fate)));
}

void RequestLog::command(const QString &text) {
    writeLine(QStringLiteral("CMD ") + text);
}

void RequestLog::writeLine(const QString &line) {
    if (!m_file.isOpen()) {
        return;
    }
    m_file.write(line.toUtf8() + '\n');
    m_file.flush();
}
