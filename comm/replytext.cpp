#include "comm/replytext.h"

#include <QModbusReply>

QString writeResponseError(const QModbusReply &reply) {
    if (reply.error() == QModbusDevice::ProtocolError) {
        const QModbusResponse raw = reply.rawResult();
        const int code = (raw.dataSize() > 0 && raw.isException()) ? quint8(raw.data().at(0)) : 0xFF;
        return QStringLiteral("Write response error: %1 (Mobus exception: 0x%2)")
            .arg(reply.errorString(), QString::number(code, 16).toUpper());
    }
    return QStringLiteral("Write response error: %1 (code: 0x%2)")
        .arg(reply.errorString(), QString::number(int(reply.error()), 16).toUpper());
}
