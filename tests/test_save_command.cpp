// The Save command of the main window: the save dialog, the question before
// replacing a file the dialog did not show, the notice of a saved file, the
// progress bar and the message box of a save that failed. What the workbook
// holds and why a save fails are the export's (test_export_sheet.cpp,
// test_save_failures.cpp).
#include "gui/panel_status_bar.h"
#include "support/form1_harness.h"
#include "support/read_out.h"
#include "support/sheet_reader.h"
#include "support/tmpfs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The groups the window saves in most tests.
constexpr qint32 kFirst = 57;
constexpr qint32 kLast = 59;
// 50 groups make about 8 KB of workbook.
constexpr qint32 kSmallSheet = 50;
const QString kNoSpace = QStringLiteral("磁盘空间不足");

// The text of a cell (1-based, like the sheet) as a spreadsheet program
// finds it: which workbook the window saved.
QString cellText(const QString &path, int row, int column)
{
    return readSheet(path).value(row, column).toString();
}

// Groups first..last read from the instrument, the way the window gets
// something to save; the completion message is answered.
void readGroups(Form1Harness &h, qint32 first, qint32 last)
{
    startReadOut(h, first, last);
    h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
    QCOMPARE(h.completions, 1);
    QCOMPARE(h.dialogs.messages.size(), 1);
    h.dialogs.messages.clear();
}

}  // namespace

class TestSaveCommand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void savedRowsHideTheProgressBar();
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
    void failedConversionIsReportedWithANormalCursor();
    void fullDiskIsNotReportedAsSaved();
    void nothingToSaveWritesNothing_data();
    void nothingToSaveWritesNothing();

private:
    // Runs Save into `path` and expects no message.
    void save(const QString &path);
    std::unique_ptr<Form1Harness> h;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestSaveCommand::initTestCase()
{
    QVERIFY2(QFile::exists(sheetReaderScript()), "HARLUNE_SOURCE_DIR must name the source folder");
}

void TestSaveCommand::init()
{
    h = std::make_unique<Form1Harness>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSaveCommand::save(const QString &path)
{
    h->dialogs.saveAnswer = path;
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.messages.size(), 0);
    QVERIFY(QFile::exists(path));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestSaveCommand::savedRowsHideTheProgressBar()
{
    readGroups(*h, kFirst, kLast);
    h->ProgressBar1->setVisible(true);
    save(dir->filePath(QStringLiteral("groups.xlsx")));
    QVERIFY(h->ProgressBar1->isHidden());
}

void TestSaveCommand::nameWithoutWorkbookExtensionGetsXlsx()
{
    if (const char *why = missingSheetReader())
        QSKIP(why);
    readGroups(*h, kFirst, kLast);
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("report.txt"));
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.messages.size(), 0);
    QCOMPARE(filesIn(dir->path()), QStringList{QStringLiteral("report.txt.xlsx")});
    QCOMPARE(cellText(dir->filePath(QStringLiteral("report.txt.xlsx")), 3, 1),
             QStringLiteral("NO:57"));
}

void TestSaveCommand::cancelWritesNothing()
{
    readGroups(*h, kFirst, kLast);
    h->ProgressBar1->setVisible(true);
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.saveDialogs, 1);
    QCOMPARE(h->dialogs.messages.size(), 0);
    QVERIFY(filesIn(dir->path()).isEmpty());
    QVERIFY(!h->ProgressBar1->isHidden());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestSaveCommand::dialogShowsEachTypeOnce()
{
    readGroups(*h, kFirst, kLast);
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

void TestSaveCommand::dialogStartsInTheLastFolderOfTheRun()
{
    readGroups(*h, kFirst, kLast);
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    // Tests run from the build folder, which can be written and is no system folder.
    QCOMPARE(h->dialogs.lastSaveStartPath, QCoreApplication::applicationDirPath());

    save(dir->filePath(QStringLiteral("first.xlsx")));
    h->dialogs.saveAnswer.reset();
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.lastSaveStartPath, QDir(dir->path()).absolutePath());
    h->form->Command3_Click();  // a cancelled dialog leaves the folder as it was
    QCOMPARE(h->dialogs.lastSaveStartPath, QDir(dir->path()).absolutePath());
}

void TestSaveCommand::addedExtensionAsksBeforeReplacing_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
}

void TestSaveCommand::addedExtensionAsksBeforeReplacing()
{
    QFETCH(bool, replace);
    if (replace) {
        if (const char *why = missingSheetReader())
            QSKIP(why);
    }
    const QString existing = dir->filePath(QStringLiteral("report.xlsx"));
    QVERIFY(writeFile(existing, "the old file"));

    readGroups(*h, kFirst, kLast);
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
        QCOMPARE(cellText(existing, 3, 1), QStringLiteral("NO:57"));
        QCOMPARE(h->StatusBar1->panelText(1), QStringLiteral("已保存：report.xlsx"));
    } else {
        QFile old(existing);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old file"));
        QVERIFY(!h->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
    }
}

// The dialog itself asks about the names it shows; nothing is asked twice,
// and nothing is asked about a file that is not there.
void TestSaveCommand::noQuestionTheDialogAskedOrNeedNot()
{
    readGroups(*h, kFirst, kLast);
    save(dir->filePath(QStringLiteral("shown.xlsx")));
    save(dir->filePath(QStringLiteral("shown.xlsx")));
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("fresh"));
    h->form->Command3_Click();
    QVERIFY(QFile::exists(dir->filePath(QStringLiteral("fresh.xlsx"))));
    QVERIFY(h->dialogs.questions.isEmpty());
}

