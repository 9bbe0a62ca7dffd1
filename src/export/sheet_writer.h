#pragma once

#include "records/group_record.h"

#include <functional>

class WorkbookWriter;

// Writes the export sheet into a workbook: the merged title, the header row
// and one row per group.
namespace sheet_writer {

using RecordAt = std::function<GroupRecord(qint32 group)>;

// Writes groups first .. first + count - 1 (none when count <= 0). The
// workbook takes rows in order only and widths before cells, so a first pass
// over the groups fits the columns and a second one writes the rows.
void writeSheet(WorkbookWriter &book, qint32 first, qint32 count, quint8 secFlag,
                const RecordAt &recordAt);

} // namespace sheet_writer
