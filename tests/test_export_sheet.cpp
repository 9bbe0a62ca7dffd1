// The Save command end to end: the dialog, the question before replacing, the
// workbook as a spreadsheet reader sees it, the file formats, the failures,
// and the notice of a saved file.
#include "platform/office_converter.h"
#include "support/form1_harness.h"
#include "support/read_out.h"
#include "window/panel_status_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kReaderTimeoutMs = 120000;
const QString kOle2Head = QStringLiteral("d0cf11e0a1b11ae1");
const QString kZipHead = QStringLiteral("504b0304");
const QString kMacroEnabledMain =
    QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml");

// What the spreadsheet reader found in a file (tests/export_read_sheet.py).
struct Sheet {
    QJsonObject raw;
    QJsonArray rows() const { return raw.value(QStringLiteral("cells")).toArray(); }
    QJsonObject cell(int row, int column) const  // 1-based, like the sheet
    {
        return rows().at(row - 1).toArray().at(column - 1).toObject();
    }
    QJsonValue value(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("v"));
    }
    QString type(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("t")).toString();
    }
    QString align(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("h")).toString();
    }
    QStringList merged() const
    {
        QStringList out;
        for (const QJsonValue &v : raw.value(QStringLiteral("merged")).toArray())
            out << v.toString();
        return out;
    }
    double width(const QString &column) const
    {
        return raw.value(QStringLiteral("widths")).toObject().value(column).toDouble();
    }
};

QString readerScript()
{
    return qEnvironmentVariable("HARLUNE_SOURCE_DIR")
           + QStringLiteral("/tests/export_read_sheet.py");
}

// Why a workbook cannot be read back here, or null when it can: the reader
// runs on /usr/bin/python3 with openpyxl.
const char *missingSheetReader()
{
    static const bool available = [] {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        return probe.waitForFinished(kReaderTimeoutMs) && probe.exitStatus() == QProcess::NormalExit
               && probe.exitCode() == 0;
    }();
    return available ? nullptr : "needs /usr/bin/python3 with openpyxl (Debian: python3-openpyxl)";
}

// Why .xls and .xlsm cannot be written or read back here, or null when they can.
const char *missingLibreOffice()
{
    return OfficeConverter::findProgram().isEmpty()
               ? "needs LibreOffice (Debian: libreoffice-calc-nogui)"
               : nullptr;
}

Sheet readSheet(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {readerScript(), path});
    reader.waitForFinished(kReaderTimeoutMs);
    const QByteArray out = reader.readAllStandardOutput();
    if (reader.exitCode() != 0)
        qWarning() << reader.readAllStandardError();
    return {QJsonDocument::fromJson(out).object()};
}

// Restores an environment variable when the test ends, pass or fail.
struct EnvGuard {
    explicit EnvGuard(const char *name) : name(name), old(qgetenv(name)) {}
    ~EnvGuard() { qputenv(name, old); }
    const char *name;
    QByteArray old;
};

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class TestExportSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void writesGroupsCellByCell();
    void secondsFollowSecFlag_data();
    void secondsFollowSecFlag();
    void emptyRangeGivesTitleAndHeaderOnly_data();
    void emptyRangeGivesTitleAndHeaderOnly();
    void interruptedReadOutSavesWhatArrived();
    void nameWithoutWorkbookExtensionGetsXlsx();
    void cancelWritesNothing();
    void dialogShowsEachTypeOnce();
    void dialogStartsInTheLastFolderOfTheRun();
    void addedExtensionAsksBeforeReplacing_data();
    void addedExtensionAsksBeforeReplacing();
    void noQuestionTheDialogAskedOrNeedNot();
    void savedFileShownInTheStatusBar();
    void unwritableTargetIsReported_data();
    void unwritableTargetIsReported();
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
    // Three groups 57 to 59 in the store of `h`.
    void fillGroups(Form1Harness &h, quint8 secFlag);
    // Runs Save into `path` and expects no message.
    void save(Form1Harness &h, const QString &path);
    std::unique_ptr<Form1Harness> h;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestExportSheet::initTestCase()
{
    QVERIFY2(QFile::exists(readerScript()), "HARLUNE_SOURCE_DIR must name the source folder");
}

