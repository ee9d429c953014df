#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the libFuzzer targets.
namespace fuzzsupport {

// The readers report through qDebug; at thousands of inputs a second that output would
// only slow the fuzzer down. Fatal messages still end the run so that they count as crashes.
inline void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", qPrintable(message));
        std::abort();
    }
}

inline void installQuietMessageHandler() {
    qInstallMessageHandler(quietMessages);
}

inline QByteArray bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// A broken invariant is reported like a crash, with the reason, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition, what)                                                           \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)

}  // namespace fuzzsupport
