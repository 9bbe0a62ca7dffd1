#include "core/export/save_csv.h"

#include "core/export/csv_rows.h"
#include "core/export/scratch_save.h"
#include "platform/system_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace save_csv {

namespace {
// Lines are gathered and handed on in pieces of about this size: few writes,
// little memory, whatever the number of groups.
constexpr qsizetype kChunkBytes = 64 * 1024;
}  // namespace

bool write(QIODevice &out, const RecordStore &store, qint32 first, qint32 count, quint8 secFlag)
{
    QByteArray chunk = csv_rows::groupHeader() + '\n';
    chunk.reserve(kChunkBytes * 2);
    for (qint32 k = 0; k < count; ++k) {
        chunk += csv_rows::groupLine(first + k, store.recordAt(first + k), secFlag);
        if (chunk.size() >= kChunkBytes) {
            if (out.write(chunk) != chunk.size())
                return false;
            chunk.resize(0);  // keeps its capacity
        }
    }
    return out.write(chunk) == chunk.size();
}

QString save(const RecordStore &store, qint32 first, qint32 count, quint8 secFlag,
             const QString &path, FileLayer &files)
{
    return scratch_save::save(path, files, [&](const QString &scratchDir, QString *failure) {
        QFile file(QDir(scratchDir).filePath(QStringLiteral("groups.csv")));
        if (!file.open(QIODevice::WriteOnly) || !write(file, store, first, count, secFlag)
            || !file.flush()) {
            *failure = QCoreApplication::translate("save_workbook",
                                                   "保存失败：生成 CSV 文件时出错。\n原因：%1")
                           .arg(system_error::inUserWords(file.errorString()));
            return QString();
        }
        return file.fileName();
    });
}

}  // namespace save_csv
