#pragma once

#include "core/records/record_store.h"
#include "platform/file_layer.h"

#include <QString>

class QIODevice;

// The groups first .. first + count - 1 of the store (none when count <= 0)
// as CSV (csv_rows): the header, then one line per group. The range lies
// within the store, as a read plan's always does.
namespace save_csv {

// Writes them to `out`, standard output for instance. False when a write failed.
bool write(QIODevice &out, const RecordStore &store, qint32 first, qint32 count, quint8 secFlag);

// Saves them under `path`, whole or not at all, as every file the user names
// (see scratch_save). Returns the failure in the user's words, empty on success.
QString save(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
             const QString &path, FileLayer &files = FileLayer::system());

}  // namespace save_csv
