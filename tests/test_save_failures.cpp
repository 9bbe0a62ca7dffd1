// Saves that go wrong part-way, through the whole export path: a full file
// system (a real, small one, and a file layer that runs out of room), a
// read-only one, a folder without write permission, a name too long and a
// folder that goes away during the save. Each must name the cause, leave
// nothing behind and keep an old file byte for byte; a save that works must
// put the whole workbook in place. (What the window makes of a failed save is
// in test_save_command.cpp.)
#include "core/export/save_workbook.h"
#include "support/sheet_reader.h"
#include "support/tmpfs.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cerrno>
#include <functional>
#include <optional>

namespace {

// About 8 KB of workbook: small enough to stay whole in a write buffer.
constexpr qint32 kSmallSheet = 50;
// About 1.3 MB: more than one chunk of the copy.
constexpr qint32 kLargeSheet = 40000;
constexpr qint64 kSmallSheetLimit = 16 * 1024;
constexpr qint64 kLargeSheetMinimum = 1024 * 1024;
// The full disk of the report: 64 KiB, of which the old file takes 60.
const QByteArray kFullTmpfs = "size=64k";
constexpr qsizetype kFillingFileBytes = 60 * 1024;
// Room for any old file of the read-only file system.
const QByteArray kRoomyTmpfs = "size=1m";
// Longer than the 255 bytes a name may have on Linux file systems.
constexpr int kTooLongNameChars = 300;
// A zip ends with its 22-byte end record when, as here, it has no comment.
constexpr qsizetype kZipEndBytes = 22;
const QByteArray kZipEndSignature("PK\x05\x06", 4);

const QString kCannotWrite = QStringLiteral("保存失败：无法写入文件“%1”。\n原因：%2");
const QString kWriteFailed =
    QStringLiteral("保存失败：写入文件“%1”时出错，原有文件保持不变。\n原因：%2");
const QString kNoSpace = QStringLiteral("磁盘空间不足");

// Readings that change from group to group, so the workbook does not
// compress to nothing.
GroupRecord recordOf(qint32 g)
{
    return {{quint16(g * 37 % 25756), quint16(g * 101 % 25756), quint16(g * 7 % 25756)},
            {0x42, 0x31, 0x20},
            quint8(g % 100),
            quint8(g % 12 + 1),
            quint8(g % 28 + 1),
            quint8(g % 24),
            quint8(g % 60),
            quint8(g * 7 % 60),
            quint8(g % 256)};
}

// Groups 1 to kLargeSheet as recordOf makes them; made once, as it takes a while.
const RecordStore &storeOfGroups()
{
    static const RecordStore store = [] {
        RecordStore s;
        s.clear();
        for (qint32 g = 1; g <= kLargeSheet; ++g)
            s.storeRecord(g, recordOf(g));
        return s;
    }();
    return store;
}

QString save(const QString &target, qint32 groups, FileLayer &files,
             const std::function<void()> &rowsWritten)
{
    return saveWorkbook(storeOfGroups(), 1, groups, 1, {target, export_target::SheetFormat::Xlsx},
                        rowsWritten, files);
}

// The system's files, except that the disk fills up at a chosen write, which
// takes only half its bytes as the write that fills a disk does, after which
// every write finds it full; or that the sync finds it full, as a file system
// that allocates late does.
class FillingDisk : public FileLayer {
public:
    int fullAtWrite = 0;  // counted from 1; 0 never
    bool fullAtSync = false;

    int targetProblem(const QString &path) override { return real_.targetProblem(path); }
    Kind kindOf(const QString &path) override { return real_.kindOf(path); }
    int openStream(const QString &path, Handle *handle) override
    {
        return real_.openStream(path, handle);
    }
    int createNew(const QString &path, Handle *handle) override
    {
        return real_.createNew(path, handle);
    }
    int write(Handle handle, const char *data, qint64 size, qint64 *written) override
    {
        ++writes_;
        if (fullAtWrite == 0 || writes_ < fullAtWrite)
            return real_.write(handle, data, size, written);
        if (writes_ == fullAtWrite)
            return real_.write(handle, data, size / 2, written);
        return ENOSPC;
    }
    int sync(Handle handle) override { return fullAtSync ? ENOSPC : real_.sync(handle); }
    int close(Handle handle) override { return real_.close(handle); }
    int replace(const QString &from, const QString &to) override { return real_.replace(from, to); }
    int remove(const QString &path) override { return real_.remove(path); }
    int size(const QString &path, qint64 *bytes) override { return real_.size(path, bytes); }

private:
    FileLayer &real_ = FileLayer::system();
    int writes_ = 0;
};

// Every file of a folder, hidden ones included, with its bytes.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name :
         QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(QDir(folder).filePath(name));
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

enum class Fault {
    TmpfsFull,
    WriteFillsDisk,
    SyncFindsDiskFull,
    ReadOnlyFileSystem,
    FolderNotWritable,
    NameTooLong,
    FolderRemoved,
};

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestSaveFailures : public QObject {
    Q_OBJECT

private slots:
    void failedSaveNamesCauseAndKeepsOldFile_data();
    void failedSaveNamesCauseAndKeepsOldFile();
    void savedFileIsTheWholeWorkbook_data();
    void savedFileIsTheWholeWorkbook();
};

void TestSaveFailures::failedSaveNamesCauseAndKeepsOldFile_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<qint32>("groups");
    const std::pair<const char *, Fault> faults[] = {
        {"tmpfs full", Fault::TmpfsFull},
        {"write fills the disk", Fault::WriteFillsDisk},
        {"sync finds the disk full", Fault::SyncFindsDiskFull},
        {"read-only file system", Fault::ReadOnlyFileSystem},
        {"folder not writable", Fault::FolderNotWritable},
        {"name too long", Fault::NameTooLong},
        {"folder removed during the save", Fault::FolderRemoved},
    };
    for (const auto &[name, fault] : faults) {
        QTest::addRow("%s, small sheet", name) << fault << kSmallSheet;
        QTest::addRow("%s, large sheet", name) << fault << kLargeSheet;
    }
}

