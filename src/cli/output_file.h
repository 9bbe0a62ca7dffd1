#pragma once

#include "core/export/export_target.h"
#include "core/records/record_store.h"

#include <QString>

#include <optional>

// Where `harlune-cli read` writes the groups, in the format the name's
// extension asks for: a workbook (.xlsx, .xls, .xlsm) exactly as the
// window's Save writes it, CSV (.csv), or CSV on standard output ("-").
class OutputFile {
public:
    // Nothing for a name with any other extension: a script's typing error
    // is refused before anything is read, not guessed at.
    static std::optional<OutputFile> forPath(const QString &path);

    // What stands in the way of writing `count` groups from `first`, found
    // before they are read: no LibreOffice for .xls and .xlsm, more rows than
    // the format holds, a target that cannot be written. Empty when nothing does.
    QString problem(qint32 first, qint32 count) const;

    // Writes the groups first .. first + count - 1 of the store. Returns the
    // failure in the user's words, empty on success; a file already under
    // the name is kept as it was on failure.
    QString write(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag) const;

    // The name as the user gave it, or "标准输出" for "-".
    QString shownName() const;

private:
    enum class Kind { Workbook, CsvFile, CsvStandardOutput };
    OutputFile(Kind kind, const QString &path, export_target::SheetFormat format)
        : kind_(kind), path_(path), format_(format)
    {
    }

    Kind kind_;
    QString path_;
    export_target::SheetFormat format_;  // of a workbook
};
