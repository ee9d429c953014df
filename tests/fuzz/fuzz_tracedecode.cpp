// Capture replies: byte-swapped trace-buffer floats and accelerometer words, placed by the
// register they came from, whatever register a reply starts at.
#include <QVector>
#include <cstddef>
#include <cstdint>

#include "comm/tracedecode.h"
#include "fuzzsupport.h"

namespace {

// Replies start at a 16-bit register number, usually near one of the capture areas.
int startRegister(FuzzedDataProvider &in) {
    static const int kBases[] = {0, tracedecode::kBufferBase, tracedecode::kAccelerometerBase};
    const int base = in.PickValueInArray(kBases);
    return base + in.ConsumeIntegralInRange(base == 0 ? 0 : -200, 0x0D00);
}

void checkPlaced(const QVector<tracedecode::Sample> &samples, int perChannel) {
    for (const tracedecode::Sample &sample : samples) {
        FUZZ_CHECK(sample.channel >= 0 && sample.channel < tracedecode::kChannels, "sample channel");
        FUZZ_CHECK(sample.index >= 0 && sample.index < perChannel, "sample index inside its buffer");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    tracedecode::decodeBufferFloat(in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>());
    tracedecode::AccelerometerText text;
    while (in.remaining_bytes() > 0) {
        const int start = startRegister(in);
        const QVector<uint16_t> reply = fuzzsupport::words(in, in.ConsumeIntegralInRange(0, 130));
        tracedecode::kindOf(start);
        checkPlaced(tracedecode::decodeBufferReply(start, reply), tracedecode::kBufferSamples);
        checkPlaced(tracedecode::decodeAccelerometerReply(start, reply), tracedecode::kAccelerometerSamples);
        text.feed(start, reply);
    }
    return 0;
}
