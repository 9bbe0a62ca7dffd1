#pragma once

#include <QtGlobal>

#include <array>

// Command frames to the instrument: 0xAA, six parameter bytes, a command code.
namespace frames {

using Frame = std::array<quint8, 8>;
using Triple = std::array<quint8, 3>;

constexpr quint8 kHeader = 0xAA;

// Command selectors (senddat's dat) and the codes they travel as.
constexpr qint16 kProbe = 11;
constexpr qint16 kGroupCount = 22;
constexpr qint16 kLiveReading = 33;
constexpr qint16 kBlockRequest = 55;

constexpr int kReplyLength = 20;    // every short reply
constexpr int kRecordLength = 20;   // one group of a block reply
constexpr int kBlockGroups = 1000;  // groups in a whole block

// A group number 0 to 999999 as three bytes of two decimal digits each:
// G div 10000, (G mod 10000) div 100, G mod 100.
Triple base100Triple(qint32 group);
qint32 fromBase100(quint8 high, quint8 middle, quint8 low);

// The command code of dat: its decimal digits read as two hexadecimal digits (11 -> 0x11).
quint8 commandCode(qint16 dat);

// Probe, group-count and live-reading requests: AA 01 02 03 04 05 06 code.
Frame shortFrame(qint16 dat);
// Block request for groups first to last: AA, triple(first), triple(last), 55.
Frame blockFrame(qint32 first, qint32 last);

// Which groups the current block request asks for, and the reply length that arms the receiver.
struct BlockRequest {
    qint32 first;
    qint32 last;
    qint16 threshold;  // reply bytes: 20 per group
};
BlockRequest blockRequest(qint32 startsave, qint32 endsave, qint32 memnum, qint16 memmul,
                          qint16 memrem, qint16 lsmemmul);

// The group range of a block request frame (bytes 1-3 and 4-6).
qint32 frameFirstGroup(const Frame &frame);
qint32 frameLastGroup(const Frame &frame);

}  // namespace frames
