#include "sim/adapter.h"

#include <algorithm>

namespace sim {

namespace {
constexpr qint64 kMsPerSecond = 1000;

// When the first `bytes` of a reply are through the line.
qint64 lineTimeMs(qint64 bytes, int lineRate)
{
    return lineRate > 0 ? bytes * kMsPerSecond / lineRate : 0;
}
}  // namespace

std::vector<Piece> adapterPieces(const QByteArray &reply, const AdapterOptions &adapter,
                                 int lineRate)
{
    const qsizetype tail = adapter.lateTailBytes > 0 && adapter.lateTailBytes < reply.size()
                               ? adapter.lateTailBytes
                               : 0;
    const QByteArray body = reply.left(reply.size() - tail);
    std::vector<Piece> pieces;
    if (adapter.packetBytes <= 0) {
        pieces.push_back({body, 0});
    } else {
        qint64 sentAt = 0;
        for (qsizetype from = 0; from < body.size(); from += adapter.packetBytes) {
            const QByteArray packet = body.mid(from, adapter.packetBytes);
            const qint64 through = lineTimeMs(from + packet.size(), lineRate);
            const bool partial = packet.size() < adapter.packetBytes;
            const qint64 at = partial
                                  ? std::max(through, sentAt) + adapter.latencyMs
                                  : std::max(through, from == 0 ? 0 : sentAt + adapter.packetGapMs);
            pieces.push_back({packet, at});
            sentAt = at;
        }
    }
    if (tail > 0)
        pieces.push_back({reply.right(tail), pieces.back().offsetMs + adapter.lateTailMs});
    return pieces;
}

}  // namespace sim
