#include "core/export/scratch_save.h"

#include "platform/checked_save.h"
#include "platform/system_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace scratch_save {

namespace {

QString openFailure(const QString &target, const CheckedSave &out)
{
    return QCoreApplication::translate("save_workbook", "保存失败：无法写入文件“%1”。\n原因：%2")
        .arg(QDir::toNativeSeparators(target), out.reason());
}

}  // namespace

QString targetProblem(const QString &target, FileLayer &files)
{
    CheckedSave probe(target, files);
    return probe.open() ? QString() : openFailure(target, probe);
}

QString save(const QString &target, FileLayer &files, const MakeFile &make)
{
    CheckedSave out(target, files);
    if (!out.open())
        return openFailure(target, out);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return QCoreApplication::translate("save_workbook",
                                           "保存失败：无法创建临时文件夹。\n原因：%1")
            .arg(system_error::inUserWords(scratch.errorString()));
    }
    QString failure;
    const QString finished = make(scratch.path(), &failure);
    if (finished.isEmpty())
        return failure;
    if (!out.commitFrom(finished)) {
        return QCoreApplication::translate(
                   "save_workbook", "保存失败：写入文件“%1”时出错，原有文件保持不变。\n原因：%2")
            .arg(QDir::toNativeSeparators(target), out.reason());
    }
    return QString();
}

}  // namespace scratch_save