void TestExportSheet::init()
{
    h = std::make_unique<Form1Harness>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestExportSheet::fillGroups(Form1Harness &harness, quint8 secFlag)
{
    Form1 &f = *harness.form;
    // Values, statuses, then year, month, day, hour, minute, second and charge.
    f.storeRecord(57, {{1234, 10000, 20000}, {0x42, 0x42, 0x31}, 21, 11, 27, 9, 5, 7, 200});
    f.storeRecord(58, {{25, 1200, 5}, {0x31, 0x42, 0x43}, 5, 3, 7, 0, 0, 59, 0});
    f.storeRecord(59, {{20000, 25, 10000}, {0x20, 0x20, 0x50}, 10, 12, 31, 23, 59, 0, 255});
    f.lssavesum = 57;
    f.memnum = 3;
    f.secFlag = secFlag;
}

void TestExportSheet::save(Form1Harness &harness, const QString &path)
{
    harness.dialogs.saveAnswer = path;
    harness.form->Command3_Click();
    QCOMPARE(harness.dialogs.messages.size(), 0);
    QVERIFY(QFile::exists(path));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestExportSheet::writesGroupsCellByCell()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    fillGroups(*h, 1);
    h->form->ProgressBar1->setVisible(true);
    const QString path = dir->filePath(QStringLiteral("groups.xlsx"));
    save(*h, path);
    QVERIFY(h->form->ProgressBar1->isHidden());

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
    fillGroups(*h, quint8(secFlag));
    const QString path = dir->filePath(QStringLiteral("seconds.xlsx"));
    save(*h, path);
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
    h->form->lssavesum = 57;
    h->form->memnum = memnum;
    const QString path = dir->filePath(QStringLiteral("empty.xlsx"));
    save(*h, path);
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.rows().size(), 2);
    QCOMPARE(sheet.value(1, 1).toString(), QStringLiteral("Harlune"));
    QCOMPARE(sheet.value(2, 6).toString(), QStringLiteral("电量"));
    QCOMPARE(sheet.merged(), QStringList{QStringLiteral("A1:E1")});
}

// The instrument went away after two of three blocks: Save writes exactly
// the 2000 groups that arrived, not the empty slots of the rest of the range.
void TestExportSheet::interruptedReadOutSavesWhatArrived()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    startReadOut(*h, 1, 3000);
    for (int block = 0; block < 2; ++block)
        h->receiveBlock(blockReplyFor(h->takeWrites().last(), sampleRecord));
    h->io->fail(SerialIo::Failure::Unplugged);
    QCOMPARE(h->dialogs.messages.size(), 1);
    h->dialogs.messages.clear();

    const QString path = dir->filePath(QStringLiteral("interrupted.xlsx"));
    save(*h, path);
    const Sheet sheet = readSheet(path);
    QCOMPARE(sheet.rows().size(), 2 + 2000);
    QCOMPARE(sheet.value(3, 1).toString(), QStringLiteral("NO:1"));
    QCOMPARE(sheet.value(2 + 2000, 1).toString(), QStringLiteral("NO:2000"));
}

void TestExportSheet::nameWithoutWorkbookExtensionGetsXlsx()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    fillGroups(*h, 1);
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("report.txt"));
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.messages.size(), 0);
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("report.txt.xlsx")});
    QCOMPARE(readSheet(dir->filePath(QStringLiteral("report.txt.xlsx"))).value(3, 1).toString(),
             QStringLiteral("NO:57"));
}

void TestExportSheet::cancelWritesNothing()
{
    fillGroups(*h, 1);
    h->form->ProgressBar1->setVisible(true);
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.saveDialogs, 1);
    QCOMPARE(h->dialogs.messages.size(), 0);
    QVERIFY(filesIn(dir->path()).isEmpty());
    QVERIFY(!h->form->ProgressBar1->isHidden());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestExportSheet::dialogShowsEachTypeOnce()
{
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    const QStringList types = {QStringLiteral("Text Files(*.xlsx)"), QStringLiteral("(*.xls)"),
                               QStringLiteral("(*.xlsm)")};
    QCOMPARE(h->dialogs.lastSaveFilters, types);

    // Qt's own dialog shows each text as it is, and reads its pattern out of it.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(h->dialogs.lastSaveFilters);
    const auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, types);
    const auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    dialog.selectNameFilter(types[1]);
    QCOMPARE(model->nameFilters(), QStringList{QStringLiteral("*.xls")});
}

