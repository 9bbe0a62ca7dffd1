#include "core/export/save_workbook.h"

#include "core/export/sheet_rows.h"
#include "core/records/group_record.h"
#include "platform/checked_save.h"
#include "platform/office_converter.h"
#include "platform/workbook_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// Title and header rows above the data rows.
constexpr qint64 kHeadRows = sheet_rows::kFirstDataRow;
// LibreOffice needs about 20 s for the largest sheet on a desktop machine.
constexpr int kConversionTimeoutMs = 5 * 60 * 1000;
constexpr qsizetype kSignatureBytes = 8;

QString nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

QByteArray fileHead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kSignatureBytes) : QByteArray();
}

}  // namespace

// Everything is built in a scratch folder first and then put in place by a
// CheckedSave, which is opened early so that a target that cannot be written
// is reported before the workbook is built.
QString saveWorkbook(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
                     const export_target::Target &target, const std::function<void()> &rowsWritten,
                     FileLayer &files)
{
    const QString format = QLatin1Char('.') + export_target::suffix(target.format);

    if (!export_target::rangeInStore(first, count)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：组号范围 %1 到 %2 超出了 %3 到 %4，文件没有保存。")
            .arg(first)
            .arg(qint64(first) + count - 1)
            .arg(record_store::kFirstGroup)
            .arg(record_store::kLastGroup);
    }
    const qint32 groups = std::max(count, 0);
    if (kHeadRows + groups > export_target::maxRows(target.format)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：%1 文件最多只能容纳 %2 行，这次导出需要 %3 行。"
                                    "请改存为 .xlsx 文件。")
            .arg(format)
            .arg(export_target::maxRows(target.format))
            .arg(kHeadRows + groups);
    }

    const QString filter = export_target::officeFilter(target.format);
    QString office;
    if (!filter.isEmpty()) {
        office = OfficeConverter::findProgram();
        if (office.isEmpty()) {
            return QCoreApplication::translate(
                       "save_workbook", "保存 %1 文件需要 LibreOffice，但没有找到它（soffice 或 "
                                        "libreoffice）。文件没有保存。请安装 LibreOffice，或改存为 "
                                        ".xlsx 文件。")
                .arg(format);
        }
    }

    CheckedSave out(target.path, files);
    if (!out.open()) {
        return QCoreApplication::translate("save_workbook",
                                           "保存失败：无法写入文件“%1”。\n原因：%2")
            .arg(nativePath(target.path), out.reason());
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return QCoreApplication::translate("save_workbook",
                                           "保存失败：无法创建临时文件夹。\n原因：%1")
            .arg(scratch.errorString());
    }

    QString finished = scratch.filePath(QStringLiteral("sheet.xlsx"));
    WorkbookWriter book(finished, scratch.path());
    sheet_writer::writeSheet(book, first, groups, secFlag, store);
    rowsWritten();
    if (!book.close())
        return QCoreApplication::translate("save_workbook",
                                           "保存失败：生成工作簿时出错。\n原因：%1")
            .arg(book.errorText());

    if (!filter.isEmpty()) {
        OfficeConverter converter(office);
        finished = converter.convert(finished, export_target::suffix(target.format), filter,
                                     scratch.path(), kConversionTimeoutMs);
        QString reason = converter.errorText();
        if (!finished.isEmpty() && !export_target::hasSignature(target.format, fileHead(finished)))
            reason =
                QCoreApplication::translate("save_workbook", "LibreOffice 生成的文件不是 %1 格式")
                    .arg(format);
        if (!reason.isEmpty()) {
            return QCoreApplication::translate(
                       "save_workbook",
                       "保存失败：LibreOffice 未能把工作簿转换为 %1 格式，文件没有保存。"
                       "\n原因：%2")
                .arg(format, reason);
        }
    }

    if (!out.commitFrom(finished)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：写入文件“%1”时出错，原有文件保持不变。\n原因：%2")
            .arg(nativePath(target.path), out.reason());
    }
    return QString();
}
