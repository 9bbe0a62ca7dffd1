#include "link/replies.h"

#include "link/frames.h"

namespace replies {

namespace {
constexpr int kSecondsFlagByte = 15;
constexpr quint8 kSecondsFlagOn = 0xFF;
constexpr int kCountByte = 15;
constexpr int kCodeByte = 19;
constexpr int kValueScale = 100;

quint8 at(const QByteArray &rx, int i) { return static_cast<quint8>(rx[i]); }

Reading readingAt(const char *p)
{
    const auto b = reinterpret_cast<const quint8 *>(p);
    return {static_cast<quint16>(b[0] * kValueScale + b[1]), b[2]};
}
} // namespace

bool isShortReply(const QByteArray &rx, quint8 code)
{
    return rx.size() >= frames::kReplyLength && at(rx, 0) == frames::kHeader
           && at(rx, kCodeByte) == code;
}

quint8 secondsFlag(const QByteArray &rx) { return at(rx, kSecondsFlagByte) == kSecondsFlagOn ? 1 : 0; }

qint32 groupCount(const QByteArray &rx)
{
    return frames::fromBase100(at(rx, kCountByte), at(rx, kCountByte + 1), at(rx, kCountByte + 2));
}

std::array<Reading, 3> liveReadings(const QByteArray &rx)
{
    const char *p = rx.constData();
    return {readingAt(p + 1), readingAt(p + 4), readingAt(p + 7)};
}

GroupRecord blockRecord(const QByteArray &rx, int k)
{
    const char *p = rx.constData() + k * frames::kRecordLength;
    const auto b = reinterpret_cast<const quint8 *>(p);
    GroupRecord r;
    for (int c = 0; c < 3; ++c) {
        const Reading rd = readingAt(p + 1 + 3 * c);
        r.val[c] = rd.value;
        r.stat[c] = rd.status;
    }
    r.year = b[10];
    r.month = b[11];
    r.day = b[12];
    r.hour = b[13];
    r.minute = b[14];
    r.second = b[15];
    r.charge = b[18];
    return r;
}

} // namespace replies
