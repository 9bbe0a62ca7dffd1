#pragma once

#include "core/records/record_store.h"

class WorkbookWriter;

// Writes the export sheet into a workbook: the merged title, the header row
// and one row per group.
namespace sheet_writer {

// Writes groups first .. first + count - 1 (none when count <= 0) in one pass
// from top to bottom, fitting the column widths to the cells on the way.
void writeSheet(WorkbookWriter &book, qint32 first, qint32 count, quint8 secFlag,
                const RecordStore &store);

}  // namespace sheet_writer
