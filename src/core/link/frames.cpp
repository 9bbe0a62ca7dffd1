#include "core/link/frames.h"

namespace frames {

namespace {
constexpr int kDigitPair = 100;
constexpr int kTwoDigitPairs = kDigitPair * kDigitPair;
constexpr int kHexDigit = 16;
constexpr int kDecDigit = 10;
}  // namespace

Triple base100Triple(qint32 group)
{
    return {static_cast<quint8>(group / kTwoDigitPairs),
            static_cast<quint8>(group % kTwoDigitPairs / kDigitPair),
            static_cast<quint8>(group % kDigitPair)};
}

qint32 fromBase100(quint8 high, quint8 middle, quint8 low)
{
    return high * kTwoDigitPairs + middle * kDigitPair + low;
}

quint8 commandCode(qint16 dat)
{
    return static_cast<quint8>(dat / kDecDigit * kHexDigit + dat % kDecDigit);
}

Frame shortFrame(qint16 dat)
{
    return {kHeader, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, commandCode(dat)};
}

Frame blockFrame(qint32 first, qint32 last)
{
    const Triple s = base100Triple(first);
    const Triple e = base100Triple(last);
    return {kHeader, s[0], s[1], s[2], e[0], e[1], e[2], commandCode(kBlockRequest)};
}

BlockRequest blockRequest(qint32 startsave, qint32 endsave, qint32 memnum, qint16 memmul,
                          qint16 memrem, qint16 lsmemmul)
{
    if (memmul == 0)
        return {startsave, endsave, static_cast<qint16>(memnum * kRecordLength)};
    if (lsmemmul <= memmul)
        return {startsave, startsave + kBlockGroups - 1,
                static_cast<qint16>(kBlockGroups * kRecordLength)};
    return {startsave, endsave, static_cast<qint16>(memrem * kRecordLength)};
}

qint32 frameFirstGroup(const Frame &frame) { return fromBase100(frame[1], frame[2], frame[3]); }
qint32 frameLastGroup(const Frame &frame) { return fromBase100(frame[4], frame[5], frame[6]); }

}  // namespace frames