void TestExportSheet::dialogStartsInTheLastFolderOfTheRun()
{
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    // Tests run from the build folder, which can be written and is no system folder.
    QCOMPARE(h->dialogs.lastSaveStartPath, QCoreApplication::applicationDirPath());

    fillGroups(*h, 1);
    save(*h, dir->filePath(QStringLiteral("first.xlsx")));
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.lastSaveStartPath, QDir(dir->path()).absolutePath());
    h->form->Command3_Click();  // a cancelled dialog leaves the folder as it was
    QCOMPARE(h->dialogs.lastSaveStartPath, QDir(dir->path()).absolutePath());
}

void TestExportSheet::addedExtensionAsksBeforeReplacing_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
}

void TestExportSheet::addedExtensionAsksBeforeReplacing()
{
    QFETCH(bool, replace);
    if (replace) {
        if (const char *why = missingSheetReader())
            QSKIP(why);
    }
    const QString existing = dir->filePath(QStringLiteral("report.xlsx"));
    QVERIFY(writeFile(existing, "the old file"));

    fillGroups(*h, 1);
    h->dialogs.questionAnswer = replace;
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("report"));
    h->form->Command3_Click();

    // The words of the file dialog's own question, for the name the file gets.
    QCOMPARE(h->dialogs.questions.size(), 1);
    QCOMPARE(h->dialogs.questions[0].title, QStringLiteral("Harlune"));
    QCOMPARE(h->dialogs.questions[0].text,
             QStringLiteral("report.xlsx 已存在。\n您想要替换它吗？"));
    QVERIFY(h->dialogs.messages.isEmpty());
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("report.xlsx")});
    if (replace) {
        QCOMPARE(readSheet(existing).value(3, 1).toString(), QStringLiteral("NO:57"));
        QCOMPARE(h->form->StatusBar1->panelText(1), QStringLiteral("已保存：report.xlsx"));
    } else {
        QFile old(existing);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old file"));
        QVERIFY(!h->form->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
    }
}

// The dialog itself asks about the names it shows; nothing is asked twice,
// and nothing is asked about a file that is not there.
void TestExportSheet::noQuestionTheDialogAskedOrNeedNot()
{
    fillGroups(*h, 1);
    save(*h, dir->filePath(QStringLiteral("shown.xlsx")));
    save(*h, dir->filePath(QStringLiteral("shown.xlsx")));
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("fresh"));
    h->form->Command3_Click();
    QVERIFY(QFile::exists(dir->filePath(QStringLiteral("fresh.xlsx"))));
    QVERIFY(h->dialogs.questions.isEmpty());
}

