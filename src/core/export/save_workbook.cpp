#include "core/export/save_workbook.h"

#include "core/export/scratch_save.h"
#include "core/export/sheet_rows.h"
#include "core/records/group_record.h"
#include "platform/office_converter.h"
#include "platform/workbook_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

// Title and header rows above the data rows.
constexpr qint64 kHeadRows = sheet_rows::kFirstDataRow;
// LibreOffice needs about 20 s for the largest sheet on a desktop machine.
constexpr int kConversionTimeoutMs = 5 * 60 * 1000;
constexpr qsizetype kSignatureBytes = 8;

QByteArray fileHead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kSignatureBytes) : QByteArray();
}

// ".xls", as messages name a format.
QString dotted(export_target::SheetFormat format)
{
    return QLatin1Char('.') + export_target::suffix(format);
}

// .xls and .xlsm: LibreOffice converts the workbook inside the scratch folder.
// Returns the converted file, or an empty text with the failure in *failure.
QString converted(const QString &workbook, export_target::SheetFormat format,
                  const QString &scratchDir, QString *failure)
{
    OfficeConverter converter(OfficeConverter::findProgram());
    const QString result =
        converter.convert(workbook, export_target::suffix(format),
                          export_target::officeFilter(format), scratchDir, kConversionTimeoutMs);
    QString reason = converter.errorText();
    if (!result.isEmpty() && !export_target::hasSignature(format, fileHead(result)))
        reason = QCoreApplication::translate("save_workbook", "LibreOffice 生成的文件不是 %1 格式")
                     .arg(dotted(format));
    if (reason.isEmpty())
        return result;
    *failure =
        QCoreApplication::translate(
            "save_workbook", "保存失败：LibreOffice 未能把工作簿转换为 %1 格式，文件没有保存。"
                             "\n原因：%2")
            .arg(dotted(format), reason);
    return QString();
}

}  // namespace

QString workbookProblem(const export_target::Target &target, qint32 first, qint32 count)
{
    if (!export_target::rangeInStore(first, count)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：组号范围 %1 到 %2 超出了 %3 到 %4，文件没有保存。")
            .arg(first)
            .arg(qint64(first) + count - 1)
            .arg(record_store::kFirstGroup)
            .arg(record_store::kLastGroup);
    }
    const qint64 rows = kHeadRows + std::max(count, 0);
    if (rows > export_target::maxRows(target.format)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：%1 文件最多只能容纳 %2 行，这次导出需要 %3 行。"
                                    "请改存为 .xlsx 文件。")
            .arg(dotted(target.format))
            .arg(export_target::maxRows(target.format))
            .arg(rows);
    }
    if (!export_target::officeFilter(target.format).isEmpty()
        && OfficeConverter::findProgram().isEmpty()) {
        return QCoreApplication::translate(
                   "save_workbook", "保存 %1 文件需要 LibreOffice，但没有找到它（soffice 或 "
                                    "libreoffice）。文件没有保存。请安装 LibreOffice，或改存为 "
                                    ".xlsx 文件。")
            .arg(dotted(target.format));
    }
    return QString();
}

QString saveWorkbook(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
                     const export_target::Target &target, const std::function<void()> &rowsWritten,
                     FileLayer &files)
{
    const QString problem = workbookProblem(target, first, count);
    if (!problem.isEmpty())
        return problem;
    return scratch_save::save(target.path, files, [&](const QString &scratchDir, QString *failure) {
        const QString workbook = QDir(scratchDir).filePath(QStringLiteral("sheet.xlsx"));
        WorkbookWriter book(workbook, scratchDir);
        sheet_writer::writeSheet(book, first, std::max(count, 0), secFlag, store);
        rowsWritten();
        if (!book.close()) {
            *failure = QCoreApplication::translate("save_workbook",
                                                   "保存失败：生成工作簿时出错。\n原因：%1")
                           .arg(book.errorText());
            return QString();
        }
        if (export_target::officeFilter(target.format).isEmpty())
            return workbook;
        return converted(workbook, target.format, scratchDir, failure);
    });
}