void TestSaveFailures::failedSaveNamesCauseAndKeepsOldFile()
{
    QFETCH(Fault, fault);
    QFETCH(qint32, groups);
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString folder = base.filePath(QStringLiteral("target"));
    QVERIFY(QDir().mkdir(folder));
    QString target = QDir(folder).filePath(QStringLiteral("new.xlsx"));
    QString oldFile = target;
    QByteArray old = "the old file";
    std::optional<Tmpfs> tmpfs;  // unmounted before `base` is removed
    FillingDisk files;
    std::function<void()> rowsWritten = [] {};
    QString message = kWriteFailed;
    QString reason = kNoSpace;

    switch (fault) {
    case Fault::TmpfsFull:
        tmpfs.emplace(folder, kFullTmpfs);
        if (!tmpfs->mounted())
            QSKIP(tmpfs->refusal());
        old = QByteArray(kFillingFileBytes, 'o');
        break;
    case Fault::WriteFillsDisk:
        // The large sheet fills the disk in its second chunk, the small one at once.
        files.fullAtWrite = groups == kSmallSheet ? 1 : 2;
        break;
    case Fault::SyncFindsDiskFull: files.fullAtSync = true; break;
    case Fault::ReadOnlyFileSystem:
        tmpfs.emplace(folder, kRoomyTmpfs);
        if (!tmpfs->mounted())
            QSKIP(tmpfs->refusal());
        message = kCannotWrite;
        reason = QStringLiteral("只读文件系统");
        break;
    case Fault::FolderNotWritable:
        message = kCannotWrite;
        reason = QStringLiteral("无权限");
        break;
    case Fault::NameTooLong:
        target = QDir(folder).filePath(QString(kTooLongNameChars, QLatin1Char('n')) + ".xlsx");
        oldFile = QDir(folder).filePath(QStringLiteral("kept.xlsx"));
        message = kCannotWrite;
        reason = QStringLiteral("文件名太长");
        break;
    case Fault::FolderRemoved:
        rowsWritten = [&] { QVERIFY(QDir(folder).removeRecursively()); };
        reason = QStringLiteral("文件或文件夹不存在");
        break;
    }
    QVERIFY(writeFile(oldFile, old));
    if (fault == Fault::ReadOnlyFileSystem)
        QVERIFY(tmpfs->makeReadOnly(kRoomyTmpfs));
    const auto restorePermissions = qScopeGuard([&] {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (fault == Fault::FolderNotWritable) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (writeFile(QDir(folder).filePath(QStringLiteral("probe")), "x"))
            QSKIP("this user may write into a folder without write permission (root)");
    }
    const QMap<QString, QByteArray> before = contents(folder);

    QCOMPARE(save(target, groups, files, rowsWritten),
             message.arg(QDir::toNativeSeparators(target), reason));
    if (fault == Fault::FolderRemoved)
        QVERIFY(!QFileInfo::exists(folder));  // not made again, nor a file in it
    else
        QCOMPARE(contents(folder), before);
}

void TestSaveFailures::savedFileIsTheWholeWorkbook_data()
{
    QTest::addColumn<qint32>("groups");
    QTest::newRow("small sheet") << kSmallSheet;
    QTest::newRow("large sheet") << kLargeSheet;
}

void TestSaveFailures::savedFileIsTheWholeWorkbook()
{
    QFETCH(qint32, groups);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("new.xlsx"));
    QVERIFY(writeFile(target, "the old file"));

    QCOMPARE(save(target, groups, FileLayer::system(), [] {}), QString());
    QCOMPARE(contents(folder.path()).keys(), QStringList{QStringLiteral("new.xlsx")});
    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    // The sizes the failing saves rely on.
    QVERIFY2(groups == kSmallSheet ? bytes.size() < kSmallSheetLimit
                                   : bytes.size() > kLargeSheetMinimum,
             qPrintable(QString::number(bytes.size())));
    // The zip's end record says where its directory starts and how long it
    // is; a whole workbook ends right after them.
    const QByteArray end = bytes.right(kZipEndBytes);
    QCOMPARE(end.left(kZipEndSignature.size()), kZipEndSignature);
    const quint32 directoryBytes = qFromLittleEndian<quint32>(end.constData() + 12);
    const quint32 directoryStart = qFromLittleEndian<quint32>(end.constData() + 16);
    QCOMPARE(qint64(directoryStart) + directoryBytes + kZipEndBytes, qint64(bytes.size()));
}

QTEST_GUILESS_MAIN(TestSaveFailures)
#include "test_save_failures.moc"
