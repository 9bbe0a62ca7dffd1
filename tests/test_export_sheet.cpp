// The export of a range of the record store: the workbook as a spreadsheet
// reader sees it, the file formats and the failures. (The Save command of the
// window around it is in test_save_command.cpp.)
#include "core/export/save_workbook.h"
#include "core/export/sheet_rows.h"
#include "core/language.h"
#include "platform/office_converter.h"
#include "support/read_out.h"
#include "support/sheet_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kOle2Head = QStringLiteral("d0cf11e0a1b11ae1");
const QString kZipHead = QStringLiteral("504b0304");
const QString kMacroEnabledMain =
    QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml");

// Restores an environment variable when the test ends, pass or fail.
struct EnvGuard {
    explicit EnvGuard(const char *name) : name(name), old(qgetenv(name)) {}
    ~EnvGuard() { qputenv(name, old); }
    const char *name;
    QByteArray old;
};

// Exports groups first .. first + count - 1 of `store` as the file `path`
// names it; the failure in the user's words, empty on success.
QString exportRange(
    const RecordStore &store, qint32 first, qint32 count, quint8 secFlag, const QString &path,
    const std::function<void()> &rowsWritten = [] {})
{
    return saveWorkbook(store, first, count, secFlag, export_target::targetFor(path), rowsWritten);
}

}  // namespace

class TestExportSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void writesGroupsCellByCell();
    void englishWorkbookDiffersOnlyInItsHeader();
    void secondsFollowSecFlag_data();
    void secondsFollowSecFlag();
    void emptyRangeGivesTitleAndHeaderOnly_data();
    void emptyRangeGivesTitleAndHeaderOnly();
    void interruptedReadOutSavesWhatArrived();
    void groupOutsideStoreIsReported_data();
    void groupOutsideStoreIsReported();
    void existingFileReplacedByCompleteWorkbook();
    void failedConversionKeepsOldFile_data();
    void failedConversionKeepsOldFile();
    void xlsIsExcel97Workbook();
    void xlsmIsMacroEnabledWorkbook();
    void tooManyRowsForXlsIsReported();
    void xlsWithoutLibreOfficeIsReported();

private:
    // Exports the three groups 57 to 59 into `path` and expects no failure.
    void save(const QString &path, quint8 secFlag = 1);
    // Groups 57 to 59, every other group absent, as start-up and a read-out leave them.
    RecordStore groups;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestExportSheet::initTestCase()
{
    QVERIFY2(QFile::exists(sheetReaderScript()), "HARLUNE_SOURCE_DIR must name the source folder");
    groups.clear();
    // Values, statuses, then year, month, day, hour, minute, second and charge.
    groups.storeRecord(57, {{1234, 10000, 20000}, {0x42, 0x42, 0x31}, 21, 11, 27, 9, 5, 7, 200});
    groups.storeRecord(58, {{25, 1200, 5}, {0x31, 0x42, 0x43}, 5, 3, 7, 0, 0, 59, 0});
    groups.storeRecord(59, {{20000, 25, 10000}, {0x20, 0x20, 0x50}, 10, 12, 31, 23, 59, 0, 255});
}

void TestExportSheet::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestExportSheet::save(const QString &path, quint8 secFlag)
{
    QCOMPARE(exportRange(groups, 57, 3, secFlag, path), QString());
    QVERIFY(QFile::exists(path));
}

