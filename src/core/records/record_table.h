#pragma once

#include "core/records/group_record.h"

#include <QString>

#include <functional>
#include <optional>

// The record table of the main window: a banner, a column header and the
// present groups of a range, two to a line, every line ended by CR LF.
namespace record_table {

// Width of a reading's field; a reading that fills it still gets one space in front.
constexpr int kReadingField = 8;
// Between the left and the right record of a line, and after a lone left record.
constexpr char kGap[] = "     ";
constexpr char kLineEnd[] = "\r\n";

// The banner and the column header, without line ends.
QString bannerLine();
QString headerLine();
// The banner and the header, each ended by CR LF: the view of a range without present groups.
QString headerText();

// Spaces that pad a reading to its field: n, but one for n = 0.
int paddingFor(quint8 n);

// The record text of group g: "NO.", six-digit group number, the three readings
// right-aligned to 8, "  20" and the time stamp yy/mm/dd/hh:mm, with ":ss" when
// secFlag is 1. Group numbers of present groups are never negative.
QString recordText(qint32 g, const GroupRecord &record, quint8 secFlag);
// The same, appended to `out`.
void appendRecord(QString &out, qint32 g, const GroupRecord &record, quint8 secFlag);

// The record of group g when it is present, nothing when it is absent or has no slot.
using RecordLookup = std::function<std::optional<GroupRecord>(qint32 g)>;

// The whole view for the groups first to last (both included): banner, header
// and the table lines. Consecutive pairs of group numbers share a line, the
// first on the left; an absent group leaves its slot empty, and a pair with
// neither present gives no line.
QString viewText(qint32 first, qint32 last, quint8 secFlag, const RecordLookup &lookup);

}  // namespace record_table
