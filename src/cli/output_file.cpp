#include "cli/output_file.h"

#include "core/export/save_csv.h"
#include "core/export/save_workbook.h"
#include "core/export/scratch_save.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {
const QString kStandardOutputName = QStringLiteral("-");
const QString kCsvSuffix = QStringLiteral("csv");
}  // namespace

std::optional<OutputFile> OutputFile::forPath(const QString &path)
{
    if (path == kStandardOutputName)
        return OutputFile(Kind::CsvStandardOutput, path, {});
    if (QFileInfo(path).suffix().compare(kCsvSuffix, Qt::CaseInsensitive) == 0)
        return OutputFile(Kind::CsvFile, path, {});
    if (const std::optional<export_target::SheetFormat> format = export_target::formatOf(path))
        return OutputFile(Kind::Workbook, path, *format);
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

QString OutputFile::write(const RecordStore &store, qint32 first, qint32 count,
                          quint8 secFlag) const
{
    switch (kind_) {
    case Kind::Workbook: return saveWorkbook(store, first, count, secFlag, {path_, format_}, [] {});
    case Kind::CsvFile: return save_csv::save(store, first, count, secFlag, path_);
    case Kind::CsvStandardOutput: break;
    }
    QFile out;
    if (out.open(stdout, QIODevice::WriteOnly) && save_csv::write(out, store, first, count, secFlag)
        && out.flush())
        return QString();
    return QCoreApplication::translate("harlune-cli", "写入标准输出时出错：%1")
        .arg(out.errorString());
}

QString OutputFile::shownName() const
{
    return kind_ == Kind::CsvStandardOutput ? QCoreApplication::translate("harlune-cli", "标准输出")
                                            : QDir::toNativeSeparators(path_);
}