// A saved workbook is told in the status bar, outlasting the status
// display's ticks, and in no message box.
void TestExportSheet::savedFileShownInTheStatusBar()
{
    fillGroups(*h, 1);
    h->form->Timer1_Timer();
    save(*h, dir->filePath(QStringLiteral("groups.xlsx")));
    QCOMPARE(h->form->StatusBar1->panelText(1), QStringLiteral("已保存：groups.xlsx"));
    h->form->Timer1_Timer();
    h->form->Timer1_Timer();
    QCOMPARE(h->form->StatusBar1->panelText(1), QStringLiteral("已保存：groups.xlsx"));
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestExportSheet::unwritableTargetIsReported_data()
{
    QTest::addColumn<QString>("relativeOrAbsolute");
    QTest::newRow("folder that does not exist") << QStringLiteral("missing/deeper/out.xlsx");
    QTest::newRow("folder that is a file") << QStringLiteral("plain/out.xlsx");
    QTest::newRow("kernel folder") << QStringLiteral("/proc/harlune-out.xlsx");
}

void TestExportSheet::unwritableTargetIsReported()
{
    QFETCH(QString, relativeOrAbsolute);
    QFile plain(dir->filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString path = QDir(dir->path()).filePath(relativeOrAbsolute);

    fillGroups(*h, 1);
    h->dialogs.saveAnswer = path;
    bool normalCursorWhileShown = false;
    h->dialogs.whileMessageOpen = [&] {
        normalCursorWhileShown = QApplication::overrideCursor() == nullptr;
    };
    h->form->Command3_Click();

    QCOMPARE(h->dialogs.messages.size(), 1);
    QCOMPARE(h->dialogs.messages[0].title, QStringLiteral("Harlune"));
    QCOMPARE(h->dialogs.messages[0].icon, UiSeam::Icon::Warning);
    QVERIFY(h->dialogs.messages[0].text.startsWith(QStringLiteral("保存失败：无法写入文件")));
    QVERIFY(normalCursorWhileShown);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("plain")});
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
    h->form->lssavesum = first;
    h->form->memnum = count;
    h->form->ProgressBar1->setVisible(true);
    const QString path = dir->filePath(QStringLiteral("range.xlsx"));
    h->dialogs.saveAnswer = path;
    h->form->Command3_Click();

    QCOMPARE(h->dialogs.messages.size(), 1);
    QCOMPARE(h->dialogs.messages[0].icon, UiSeam::Icon::Warning);
    QVERIFY(h->dialogs.messages[0].text.contains(QStringLiteral("超出了 0 到 200000")));
    QVERIFY(filesIn(dir->path()).isEmpty());
    QVERIFY(!h->form->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
    QVERIFY(!h->form->ProgressBar1->isHidden());  // no data rows were written
}

void TestExportSheet::existingFileReplacedByCompleteWorkbook()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    const QString path = dir->filePath(QStringLiteral("kept.xlsx"));
    QVERIFY(writeFile(path, "the old file"));
    QFile old(path);

    // A failing export leaves the old file as it was.
    h->form->lssavesum = 200000;
    h->form->memnum = 2;
    h->dialogs.saveAnswer = path;
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.messages.size(), 1);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old file"));
    old.close();

    // A successful one replaces it with the whole workbook and leaves nothing else.
    h->dialogs.messages.clear();
    fillGroups(*h, 1);
    save(*h, path);
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

    fillGroups(*h, 1);
    h->form->ProgressBar1->setVisible(true);
    h->dialogs.saveAnswer = path;
    {
        EnvGuard pathGuard("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        h->form->Command3_Click();
    }
    QCOMPARE(h->dialogs.messages.size(), 1);
    QVERIFY(h->dialogs.messages[0].text.contains(
        QStringLiteral("LibreOffice 未能把工作簿转换为 .xls 格式")));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old file"));
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("old.xls")});
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestExportSheet::xlsIsExcel97Workbook()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    if (const char *why = missingLibreOffice())
        QSKIP(why);
    fillGroups(*h, 1);
    const QString path = dir->filePath(QStringLiteral("groups.xls"));
    save(*h, path);
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
    fillGroups(*h, 1);
    const QString path = dir->filePath(QStringLiteral("groups.xlsm"));
    save(*h, path);
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
    h->form->lssavesum = 0;
    h->form->memnum = 65535;
    const QString path = dir->filePath(QStringLiteral("big.xls"));
    h->dialogs.saveAnswer = path;
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.messages.size(), 1);
    QVERIFY(h->dialogs.messages[0].text.contains(QStringLiteral("最多只能容纳 65536 行")));
    QVERIFY(filesIn(dir->path()).isEmpty());
}

void TestExportSheet::xlsWithoutLibreOfficeIsReported()
{
    QTemporaryDir emptyBin;
    fillGroups(*h, 1);
    for (const QString &name : {QStringLiteral("none.xls"), QStringLiteral("none.xlsm")}) {
        h->dialogs.messages.clear();
        h->dialogs.saveAnswer = dir->filePath(name);
        {
            EnvGuard pathGuard("PATH");
            qputenv("PATH", emptyBin.path().toLocal8Bit());
            h->form->Command3_Click();
        }
        QCOMPARE(h->dialogs.messages.size(), 1);
        QVERIFY(h->dialogs.messages[0].text.contains(QStringLiteral("需要 LibreOffice")));
    }
    QVERIFY(filesIn(dir->path()).isEmpty());
}

QTEST_MAIN(TestExportSheet)
#include "test_export_sheet.moc"