void TestExportSheet::writesGroupsCellByCell()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    const QString path = dir->filePath(QStringLiteral("groups.xlsx"));
    int rowsWritten = 0;
    QCOMPARE(exportRange(groups, 57, 3, 1, path, [&] { ++rowsWritten; }), QString());
    QCOMPARE(rowsWritten, 1);  // the window hides its progress bar then

    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.raw.value(QStringLiteral("head")).toString().left(8), kZipHead);
    QCOMPARE(sheet.raw.value(QStringLiteral("sheets")).toInt(), 1);
    QCOMPARE(sheet.merged(), QStringList{QStringLiteral("A1:E1")});
    QCOMPARE(sheet.rows().size(), 5);

    QCOMPARE(sheet.value(1, 1).toString(), QStringLiteral("Harlune"));
    QCOMPARE(sheet.align(1, 1), QStringLiteral("center"));
    const QStringList headers = {QStringLiteral("组数"),     QStringLiteral("一路电流"),
                                 QStringLiteral("二路电流"), QStringLiteral("三路电流"),
                                 QStringLiteral("时间"),     QStringLiteral("电量")};
    for (int c = 1; c <= 6; ++c) {
        QCOMPARE(sheet.value(2, c).toString(), headers[c - 1]);
        QCOMPARE(sheet.align(2, c), QStringLiteral("center"));
    }

    const QStringList expected[] = {
        {"NO:57", "12.34mA", "    OL", "err", "  2021/11/27/9:5:7"},
        {"NO:58", "2.5A", "12.00mA", "0.005mA", "  2005/3/7/0:0:59"},
        {"NO:59", "err", "25kA", "    OL", "  2010/12/31/23:59:0"},
    };
    const int charges[] = {200, 0, 255};
    for (int k = 0; k < 3; ++k) {
        const int row = 3 + k;
        for (int c = 1; c <= 5; ++c) {
            QCOMPARE(sheet.value(row, c).toString(), expected[k][c - 1]);
            QCOMPARE(sheet.type(row, c), QStringLiteral("str"));
            QCOMPARE(sheet.align(row, c), QStringLiteral("center"));
        }
        QCOMPARE(sheet.type(row, 6), QStringLiteral("int"));
        QCOMPARE(sheet.value(row, 6).toInt(), charges[k]);
        QVERIFY(sheet.align(row, 6).isEmpty());  // no alignment set
    }

    // Each column fits its widest cell (CJK counting twice), with a small margin.
    const std::pair<QString, int> widest[] = {{"A", 5}, {"B", 8},  {"C", 8},
                                              {"D", 8}, {"E", 20}, {"F", 4}};
    for (const auto &[column, cells] : widest) {
        QVERIFY2(sheet.width(column) >= cells && sheet.width(column) <= cells + 3,
                 qPrintable(column));
    }
}

// Saved in English, the header row is English and every other cell, the
// title "Harlune" included, is what the Chinese workbook holds.
void TestExportSheet::englishWorkbookDiffersOnlyInItsHeader()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    const QString chinesePath = dir->filePath(QStringLiteral("zh.xlsx"));
    const QString englishPath = dir->filePath(QStringLiteral("en.xlsx"));
    save(chinesePath);
    {
        const language::Translators english(language::Language::English);
        save(englishPath);
    }
    QJsonArray chinese = readSheet(chinesePath).rows();
    QJsonArray english = readSheet(englishPath).rows();
    QStringList header;
    for (const QJsonValue &cell : english.at(sheet_rows::kHeaderRow).toArray())
        header << cell.toObject().value(QStringLiteral("v")).toString();
    QCOMPARE(header, (QStringList{"Group", "I1", "I2", "I3", "Time", "Charge"}));
    chinese.removeAt(sheet_rows::kHeaderRow);
    english.removeAt(sheet_rows::kHeaderRow);
    QCOMPARE(english, chinese);
}

void TestExportSheet::secondsFollowSecFlag_data()
{
    QTest::addColumn<int>("secFlag");
    QTest::addColumn<QString>("time");
    QTest::newRow("1 adds seconds") << 1 << QStringLiteral("  2021/11/27/9:5:7");
    QTest::newRow("0 ends at minutes") << 0 << QStringLiteral("  2021/11/27/9:5");
    QTest::newRow("2 ends at minutes") << 2 << QStringLiteral("  2021/11/27/9:5");
}

