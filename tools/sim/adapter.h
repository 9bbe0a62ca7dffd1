#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// How a USB-serial adapter hands what the instrument sends to the host: not
// byte by byte, but in packets. An FTDI chip sends a packet when its 62 data
// bytes are full, and what is left of a reply when its latency timer runs
// out (16 ms by default), so a reply reaches the host in pieces, the last
// one late.
namespace sim {

struct AdapterOptions {
    int packetBytes = 0;    // bytes a packet; 0: the reply whole, as a pseudo-terminal takes it
    int packetGapMs = 0;    // between packets, on top of the line time they take
    int latencyMs = 0;      // before the last, partial packet of a reply
    int lateTailBytes = 0;  // the last bytes of a reply held back ...
    int lateTailMs = 0;     // ... this much longer, as one more late packet
};

struct Piece {
    QByteArray bytes;
    qint64 offsetMs = 0;  // after the reply's first byte could go out; never decreasing
};

// The pieces one reply reaches the host in. `lineRate` is the line's bytes
// per second, or 0 when the bytes go out at once.
std::vector<Piece> adapterPieces(const QByteArray &reply, const AdapterOptions &adapter,
                                 int lineRate);

}  // namespace sim
