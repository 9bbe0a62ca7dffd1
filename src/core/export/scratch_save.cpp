#include "core/export/scratch_save.h"

#include "platform/checked_save.h"

#include <QDir>
#include <QTemporaryDir>

namespace scratch_save {

QString save(const QString &target, FileLayer &files, const MakeFile &make)
{
    const QString shownTarget = QDir::toNativeSeparators(target);
    CheckedSave out(target, files);
    if (!out.open()) {
        return QStringLiteral("保存失败：无法写入文件“%1”。\n原因：%2")
            .arg(shownTarget, out.reason());
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return QStringLiteral("保存失败：无法创建临时文件夹。\n原因：%1")
            .arg(scratch.errorString());
    }
    QString failure;
    const QString finished = make(scratch.path(), &failure);
    if (finished.isEmpty())
        return failure;
    if (!out.commitFrom(finished)) {
        return QStringLiteral("保存失败：写入文件“%1”时出错，原有文件保持不变。\n原因：%2")
            .arg(shownTarget, out.reason());
    }
    return QString();
}

}  // namespace scratch_save
