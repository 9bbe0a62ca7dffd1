#pragma once

#include "core/export/export_target.h"
#include "core/export/sheet_writer.h"
#include "core/records/record_store.h"
#include "platform/file_layer.h"

#include <QString>

#include <functional>

// Why the groups first .. first + count - 1 cannot be saved in the target's
// format, known before anything is read or written: a range outside the
// store, more rows than the format holds, or no LibreOffice for .xls and
// .xlsm. Empty when nothing stands in the way. saveWorkbook checks it first.
QString workbookProblem(const export_target::Target &target, qint32 first, qint32 count);

// Writes the groups first .. first + count - 1 of the store (none when count <= 0) into a
// one-sheet workbook at `target`, in its format: the merged title, the header
// row, one row per group. `rowsWritten` is called once the rows are in the
// workbook, before it is assembled, which takes a while longer.
//
// Returns the failure in the user's words, empty on success. The file under
// the target name is replaced only by the whole workbook (see CheckedSave);
// `files` is the file layer it is written through, a test's in tests.
QString saveWorkbook(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
                     const export_target::Target &target, const std::function<void()> &rowsWritten,
                     FileLayer &files = FileLayer::system());
