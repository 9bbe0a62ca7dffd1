#include "support/read_out.h"

#include "core/link/frames.h"
#include "core/link/read_plan.h"

#include <algorithm>

void startReadOut(CoreHarness &h, qint32 first, qint32 last)
{
    h.core->startReadOut(
        read_plan::makePlan(read_plan::Choice::Range, first, last, record_store::kLastGroup));
}

static qint32 triple(const QByteArray &frame, int at)
{
    return frames::fromBase100(quint8(frame[at]), quint8(frame[at + 1]), quint8(frame[at + 2]));
}

qint32 frameFirst(const QByteArray &frame) { return triple(frame, 1); }
qint32 frameLast(const QByteArray &frame) { return triple(frame, 4); }

QByteArray blockReplyFor(const QByteArray &frame, const std::function<QByteArray(qint32)> &record)
{
    QByteArray out;
    for (qint32 g = frameFirst(frame); g <= frameLast(frame); ++g)
        out.append(record(g));
    return out;
}

QByteArray recordBytes(const GroupRecord &r)
{
    QByteArray b(20, '\0');
    for (int c = 0; c < 3; ++c) {
        // hi × 100 + lo, each byte up to 255: the largest value, 25755, is 255 and 255.
        const int hi = std::min(255, r.val[c] / 100);
        b[1 + 3 * c] = char(hi);
        b[2 + 3 * c] = char(r.val[c] - hi * 100);
        b[3 + 3 * c] = char(r.stat[c]);
    }
    const quint8 stamp[] = {r.year, r.month, r.day, r.hour, r.minute, r.second};
    for (int i = 0; i < 6; ++i)
        b[10 + i] = char(stamp[i]);
    b[18] = char(r.charge);
    return b;
}

QByteArray sampleRecord(qint32 g)
{
    QByteArray r(20, char(0x5A));
    const int v = g % 25756;
    r[1] = char(v / 100 % 256);
    r[2] = char(v % 100);
    r[3] = char(0x40 | (g % 4));
    r[4] = char(g % 97);
    r[5] = char(g % 89);
    r[6] = char(0x30 | (g % 3));
    r[7] = char(g % 83);
    r[8] = char(g % 79);
    r[9] = char(0x20 | (g % 2));
    r[10] = char(g % 100);
    r[11] = char(1 + g % 12);
    r[12] = char(1 + g % 28);
    r[13] = char(g % 24);
    r[14] = char(g % 60);
    r[15] = char((g / 7) % 60);
    r[18] = char(g % 251);
    return r;
}

QString slotMismatch(const RecordStore &store, qint32 g, const QByteArray &rec)
{
    auto b = [&](int i) { return int(quint8(rec[i])); };
    const GroupRecord s = store.recordAt(g);
    const struct {
        const char *name;
        int stored;
        int sent;
    } fields[] = {
        {"value 1", s.val[0], b(1) * 100 + b(2)},
        {"status 1", s.stat[0], b(3)},
        {"value 2", s.val[1], b(4) * 100 + b(5)},
        {"status 2", s.stat[1], b(6)},
        {"value 3", s.val[2], b(7) * 100 + b(8)},
        {"status 3", s.stat[2], b(9)},
        {"year", s.year, b(10)},
        {"month", s.month, b(11)},
        {"day", s.day, b(12)},
        {"hour", s.hour, b(13)},
        {"minute", s.minute, b(14)},
        {"second", s.second, b(15)},
        {"charge", s.charge, b(18)},
    };
    for (const auto &field : fields) {
        if (field.stored != field.sent)
            return QStringLiteral("group %1: %2 is %3, the record says %4")
                .arg(g)
                .arg(QLatin1String(field.name))
                .arg(field.stored)
                .arg(field.sent);
    }
    return QString();
}
