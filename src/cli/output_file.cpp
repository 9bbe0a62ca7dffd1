#include "cli/output_file.h"

#include "core/export/kept_file.h"
#include "core/export/save_csv.h"
#include "core/export/save_workbook.h"
#include "core/export/scratch_save.h"
#include "platform/console_output.h"
#include "platform/system_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
const QString kStandardOutputName = QStringLiteral("-");
const QString kCsvSuffix = QStringLiteral("csv");

bool isStreamPath(const QString &path)
{
    return FileLayer::system().kindOf(path) == FileLayer::Kind::Stream;
}
}  // namespace

std::optional<OutputFile> OutputFile::forPath(const QString &path)
{
    if (path == kStandardOutputName)
        return OutputFile(Kind::CsvStandardOutput, path, {});
    if (QFileInfo(path).suffix().compare(kCsvSuffix, Qt::CaseInsensitive) == 0)
        return OutputFile(Kind::CsvFile, path, {});
    if (const std::optional<export_target::SheetFormat> format = export_target::formatOf(path))
        return OutputFile(Kind::Workbook, path, *format);
    // /dev/stdout, a pipe made with mkfifo: CSV, as on standard output.
    if (isStreamPath(path))
        return OutputFile(Kind::CsvFile, path, {});
    return std::nullopt;
}

QString OutputFile::problem(qint32 first, qint32 count) const
{
    switch (kind_) {
    case Kind::Workbook: {
        const QString problem = workbookProblem({path_, format_}, first, count);
        return problem.isEmpty() ? scratch_save::targetProblem(path_) : problem;
    }
    case Kind::CsvFile: return scratch_save::targetProblem(path_);
    case Kind::CsvStandardOutput: break;
    }
    return QString();
}

QString OutputFile::writeTo(const QString &path, const RecordStore &store, qint32 first,
                            qint32 count, quint8 secFlag) const
{
    if (kind_ == Kind::Workbook)
        return saveWorkbook(store, first, count, secFlag, {path, format_}, [] {});
    return save_csv::save(store, first, count, secFlag, path);
}

OutputFile::Outcome OutputFile::write(const RecordStore &store, qint32 first, qint32 count,
                                      quint8 secFlag, bool whole) const
{
    Outcome outcome;
    if (kind_ == Kind::CsvStandardOutput) {
        console_output::StreamDevice out(stdout);
        outcome.path = shownName();
        if (save_csv::write(out, store, first, count, secFlag))
            return outcome;
        const int error = out.systemError();
        outcome.kind = system_error::causeOf(error) == system_error::Cause::BrokenPipe
                           ? Outcome::Kind::ReaderGone
                           : Outcome::Kind::Failed;
        outcome.failure = standardOutputFailure(error);
        return outcome;
    }
    const kept_file::Destination to = kept_file::destinationFor(path_, count, whole);
    switch (to.kind) {
    case kept_file::Destination::Kind::Nothing: outcome.kind = Outcome::Kind::Kept; return outcome;
    case kept_file::Destination::Kind::Beside:
        outcome.beside = true;
        if (to.path.isEmpty()) {
            outcome.kind = Outcome::Kind::Failed;
            outcome.failure =
                QCoreApplication::translate("harlune-cli",
                                            "没有写入：读取没有完成，而“%"
                                            "1”旁边部分结果的文件名都已被占用。原有文件保持不变。")
                    .arg(shownName());
            return outcome;
        }
        break;
    case kept_file::Destination::Kind::Target: break;
    }
    outcome.path = QDir::toNativeSeparators(to.path);
    outcome.failure = writeTo(to.path, store, first, count, secFlag);
    if (!outcome.failure.isEmpty())
        outcome.kind = Outcome::Kind::Failed;
    return outcome;
}

QString OutputFile::shownName() const
{
    return kind_ == Kind::CsvStandardOutput ? QCoreApplication::translate("harlune-cli", "标准输出")
                                            : QDir::toNativeSeparators(path_);
}

bool OutputFile::isStream() const
{
    return kind_ == Kind::CsvStandardOutput || isStreamPath(path_);
}

QString OutputFile::standardOutputFailure(int code)
{
    return QCoreApplication::translate("harlune-cli", "写入标准输出时出错：%1")
        .arg(system_error::inUserWords(code));
}
