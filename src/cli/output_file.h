#pragma once

#include "core/export/export_target.h"
#include "core/records/record_store.h"

#include <QString>

#include <optional>

// Where `harlune-cli read` writes the groups, in the format the name's
// extension asks for: a workbook (.xlsx, .xls, .xlsm) exactly as the
// window's Save writes it, CSV (.csv), or CSV on standard output ("-"). A
// named pipe or a device without one of these extensions gets CSV too.
class OutputFile {
public:
    // Nothing for a name with any other extension: a script's typing error
    // is refused before anything is read, not guessed at.
    static std::optional<OutputFile> forPath(const QString &path);

    // What stands in the way of writing `count` groups from `first`, found
    // before they are read: no LibreOffice for .xls and .xlsm, more rows than
    // the format holds, a target that cannot be written. Empty when nothing does.
    QString problem(qint32 first, qint32 count) const;

    struct Outcome {
        enum class Kind {
            Written,     // under `path`
            Kept,        // nothing written: no groups, and the user's file is kept
            Failed,      // `failure` says why; a file under the name is kept as it was
            ReaderGone,  // standard output's reader closed it before the end
        };
        Kind kind = Kind::Written;
        QString path;         // as the user reads it: the name, "标准输出", or the partial name
        bool beside = false;  // written beside the user's file, which is kept
        QString failure;
    };
    // Writes the groups first .. first + count - 1 of the store. `whole`
    // says that they are every group the read asked for: a file the user
    // already has is replaced only by a whole result with groups (see
    // kept_file.h).
    Outcome write(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
                  bool whole) const;

    // The name as the user gave it, or "标准输出" for "-".
    QString shownName() const;
    // Written into rather than replaced: standard output, a pipe, a device.
    bool isStream() const;

    // A write to standard output that failed with the system's error `code`.
    static QString standardOutputFailure(int code);

private:
    enum class Kind { Workbook, CsvFile, CsvStandardOutput };
    OutputFile(Kind kind, const QString &path, export_target::SheetFormat format)
        : kind_(kind), path_(path), format_(format)
    {
    }
    // The groups into `path` in this file's format; the failure, or empty.
    QString writeTo(const QString &path, const RecordStore &store, qint32 first, qint32 count,
                    quint8 secFlag) const;

    Kind kind_;
    QString path_;
    export_target::SheetFormat format_;  // of a workbook
};