void TestExportSheet::secondsFollowSecFlag()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    QFETCH(int, secFlag);
    QFETCH(QString, time);
    const QString path = dir->filePath(QStringLiteral("seconds.xlsx"));
    save(path, quint8(secFlag));
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.value(3, 5).toString(), time);
    QCOMPARE(sheet.value(4, 5).toString().startsWith(QStringLiteral("  2005/3/7/0:0")), true);
}

void TestExportSheet::emptyRangeGivesTitleAndHeaderOnly_data()
{
    QTest::addColumn<int>("memnum");
    QTest::newRow("none read") << 0;
    QTest::newRow("negative") << -5;
}

void TestExportSheet::emptyRangeGivesTitleAndHeaderOnly()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    QFETCH(int, memnum);
    const QString path = dir->filePath(QStringLiteral("empty.xlsx"));
    QCOMPARE(exportRange(groups, 57, memnum, 1, path), QString());
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.rows().size(), 2);
    QCOMPARE(sheet.value(1, 1).toString(), QStringLiteral("Harlune"));
    QCOMPARE(sheet.value(2, 6).toString(), QStringLiteral("电量"));
    QCOMPARE(sheet.merged(), QStringList{QStringLiteral("A1:E1")});
}

// The instrument went away after two of three blocks: the range it leaves to
// save is exactly the 2000 groups that arrived, not the empty slots of the
// rest of the range.
void TestExportSheet::interruptedReadOutSavesWhatArrived()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    CoreHarness h;
    startReadOut(h, 1, 3000);
    for (int block = 0; block < 2; ++block)
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
    h.io->fail(SerialIo::Failure::Unplugged);
    QCOMPARE(h.interruptions.size(), 1);

    // What the window's Save exports: the instrument's last range.
    const QString path = dir->filePath(QStringLiteral("interrupted.xlsx"));
    QCOMPARE(exportRange(h.core->store(), h.core->lssavesum(), h.core->memnum(), h.core->secFlag(),
                         path),
             QString());
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.rows().size(), 2 + 2000);
    QCOMPARE(sheet.value(3, 1).toString(), QStringLiteral("NO:1"));
    QCOMPARE(sheet.value(2 + 2000, 1).toString(), QStringLiteral("NO:2000"));
}

void TestExportSheet::groupOutsideStoreIsReported_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("last group 200001") << 199999 << 3;
    QTest::newRow("first group above the store") << 250000 << 1;
    QTest::newRow("negative first group") << -1 << 2;
}

void TestExportSheet::groupOutsideStoreIsReported()
{
    QFETCH(int, first);
    QFETCH(int, count);
    const QString path = dir->filePath(QStringLiteral("range.xlsx"));
    int rowsWritten = 0;
    const QString failure = exportRange(groups, first, count, 1, path, [&] { ++rowsWritten; });
    QVERIFY2(failure.contains(QStringLiteral("超出了 0 到 200000")), qPrintable(failure));
    QVERIFY(filesIn(dir->path()).isEmpty());
    QCOMPARE(rowsWritten, 0);  // no data rows were written
}

void TestExportSheet::existingFileReplacedByCompleteWorkbook()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    const QString path = dir->filePath(QStringLiteral("kept.xlsx"));
    QVERIFY(writeFile(path, "the old file"));
    QFile old(path);

    // A failing export leaves the old file as it was.
    QVERIFY(!exportRange(groups, 200000, 2, 1, path).isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old file"));
    old.close();

    // A successful one replaces it with the whole workbook and leaves nothing else.
    save(path);
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("kept.xlsx")});
    QCOMPARE(readSheet(path).value(5, 1).toString(), QStringLiteral("NO:59"));
}

void TestExportSheet::failedConversionKeepsOldFile_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("LibreOffice fails") << QByteArray("#!/bin/sh\nexit 1\n");
    // Exits cleanly, but the file it leaves is not an .xls workbook.
    QTest::newRow("LibreOffice writes something else") << QByteArray(
        "#!/bin/sh\n"
        "for a in \"$@\"; do\n"
        "  if [ \"$prev\" = --outdir ]; then out=\"$a\"; fi; prev=\"$a\"; src=\"$a\"\n"
        "done\n"
        "name=${src##*/}\n"
        "printf 'not a workbook' > \"$out/${name%.*}.xls\"\n");
}

