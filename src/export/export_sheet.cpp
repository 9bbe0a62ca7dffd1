#include "window/form1.h"

#include "export/export_target.h"
#include "export/save_folder.h"
#include "export/sheet_rows.h"
#include "export/sheet_writer.h"
#include "platform/office_converter.h"
#include "platform/ui_seam.h"
#include "platform/workbook_writer.h"
#include "window/panel_status_bar.h"
#include "window/product.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// Title and header rows above the data rows.
constexpr qint64 kHeadRows = sheet_rows::kFirstDataRow;
// LibreOffice needs about 20 s for the largest sheet on a desktop machine.
constexpr int kConversionTimeoutMs = 5 * 60 * 1000;
constexpr qint64 kCopyChunkBytes = 1 << 20;
constexpr qsizetype kSignatureBytes = 8;

QString nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

// How long the status bar tells that a workbook was saved.
constexpr int kSavedNoticeMs = 5000;
const QString kSavedNotice = QStringLiteral("已保存：%1");

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

// Copies the finished workbook into the save file; the caller commits it.
bool copyInto(const QString &sourcePath, QSaveFile &out, QString *error)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kCopyChunkBytes);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            *error = source.errorString();
            return false;
        }
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            return false;
        }
    }
    return true;
}

QByteArray fileHead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kSignatureBytes) : QByteArray();
}

// Writes the sheet of the window's last read range to `target`. Returns the
// reason in the user's language when it failed, empty on success. The file
// under the target name is replaced only by a complete workbook: everything
// is built in a scratch folder first and then moved into place in one step.
QString saveSheet(Form1 &form, const export_target::Target &target)
{
    const QString format = QLatin1Char('.') + export_target::suffix(target.format);

    if (!export_target::rangeInStore(form.lssavesum, form.memnum)) {
        return QStringLiteral("保存失败：组号范围 %1 到 %2 超出了 %3 到 %4，文件没有保存。")
            .arg(form.lssavesum)
            .arg(qint64(form.lssavesum) + form.memnum - 1)
            .arg(record_store::kFirstGroup)
            .arg(record_store::kLastGroup);
    }
    const qint32 groups = std::max(form.memnum, 0);
    if (kHeadRows + groups > export_target::maxRows(target.format)) {
        return QStringLiteral("保存失败：%1 文件最多只能容纳 %2 行，这次导出需要 %3 行。"
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
            return QStringLiteral("保存 %1 文件需要 LibreOffice，但没有找到它（soffice 或 "
                                  "libreoffice）。文件没有保存。请安装 LibreOffice，或改存为 "
                                  ".xlsx 文件。")
                .arg(format);
        }
    }

    QSaveFile out(target.path);
    if (!out.open(QIODevice::WriteOnly)) {
        return QStringLiteral("保存失败：无法写入文件“%1”。\n原因：%2")
            .arg(nativePath(target.path), out.errorString());
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return QStringLiteral("保存失败：无法创建临时文件夹。\n原因：%1")
            .arg(scratch.errorString());
    }

    QString finished = scratch.filePath(QStringLiteral("sheet.xlsx"));
    WorkbookWriter book(finished, scratch.path());
    sheet_writer::writeSheet(book, form.lssavesum, groups, form.secFlag,
                             [&form](qint32 g) { return form.recordAt(g); });
    form.ProgressBar1->setVisible(false);
    if (!book.close())
        return QStringLiteral("保存失败：生成工作簿时出错。\n原因：%1").arg(book.errorText());

    if (!filter.isEmpty()) {
        OfficeConverter converter(office);
        finished = converter.convert(finished, export_target::suffix(target.format), filter,
                                     scratch.path(), kConversionTimeoutMs);
        QString reason = converter.errorText();
        if (!finished.isEmpty() && !export_target::hasSignature(target.format, fileHead(finished)))
            reason = QStringLiteral("LibreOffice 生成的文件不是 %1 格式").arg(format);
        if (!reason.isEmpty()) {
            return QStringLiteral("保存失败：LibreOffice 未能把工作簿转换为 %1 格式，文件没有保存。"
                                  "\n原因：%2")
                .arg(format, reason);
        }
    }

    QString reason;
    if (!copyInto(finished, out, &reason) || !out.commit()) {
        if (reason.isEmpty())
            reason = out.errorString();
        return QStringLiteral("保存失败：写入文件“%1”时出错，原有文件保持不变。\n原因：%2")
            .arg(nativePath(target.path), reason);
    }
    return QString();
}

}  // namespace

// Asks for a file name and exports the last read range under it. Cancel
// writes nothing and starts nothing.
void Form1::Command3_Click()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString startFolder = save_folder::startFolder(
        lastSaveFolder_, programFolder, QFileInfo(programFolder).isWritable(), documentsFolder());
    const std::optional<QString> chosen =
        dialogs->saveFileName(this, startFolder, export_target::dialogFilters());
    if (!chosen)
        return;
    lastSaveFolder_ = QFileInfo(*chosen).absolutePath();
    // The dialog asked before replacing the file it showed; a name that gets
    // ".xlsx" only now names another file, so the question is asked here.
    if (export_target::addsSuffix(*chosen)) {
        const QFileInfo target(export_target::targetFor(*chosen).path);
        if (target.exists()
            && !dialogs->question(this, product::title(),
                                  export_target::replaceQuestion(target.fileName())))
            return;
    }
    exportSheet(*chosen);
}

// Writes the groups lssavesum .. lssavesum + memnum - 1 into a one-sheet
// workbook: the merged title "Harlune", the header row, one row per group.
// Any failure is reported to the user and leaves no file behind; a save that
// worked is told for a few seconds in the status bar's first panel.
void Form1::exportSheet(const QString &fileName)
{
    const export_target::Target target = export_target::targetFor(fileName);
    QString failure;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        failure = saveSheet(*this, target);
    }
    // The message comes after the wait cursor is gone, so its box shows a normal one.
    if (!failure.isEmpty()) {
        dialogs->message(this, product::title(), failure, UiSeam::Icon::Warning);
        return;
    }
    StatusBar1->showNotice(1, kSavedNotice.arg(QFileInfo(target.path).fileName()), kSavedNoticeMs);
}
