#pragma once

#include <QString>

class QModbusReply;

// The meaning of a Modbus exception code in words ("illegal data address"); codes without a
// standard meaning give "unknown exception".
QString exceptionMeaning(int code);

// The exception code of a reply that failed with an exception answer (0xFF when the answer
// carries none), or -1 for any other outcome.
int exceptionCodeOf(const QModbusReply &reply);

// "Write response error: ..." for a write reply that failed: the exception code for an
// exception answer (0xFF when the answer carries none), else the error number. With a target
// ("P5 (register 5)") the text goes on with it and, for an exception, its meaning in words.
QString writeResponseError(const QModbusReply &reply, const QString &target = QString());

// Why a reply failed, for a verdict line: "exception 0x3, illegal data value", "no answer" or
// the library's error text.
QString failureReason(const QModbusReply &reply);

// "Access level 2 granted" / "Access level 3 refused: the drive reports level 1".
QString accessLevelVerdict(int asked, int reported);

// The question asked before a firmware transfer: file, controller, model and size. Empty
// when the transfer would be refused anyway (no controller or model, no readable file); the
// worker then says why.
QString flashConfirmationText(const QString &path, int driveModel);
