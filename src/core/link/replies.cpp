#include "core/link/replies.h"

#include "core/link/frames.h"
#include "core/records/group_record.h"

namespace replies {

namespace {
constexpr int kSecondsFlagByte = 15;
constexpr quint8 kSecondsFlagOn = 0xFF;
constexpr int kCountByte = 15;
constexpr int kCodeByte = 19;
constexpr int kValueScale = 100;

// Where the three channel readings (hi, lo, status) stand, in a live-reading
// reply and in each record of a block reply alike.
constexpr int kChannelOffset[3] = {1, 4, 7};
// The time stamp and the charge of a block record.
constexpr int kRecordYear = 10;
constexpr int kRecordMonth = 11;
constexpr int kRecordDay = 12;
constexpr int kRecordHour = 13;
constexpr int kRecordMinute = 14;
constexpr int kRecordSecond = 15;
constexpr int kRecordCharge = 18;

quint8 at(const QByteArray &rx, int i) { return static_cast<quint8>(rx[i]); }

Reading readingAt(const char *p)
{
    const auto b = reinterpret_cast<const quint8 *>(p);
    return {static_cast<quint16>(b[0] * kValueScale + b[1]), b[2]};
}
}  // namespace

bool isShortReply(const QByteArray &rx, quint8 code)
{
    return rx.size() >= frames::kReplyLength && at(rx, 0) == frames::kHeader
           && at(rx, kCodeByte) == code;
}

quint8 secondsFlag(const QByteArray &rx)
{
    return at(rx, kSecondsFlagByte) == kSecondsFlagOn ? record_store::kWithSeconds
                                                      : record_store::kWithoutSeconds;
}

qint32 groupCount(const QByteArray &rx)
{
    return frames::fromBase100(at(rx, kCountByte), at(rx, kCountByte + 1), at(rx, kCountByte + 2));
}

std::array<Reading, 3> liveReadings(const QByteArray &rx)
{
    const char *p = rx.constData();
    return {readingAt(p + kChannelOffset[0]), readingAt(p + kChannelOffset[1]),
            readingAt(p + kChannelOffset[2])};
}

GroupRecord blockRecord(const QByteArray &rx, int k)
{
    const char *p = rx.constData() + k * frames::kRecordLength;
    const auto b = reinterpret_cast<const quint8 *>(p);
    GroupRecord r;
    for (int c = 0; c < 3; ++c) {
        const Reading rd = readingAt(p + kChannelOffset[c]);
        r.val[c] = rd.value;
        r.stat[c] = rd.status;
    }
    r.year = b[kRecordYear];
    r.month = b[kRecordMonth];
    r.day = b[kRecordDay];
    r.hour = b[kRecordHour];
    r.minute = b[kRecordMinute];
    r.second = b[kRecordSecond];
    r.charge = b[kRecordCharge];
    return r;
}

}  // namespace replies
