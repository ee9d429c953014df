#pragma once

#include <QString>

class QModbusReply;

// "Write response error: ..." for a write reply that failed: the exception code for an
// exception answer (0xFF when the answer carries none), else the error number.
QString writeResponseError(const QModbusReply &reply);
