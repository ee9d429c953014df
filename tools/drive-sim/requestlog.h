#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>

class QModbusPdu;

// The --log file: one line per request received and per answer, written and flushed at
// once so that tests can read it while the simulator runs.
//   REQ <address> <FC> <data bytes>      e.g. "REQ 1 06 03 E8 12 34"
//   RSP <address> <FC> <data bytes>      exception answers carry FC | 0x80: "RSP 1 86 02"
//   RSP <address> <FC> DROPPED | CORRUPTED | SILENT
//   CMD ...                              commands the drive carried out
class RequestLog : public QObject {
    Q_OBJECT

  public:
    explicit RequestLog(QObject *parent = nullptr);

    // Without a successful open every call is a no-op.
    bool open(const QString &path, QString *error);

    void request(int address, const QModbusPdu &pdu);
    void response(int address, const QModbusPdu &pdu);
    void responseFate(int address, quint8 functionCode, const char *fate);
    void command(const QString &text);

    static QString hexBytes(const QByteArray &bytes);
    static QString formatPdu(const char *kind, int address, const QModbusPdu &pdu);

  private:
    void writeLine(const QString &line);

    QFile m_file;
};
