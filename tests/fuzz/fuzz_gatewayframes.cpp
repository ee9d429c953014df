// The simulated gateway's frame router fed what a client could send, in pieces of any size:
// partial frames, lengths 0 and 65535, any protocol id. Whatever the pieces, the same frames
// come out; each is a whole frame as its header counts it, goes to the unit its header names
// and only to a unit that exists, and the frames are the input's bytes in order, with only
// frames for missing units left out.
#include <QVector>
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "tools/drive-sim/gatewayframes.h"

namespace {

struct Outcome {
    QVector<gatewayframes::Routed> frames;
    bool malformed = false;
    int consumed = 0;  // bytes taken off the stream
};

// Feeds stream in the given pieces as the socket hands them over, stopping where the gateway
// would close the connection.
Outcome feed(const QByteArray &stream, const QVector<int> &pieces, uint8_t unitsMask) {
    const auto exists = [unitsMask](int unit) { return unit < 8 && (unitsMask >> unit & 1) != 0; };
    Outcome outcome;
    QByteArray buffer;
    int at = 0;
    for (int i = 0; at < stream.size() && !outcome.malformed; ++i) {
        const int piece = pieces.isEmpty() ? stream.size() : std::max(1, pieces.at(i % pieces.size()));
        buffer += stream.mid(at, piece);
        at += std::min(piece, int(stream.size()) - at);
        const gatewayframes::Split split = gatewayframes::route(&buffer, exists);
        outcome.frames += split.frames;
        outcome.malformed = split.malformed;
        FUZZ_CHECK(split.malformed || gatewayframes::frameSize(buffer) == 0, "only a partial frame is left");
    }
    outcome.consumed = at - int(buffer.size());
    return outcome;
}

// Walks the stream frame by frame as the header's length field counts them.
void checkAgainstStream(const QByteArray &stream, const Outcome &outcome, uint8_t unitsMask) {
    int at = 0;
    int next = 0;
    while (at < outcome.consumed) {
        const QByteArray rest = stream.mid(at);
        const int size = gatewayframes::frameSize(rest);
        FUZZ_CHECK(size >= gatewayframes::kHeaderSize + 1 && size <= gatewayframes::kMaxFrameSize,
                   "a frame taken is whole and within the limit");
        const QByteArray frame = rest.left(size);
        const int unit = gatewayframes::unitId(frame);
        if (unit < 8 && (unitsMask >> unit & 1) != 0) {
            FUZZ_CHECK(next < outcome.frames.size(), "no frame for an existing unit is lost");
            FUZZ_CHECK(outcome.frames.at(next).frame == frame, "frames are the input's bytes in order");
            FUZZ_CHECK(outcome.frames.at(next).unit == unit, "a frame goes to the unit its header names");
            ++next;
        }
        at += size;
    }
    FUZZ_CHECK(at == outcome.consumed, "frames end where the stream was cut");
    FUZZ_CHECK(next == outcome.frames.size(), "no frame is invented");
    const int left = gatewayframes::frameSize(stream.mid(at));
    FUZZ_CHECK(outcome.malformed == (left < 0), "the stream is refused exactly at a bad header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const uint8_t unitsMask = in.ConsumeIntegral<uint8_t>();
    QVector<int> pieces;
    for (int i = in.ConsumeIntegralInRange(0, 8); i > 0; --i) {
        pieces << in.ConsumeIntegralInRange(0, 300);
    }
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray stream(rest.data(), int(rest.size()));

    const Outcome whole = feed(stream, {}, unitsMask);
    const Outcome piecewise = feed(stream, pieces, unitsMask);
    checkAgainstStream(stream, whole, unitsMask);
    checkAgainstStream(stream, piecewise, unitsMask);
    FUZZ_CHECK(whole.malformed == piecewise.malformed, "the pieces do not change the verdict");
    FUZZ_CHECK(whole.frames.size() == piecewise.frames.size(), "the pieces do not change the frames");
    return 0;
}
