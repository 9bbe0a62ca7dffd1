#include "gui/form1.h"

#include "core/export/export_target.h"
#include "core/export/save_workbook.h"
#include "core/product.h"
#include "gui/panel_status_bar.h"
#include "gui/save_folder.h"
#include "platform/ui_seam.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStandardPaths>

namespace {

// How long the status bar tells that a workbook was saved.
constexpr int kSavedNoticeMs = 5000;

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

}  // namespace

// Asks for a file name and exports the last read range under it. Cancel
// writes nothing and starts nothing. Before any read-out, and after Clear
// data, the range holds no group that was read: that is said, and neither a
// name is asked for nor a file written.
void Form1::Command3_Click()
{
    if (!core_->store().anyPresent(core_->lssavesum(), core_->memnum())) {
        dialogs_->message(this, product::title(), tr("没有可保存的数据：请先读取数据组。"),
                          UiSeam::Icon::Information);
        return;
    }
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString startFolder = save_folder::startFolder(
        lastSaveFolder_, programFolder, QFileInfo(programFolder).isWritable(), documentsFolder());
    const std::optional<QString> chosen =
        dialogs_->saveFileName(this, startFolder, export_target::dialogFilters());
    if (!chosen)
        return;
    lastSaveFolder_ = QFileInfo(*chosen).absolutePath();
    // The dialog asked before replacing the file it showed; a name that gets
    // ".xlsx" only now names another file, so the question is asked here.
    if (export_target::addsSuffix(*chosen)) {
        const QFileInfo target(export_target::targetFor(*chosen).path);
        if (target.exists()
            && !dialogs_->question(this, product::title(),
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
        failure =
            saveWorkbook(core_->store(), core_->lssavesum(), core_->memnum(), core_->secFlag(),
                         target, [this] { ProgressBar1->setVisible(false); });
    }
    // The message comes after the wait cursor is gone, so its box shows a normal one.
    if (!failure.isEmpty()) {
        dialogs_->message(this, product::title(), failure, UiSeam::Icon::Warning);
        return;
    }
    StatusBar1->showNotice(1, tr("已保存：%1").arg(QFileInfo(target.path).fileName()),
                           kSavedNoticeMs);
}
