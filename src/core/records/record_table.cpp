#include "core/records/record_table.h"

#include "core/product.h"
#include "core/records/group_record.h"
#include "core/records/reading_format.h"

#include <QCoreApplication>

namespace record_table {

namespace {

constexpr int kBannerIndent = 44;
constexpr int kGroupDigits = 6;
constexpr int kTimePartDigits = 2;
constexpr int kDecimal = 10;
// Reserve room for at most one block's worth of groups: listings of a read-out
// cover one block, and the listing of a whole empty store needs almost nothing.
constexpr qint64 kReservedGroups = 1000;
constexpr int kReservedPerGroup =
    60;  // a record with seconds and wide readings, plus its share of a line

// Appends v in decimal, left-padded with zeros to `width` digits.
void appendPadded(QString &out, quint32 v, int width)
{
    char digits[16];
    int n = 0;
    do {
        digits[n++] = char('0' + v % kDecimal);
        v /= kDecimal;
    } while (v > 0);
    for (int i = n; i < width; ++i)
        out += QLatin1Char('0');
    while (n > 0)
        out += QLatin1Char(digits[--n]);
}

void appendReading(QString &out, quint16 value, quint8 status)
{
    const QString reading = reading_format::formatReading(value, status);
    static constexpr char kSpaces[] = "        ";  // kReadingField of them
    static_assert(sizeof(kSpaces) - 1 == kReadingField);
    const int room = kReadingField - int(reading.size());
    // A reading longer than its field (the formatter never gives one) gets one space, like a full
    // one.
    out += QLatin1String(kSpaces, paddingFor(room > 0 ? quint8(room) : 0));
    out += reading;
}

}  // namespace

QString bannerLine() { return QString(kBannerIndent, QLatin1Char(' ')) + product::title(); }

// One text for the whole line: its words stand over the columns of the
// records, and a translation keeps them there (a CJK character takes two).
QString headerLine()
{
    return QCoreApplication::translate(
        "record_table", "   组数  一路电流 二路电流 三路电流       时间               组数   "
                        "一路电流 二路电流 三路电流      时间           ");
}

QString headerText()
{
    return bannerLine() + QLatin1String(kLineEnd) + headerLine() + QLatin1String(kLineEnd);
}

int paddingFor(quint8 n) { return n == 0 ? 1 : n; }

void appendRecord(QString &out, qint32 g, const GroupRecord &record, quint8 secFlag)
{
    out += QLatin1String("NO.");
    appendPadded(out, g, kGroupDigits);
    for (int c = 0; c < 3; ++c)
        appendReading(out, record.val[c], record.stat[c]);
    out += QLatin1String("  20");
    appendPadded(out, record.year, kTimePartDigits);
    out += QLatin1Char('/');
    appendPadded(out, record.month, kTimePartDigits);
    out += QLatin1Char('/');
    appendPadded(out, record.day, kTimePartDigits);
    out += QLatin1Char('/');
    appendPadded(out, record.hour, kTimePartDigits);
    out += QLatin1Char(':');
    appendPadded(out, record.minute, kTimePartDigits);
    if (secFlag == record_store::kWithSeconds) {
        out += QLatin1Char(':');
        appendPadded(out, record.second, kTimePartDigits);
    }
}

QString recordText(qint32 g, const GroupRecord &record, quint8 secFlag)
{
    QString out;
    appendRecord(out, g, record, secFlag);
    return out;
}

QString viewText(qint32 first, qint32 last, quint8 secFlag, const RecordLookup &lookup)
{
    QString out = headerText();
    const qint64 span = qMax<qint64>(0, qint64(last) - first + 1);
    out.reserve(out.size() + qMin(span, kReservedGroups) * kReservedPerGroup);

    // 64-bit, so that a range ending at the largest 32-bit number still ends.
    for (qint64 g = first; g <= last; g += 2) {
        const std::optional<GroupRecord> left = lookup(qint32(g));
        const std::optional<GroupRecord> right =
            g < last ? lookup(qint32(g + 1)) : std::optional<GroupRecord>();
        if (!left && !right)
            continue;
        if (left)
            appendRecord(out, qint32(g), *left, secFlag);
        out += QLatin1String(kGap);
        if (right)
            appendRecord(out, qint32(g + 1), *right, secFlag);
        out += QLatin1String(kLineEnd);
    }
    return out;
}

}  // namespace record_table