// A saved workbook is told in the status bar, outlasting the status
// display's ticks, and in no message box.
void TestSaveCommand::savedFileShownInTheStatusBar()
{
    readGroups(*h, kFirst, kLast);
    h->form->Timer1_Timer();
    save(dir->filePath(QStringLiteral("groups.xlsx")));
    QCOMPARE(h->StatusBar1->panelText(1), QStringLiteral("已保存：groups.xlsx"));
    h->form->Timer1_Timer();
    h->form->Timer1_Timer();
    QCOMPARE(h->StatusBar1->panelText(1), QStringLiteral("已保存：groups.xlsx"));
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestSaveCommand::unwritableTargetIsReported_data()
{
    QTest::addColumn<QString>("relativeOrAbsolute");
    QTest::newRow("folder that does not exist") << QStringLiteral("missing/deeper/out.xlsx");
    QTest::newRow("folder that is a file") << QStringLiteral("plain/out.xlsx");
    QTest::newRow("kernel folder") << QStringLiteral("/proc/harlune-out.xlsx");
}

// A save that fails before any row is written: one warning, shown with a
// normal cursor, no notice of a saved file, and the progress bar as it was.
void TestSaveCommand::unwritableTargetIsReported()
{
    QFETCH(QString, relativeOrAbsolute);
    QFile plain(dir->filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString path = QDir(dir->path()).filePath(relativeOrAbsolute);

    readGroups(*h, kFirst, kLast);
    h->ProgressBar1->setVisible(true);
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
    QVERIFY(!h->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
    QVERIFY(!h->ProgressBar1->isHidden());  // no data rows were written
}

// A conversion that fails after the rows were written is a warning too,
// with the cursor back to normal.
void TestSaveCommand::failedConversionIsReportedWithANormalCursor()
{
    QTemporaryDir bin;
    QFile fake(bin.filePath(QStringLiteral("soffice")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\nexit 1\n");
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    readGroups(*h, kFirst, kLast);
    h->dialogs.saveAnswer = dir->filePath(QStringLiteral("old.xls"));
    bool normalCursorWhileShown = false;
    h->dialogs.whileMessageOpen = [&] {
        normalCursorWhileShown = QApplication::overrideCursor() == nullptr;
    };
    {
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", bin.path().toLocal8Bit());
        h->form->Command3_Click();
    }
    QCOMPARE(h->dialogs.messages.size(), 1);
    QCOMPARE(h->dialogs.messages[0].icon, UiSeam::Icon::Warning);
    QVERIFY(h->dialogs.messages[0].text.contains(
        QStringLiteral("LibreOffice 未能把工作簿转换为 .xls 格式")));
    QVERIFY(normalCursorWhileShown);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!h->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
}

// The report's own case: 50 groups onto a nearly full disk are a message
// naming the cause, not "已保存".
void TestSaveCommand::fullDiskIsNotReportedAsSaved()
{
#ifdef Q_OS_LINUX
    QTemporaryDir base;
    // 64 KiB, of which an old file takes 60: a nearly full disk.
    Tmpfs disk(base.path(), "size=64k");
    if (!disk.mounted())
        QSKIP(disk.refusal());
    QVERIFY(writeFile(base.filePath(QStringLiteral("fill")), QByteArray(60 * 1024, 'o')));

    readGroups(*h, 1, kSmallSheet);
    h->dialogs.saveAnswer = base.filePath(QStringLiteral("new.xlsx"));
    h->form->Command3_Click();

    QCOMPARE(h->dialogs.messages.size(), 1);
    QVERIFY(h->dialogs.messages[0].text.endsWith(QStringLiteral("原因：") + kNoSpace));
    QVERIFY(!h->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));
    QCOMPARE(filesIn(base.path()), QStringList{QStringLiteral("fill")});
#else
    QSKIP("mounts a small tmpfs, which only Linux has");
#endif
}

void TestSaveCommand::nothingToSaveWritesNothing_data()
{
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<bool>("clearFirst");
    QTest::newRow("before any read-out") << false << false;
    QTest::newRow("after Clear data") << true << true;
    QTest::newRow("Clear data before any read-out") << false << true;
}

// Nothing was read, or what was read is cleared: Save says so, asks for no
// name, writes no file and tells no "已保存". A read-out afterwards saves again.
void TestSaveCommand::nothingToSaveWritesNothing()
{
    QFETCH(bool, readFirst);
    QFETCH(bool, clearFirst);
    if (readFirst)
        readGroups(*h, kFirst, kLast);
    if (clearFirst)
        h->form->Command4_Click();
    const QString path = dir->filePath(QStringLiteral("groups.xlsx"));
    h->dialogs.saveAnswer = path;
    h->form->Command3_Click();
    QCOMPARE(h->dialogs.saveDialogs, 0);
    QCOMPARE(h->dialogs.messages.size(), 1);
    QCOMPARE(h->dialogs.messages[0].icon, UiSeam::Icon::Information);
    QCOMPARE(h->dialogs.messages[0].text, QStringLiteral("没有可保存的数据：请先读取数据组。"));
    QVERIFY(filesIn(dir->path()).isEmpty());
    QVERIFY(!h->StatusBar1->panelText(1).startsWith(QStringLiteral("已保存")));

    h->dialogs.messages.clear();
    h->completions = 0;
    readGroups(*h, kFirst, kLast);
    save(path);
    QCOMPARE(h->dialogs.saveDialogs, 1);
}

QTEST_MAIN(TestSaveCommand)
#include "test_save_command.moc"