void TestExportSheet::failedConversionKeepsOldFile()
{
    QFETCH(QByteArray, script);
    QTemporaryDir bin;
    QFile fake(bin.filePath(QStringLiteral("soffice")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(script);
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString path = dir->filePath(QStringLiteral("old.xls"));
    QVERIFY(writeFile(path, "the old file"));
    QFile old(path);

    QString failure;
    {
        EnvGuard pathGuard("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        failure = exportRange(groups, 57, 3, 1, path);
    }
    QVERIFY2(failure.contains(QStringLiteral("LibreOffice 未能把工作簿转换为 .xls 格式")),
             qPrintable(failure));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old file"));
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("old.xls")});
}

void TestExportSheet::xlsIsExcel97Workbook()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    if (const char *why = missingLibreOffice())
        QSKIP(why);
    const QString path = dir->filePath(QStringLiteral("groups.xls"));
    save(path);
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.raw.value(QStringLiteral("head")).toString(), kOle2Head);
    QCOMPARE(sheet.merged(), QStringList{QStringLiteral("A1:E1")});
    QCOMPARE(sheet.value(3, 1).toString(), QStringLiteral("NO:57"));
    QCOMPARE(sheet.value(3, 3).toString(), QStringLiteral("    OL"));
    QCOMPARE(sheet.value(5, 5).toString(), QStringLiteral("  2010/12/31/23:59:0"));
    QCOMPARE(sheet.value(3, 6).toInt(), 200);
    QCOMPARE(sheet.align(4, 2), QStringLiteral("center"));
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("groups.xls")});
}

void TestExportSheet::xlsmIsMacroEnabledWorkbook()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    if (const char *why = missingLibreOffice())
        QSKIP(why);
    const QString path = dir->filePath(QStringLiteral("groups.xlsm"));
    save(path);
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.raw.value(QStringLiteral("head")).toString().left(8), kZipHead);
    QCOMPARE(sheet.raw.value(QStringLiteral("mainType")).toString(), kMacroEnabledMain);
    QCOMPARE(sheet.merged(), QStringList{QStringLiteral("A1:E1")});
    QCOMPARE(sheet.value(2, 2).toString(), QStringLiteral("一路电流"));
    QCOMPARE(sheet.value(4, 4).toString(), QStringLiteral("0.005mA"));
    QCOMPARE(sheet.type(5, 6), QStringLiteral("int"));
    QCOMPARE(sheet.value(5, 6).toInt(), 255);
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("groups.xlsm")});
}

void TestExportSheet::tooManyRowsForXlsIsReported()
{
    // 65535 groups and two head rows do not fit the 65536 rows of an .xls sheet.
    const QString path = dir->filePath(QStringLiteral("big.xls"));
    const QString failure = exportRange(groups, 0, 65535, 1, path);
    QVERIFY2(failure.contains(QStringLiteral("最多只能容纳 65536 行")), qPrintable(failure));
    QVERIFY(filesIn(dir->path()).isEmpty());
}

void TestExportSheet::xlsWithoutLibreOfficeIsReported()
{
    QTemporaryDir emptyBin;
    for (const QString &name : {QStringLiteral("none.xls"), QStringLiteral("none.xlsm")}) {
        QString failure;
        {
            EnvGuard pathGuard("PATH");
            qputenv("PATH", emptyBin.path().toLocal8Bit());
            failure = exportRange(groups, 57, 3, 1, dir->filePath(name));
        }
        QVERIFY2(failure.contains(QStringLiteral("需要 LibreOffice")), qPrintable(failure));
    }
    QVERIFY(filesIn(dir->path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestExportSheet)
#include "test_export_sheet.moc"
