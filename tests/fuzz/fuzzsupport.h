#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>
#include <QVector>
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

inline QVector<uint16_t> words(FuzzedDataProvider &in, int count) {
    QVector<uint16_t> out;
    for (int i = 0; i < count; ++i) {
        out.append(in.ConsumeIntegral<uint16_t>());
    }
    return out;
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

// Every target includes this header once and starts with the quiet handler.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qInstallMessageHandler(fuzzsupport::quietMessages);
    return 0;
}
