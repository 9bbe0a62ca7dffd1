#include "core/export/csv_rows.h"

#include "core/records/amperes.h"
#include "core/records/group_record.h"
#include "core/records/reading_format.h"

#include <QDateTime>
#include <QLocale>

namespace csv_rows {

namespace {

constexpr char kSeparator = ',';
constexpr char kLineEnd = '\n';
// A line is a few dozen characters; room for the longest saves reallocating.
constexpr qsizetype kLineReserve = 128;

// Two digits, as ISO 8601 writes months, days, hours, minutes and seconds.
QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// The three channels' amperes, then their texts, each after a separator.
void appendReadings(QByteArray &line, const quint16 (&raw)[LiveHistory::kChannels],
                    const quint8 (&status)[LiveHistory::kChannels])
{
    for (int c = 0; c < LiveHistory::kChannels; ++c)
        line += kSeparator + amperesText(raw[c], status[c]).toLatin1();
    for (int c = 0; c < LiveHistory::kChannels; ++c)
        line += kSeparator + readingText(raw[c], status[c]).toUtf8();
}

}  // namespace

QByteArray groupHeader() { return QByteArrayLiteral("group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge"); }

QByteArray liveHeader() { return QByteArrayLiteral("time,i1_a,i2_a,i3_a,i1,i2,i3"); }

// Written field by field, not through QDateTime: the instrument's time stamp
// need not be a valid date (month 0 after Clear data, day 31 of a short
// month), and its text must still say what the instrument holds.
QString isoTime(const GroupRecord &record, quint8 secFlag)
{
    QString text = QStringLiteral("%1-%2-%3T%4:%5")
                       .arg(record_store::kCentury + record.year)
                       .arg(twoDigits(record.month), twoDigits(record.day), twoDigits(record.hour),
                            twoDigits(record.minute));
    if (secFlag == record_store::kWithSeconds)
        text += QLatin1Char(':') + twoDigits(record.second);
    return text;
}

// amperes() gives the double nearest to the true current, and the shortest
// text that reads back as that double is the instrument's own decimal
// (it has at most five significant digits); 'f' keeps it free of exponents.
QString amperesText(quint16 raw, quint8 status)
{
    const std::optional<double> value = reading_amperes::amperes(raw, status);
    return value ? QString::number(*value, 'f', QLocale::FloatingPointShortest) : QString();
}

QString readingText(quint16 raw, quint8 status)
{
    return reading_format::formatReading(raw, status).trimmed();
}

QByteArray groupLine(qint32 group, const GroupRecord &record, quint8 secFlag)
{
    QByteArray line;
    line.reserve(kLineReserve);
    line += QByteArray::number(group) + kSeparator + isoTime(record, secFlag).toLatin1();
    appendReadings(line, record.val, record.stat);
    line += kSeparator + QByteArray::number(record.charge) + kLineEnd;
    return line;
}

QByteArray liveLine(const LiveHistory::Entry &entry)
{
    QByteArray line;
    line.reserve(kLineReserve);
    line += QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch)
                .toString(Qt::ISODateWithMs)
                .toLatin1();
    appendReadings(line, entry.raw, entry.status);
    line += kLineEnd;
    return line;
}

}  // namespace csv_rows
