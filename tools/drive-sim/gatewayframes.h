#pragma once

#include <QByteArray>
#include <QVector>
#include <functional>

// The gateway's framing and routing, apart from its sockets: Modbus TCP frames are cut off the
// front of what a peer sent, each frame read only as far as its header's length field and unit
// id (framing itself is left to Qt at both ends).
namespace gatewayframes {

constexpr int kHeaderSize = 7;  // transaction, protocol, length (2 bytes each), unit id
constexpr int kMaxFrameSize = 260;

// Bytes of the first whole frame in buffer, 0 while it is incomplete and -1 when the header
// cannot be one (a length below 2 or above 254).
int frameSize(const QByteArray &buffer);
inline int unitId(const QByteArray &frame) {
    return quint8(frame.at(6));
}

struct Routed {
    int unit = 0;
    QByteArray frame;
};

// Takes every whole frame off the front of buffer and returns those for a unit that exists,
// in order; a frame for a unit id without a drive is dropped, as an address nobody has on a
// serial bus. malformed is set, and the rest left in buffer, when the stream is not Modbus TCP.
struct Split {
    QVector<Routed> frames;
    bool malformed = false;
};
Split route(QByteArray *buffer, const std::function<bool(int unit)> &unitExists);

}  // namespace gatewayframes
