#include "platform/checked_save.h"

#include "platform/system_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

// Enough to read a workbook in a few steps without holding it all in memory.
constexpr qint64 kCopyChunkBytes = 1 << 20;
// Random temporary names collide only by chance; a few more draws settle it.
constexpr int kNameAttempts = 16;
// A chain of links longer than this is a loop; its first name is replaced then.
constexpr int kMaxLinkDepth = 32;

// The temporary file's name is short and independent of the target's, so a
// name just within the file system's limit still has a temporary file. The
// leading dot hides it in Unix folder listings for the moment it exists.
QString temporaryName()
{
    return QStringLiteral(".harlune-%1.tmp")
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// A link to a workbook keeps pointing at it: the file it names is replaced,
// not the link.
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < kMaxLinkDepth && info.isSymbolicLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymbolicLink() ? path : info.filePath();
}

QString incompleteReason(qint64 onDisk, qint64 expected)
{
    return QCoreApplication::translate("checked_save", "文件只写入了 %1 字节，应为 %2 字节")
        .arg(onDisk)
        .arg(expected);
}

}  // namespace

CheckedSave::CheckedSave(const QString &target, FileLayer &files)
    : files_(files), target_(followLinks(target)),
      stream_(files.kindOf(target_) == FileLayer::Kind::Stream)
{
}

CheckedSave::~CheckedSave() { discard(); }

bool CheckedSave::open()
{
    if (const int error = files_.targetProblem(target_))
        return fail(error);
    if (stream_)
        return true;
    const QFileInfo target(target_);
    int error = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString candidate = target.absoluteDir().filePath(temporaryName());
        error = files_.createNew(candidate, &handle_);
        if (error == 0) {
            temporary_ = candidate;
            handleOpen_ = true;
            // A replaced file keeps its permissions. A file system without
            // them (FAT on a memory stick) refuses, and the file is whole all
            // the same, so a refusal is no failure of the save.
            if (target.exists())
                QFile::setPermissions(temporary_, target.permissions());
            return true;
        }
        if (system_error::causeOf(error) != system_error::Cause::Exists)
            break;
    }
    return fail(error);
}

bool CheckedSave::commitFrom(const QString &sourcePath)
{
    if (stream_) {
        if (const int error = files_.openStream(target_, &handle_))
            return fail(error);
        handleOpen_ = true;
        qint64 copied = 0;
        if (!copyInto(sourcePath, &copied))
            return false;
        handleOpen_ = false;
        if (const int error = files_.close(handle_))
            return fail(error);
        return true;
    }
    if (!handleOpen_ && !open())
        return false;
    qint64 expected = 0;
    if (!copyInto(sourcePath, &expected))
        return false;

    // A file system that allocates late (ext4, XFS, network shares) may
    // report a full disk only here.
    if (const int error = files_.sync(handle_))
        return fail(error);
    handleOpen_ = false;
    if (const int error = files_.close(handle_))
        return fail(error);
    // The size is checked on the temporary file, before the rename: the
    // rename moves the file as it is, and a fault found after it could no
    // longer keep the old file.
    qint64 onDisk = 0;
    if (const int error = files_.size(temporary_, &onDisk))
        return fail(error);
    if (onDisk != expected)
        return failWithReason(incompleteReason(onDisk, expected));
    if (const int error = files_.replace(temporary_, target_))
        return fail(error);
    temporary_.clear();
    return true;
}

// Every byte of the source through the open handle, each write checked;
// *copied is how many there were.
bool CheckedSave::copyInto(const QString &sourcePath, qint64 *copied)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return failWithReason(system_error::inUserWords(source.errorString()));
    const qint64 expected = source.size();
    *copied = 0;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kCopyChunkBytes);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return failWithReason(system_error::inUserWords(source.errorString()));
        for (qint64 done = 0; done < chunk.size();) {
            qint64 written = 0;
            if (const int error =
                    files_.write(handle_, chunk.constData() + done, chunk.size() - done, &written))
                return fail(error);
            // A file system that takes nothing and names no error would
            // otherwise be asked for ever.
            if (written <= 0)
                return failWithReason(incompleteReason(*copied + done, expected));
            done += written;
        }
        *copied += chunk.size();
    }
    return true;
}

bool CheckedSave::fail(int systemError)
{
    systemError_ = systemError;
    return failWithReason(system_error::inUserWords(systemError));
}

bool CheckedSave::failWithReason(const QString &reason)
{
    reason_ = reason;
    discard();
    return false;
}

// Errors are not reported here: the save has already failed for a reason
// the user is told, and a folder that has gone took the file with it.
void CheckedSave::discard()
{
    if (handleOpen_) {
        handleOpen_ = false;
        files_.close(handle_);
    }
    if (!temporary_.isEmpty()) {
        files_.remove(temporary_);
        temporary_.clear();
    }
}
