// The export's pure parts: row texts, time texts, column widths, the target
// file and its format.
#include "core/export/export_target.h"
#include "core/export/sheet_rows.h"
#include "core/product.h"

#include <QtTest>

using export_target::SheetFormat;
Q_DECLARE_METATYPE(SheetFormat)
Q_DECLARE_METATYPE(GroupRecord)

namespace {

GroupRecord timeOf(int year, int month, int day, int hour, int minute, int second)
{
    GroupRecord r;
    r.year = quint8(year);
    r.month = quint8(month);
    r.day = quint8(day);
    r.hour = quint8(hour);
    r.minute = quint8(minute);
    r.second = quint8(second);
    return r;
}

}  // namespace

class TestExportRows : public QObject {
    Q_OBJECT

private slots:
    void timeText_data();
    void timeText();
    void rowCellsHoldLabelReadingsTimeAndCharge();
    void headers();
    void displayWidth_data();
    void displayWidth();
    void columnFitFollowsWidestCell();
    void targetFor_data();
    void targetFor();
    void rangeInStore_data();
    void rangeInStore();
    void signatures_data();
    void signatures();
    void formatLimits();
};

void TestExportRows::timeText_data()
{
    QTest::addColumn<GroupRecord>("record");
    QTest::addColumn<int>("secFlag");
    QTest::addColumn<QString>("text");
    const GroupRecord nov = timeOf(21, 11, 27, 9, 5, 7);
    QTest::newRow("with seconds") << nov << 1 << QStringLiteral("  2021/11/27/9:5:7");
    QTest::newRow("without seconds") << nov << 0 << QStringLiteral("  2021/11/27/9:5");
    QTest::newRow("flag other than 1") << nov << 255 << QStringLiteral("  2021/11/27/9:5");
    QTest::newRow("one-digit year")
        << timeOf(5, 1, 2, 3, 4, 5) << 1 << QStringLiteral("  2005/1/2/3:4:5");
    QTest::newRow("year 0") << timeOf(0, 1, 1, 0, 0, 0) << 0 << QStringLiteral("  2000/1/1/0:0");
    QTest::newRow("year 9") << timeOf(9, 1, 1, 0, 0, 0) << 0 << QStringLiteral("  2009/1/1/0:0");
    QTest::newRow("year 10") << timeOf(10, 1, 1, 0, 0, 0) << 0 << QStringLiteral("  2010/1/1/0:0");
    QTest::newRow("no leading zeros")
        << timeOf(24, 3, 7, 0, 0, 0) << 1 << QStringLiteral("  2024/3/7/0:0:0");
    QTest::newRow("two-digit fields")
        << timeOf(99, 12, 31, 23, 59, 59) << 1 << QStringLiteral("  2099/12/31/23:59:59");
}

void TestExportRows::timeText()
{
    QFETCH(GroupRecord, record);
    QFETCH(int, secFlag);
    QFETCH(QString, text);
    QCOMPARE(sheet_rows::timeText(record, quint8(secFlag)), text);
}

void TestExportRows::rowCellsHoldLabelReadingsTimeAndCharge()
{
    GroupRecord r = timeOf(21, 11, 27, 9, 5, 7);
    r.val[0] = 1234;
    r.stat[0] = 0x42;
    r.val[1] = 10000;
    r.stat[1] = 0x42;
    r.val[2] = 20000;
    r.stat[2] = 0x31;
    r.charge = 255;
    const sheet_rows::RowCells row = sheet_rows::rowCells(57, r, 1);
    QCOMPARE(row.texts[0], QStringLiteral("NO:57"));
    QCOMPARE(row.texts[1], QStringLiteral("12.34mA"));
    QCOMPARE(row.texts[2], QStringLiteral("    OL"));
    QCOMPARE(row.texts[3], QStringLiteral("err"));
    QCOMPARE(row.texts[4], QStringLiteral("  2021/11/27/9:5:7"));
    QCOMPARE(row.charge, 255);
    QCOMPARE(sheet_rows::groupLabel(200000), QStringLiteral("NO:200000"));
    QCOMPARE(sheet_rows::groupLabel(0), QStringLiteral("NO:0"));
}

void TestExportRows::headers()
{
    QCOMPARE(product::title(), QStringLiteral("Harlune"));
    const std::array<QString, sheet_rows::kColumnCount> expected = {
        QStringLiteral("组数"),     QStringLiteral("一路电流"), QStringLiteral("二路电流"),
        QStringLiteral("三路电流"), QStringLiteral("时间"),     QStringLiteral("电量")};
    QCOMPARE(sheet_rows::headers(), expected);
}

void TestExportRows::displayWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cells");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("NO:57") << 5;
    QTest::newRow("leading blanks count") << QStringLiteral("    OL") << 6;
    QTest::newRow("CJK counts twice") << QStringLiteral("一路电流") << 8;
    QTest::newRow("mixed") << QStringLiteral("组数A1") << 6;
    QTest::newRow("fullwidth form") << QStringLiteral("Ａ") << 2;
    QTest::newRow("kana") << QStringLiteral("カ") << 2;
    QTest::newRow("latin with accent") << QStringLiteral("é") << 1;
    QTest::newRow("supplementary ideograph") << QString::fromUcs4(U"\U00020000x") << 3;
}

void TestExportRows::displayWidth()
{
    QFETCH(QString, text);
    QFETCH(int, cells);
    QCOMPARE(sheet_rows::displayWidth(text), cells);
}

void TestExportRows::columnFitFollowsWidestCell()
{
    sheet_rows::ColumnFit fit;
    // Before any row the headers decide: 组数 is 4 cells, 一路电流 8, 电量 4.
    const double margin = fit.width(0) - 4;
    QVERIFY(margin > 0);
    QCOMPARE(fit.width(1), 8 + margin);
    QCOMPARE(fit.width(5), 4 + margin);

    sheet_rows::RowCells row;
    row.texts = {QStringLiteral("NO:200000"), QStringLiteral("2575.5mA"), QStringLiteral("err"),
                 QStringLiteral("    OL"), QStringLiteral("  2021/11/27/23:59:59")};
    row.charge = 7;
    fit.addRow(row);
    QCOMPARE(fit.width(0), 9 + margin);
    QCOMPARE(fit.width(1), 8 + margin);  // the header is as wide
    QCOMPARE(fit.width(2), 8 + margin);  // a narrower cell changes nothing
    QCOMPARE(fit.width(4), 21 + margin);
    QCOMPARE(fit.width(5), 4 + margin);

    fit.addNumber(5, 123456);
    QCOMPARE(fit.width(5), 6 + margin);
}

void TestExportRows::targetFor_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::addColumn<SheetFormat>("format");
    QTest::newRow("xlsx") << "/d/a.xlsx"
                          << "/d/a.xlsx" << SheetFormat::Xlsx;
    QTest::newRow("xls") << "/d/a.xls"
                         << "/d/a.xls" << SheetFormat::Xls;
    QTest::newRow("xlsm") << "/d/a.xlsm"
                          << "/d/a.xlsm" << SheetFormat::Xlsm;
    QTest::newRow("upper case") << "/d/A.XLS"
                                << "/d/A.XLS" << SheetFormat::Xls;
    QTest::newRow("no extension") << "/d/report"
                                  << "/d/report.xlsx" << SheetFormat::Xlsx;
    QTest::newRow("other extension") << "/d/report.txt"
                                     << "/d/report.txt.xlsx" << SheetFormat::Xlsx;
    QTest::newRow("dot in folder only") << "/d.xls/report"
                                        << "/d.xls/report.xlsx" << SheetFormat::Xlsx;
    QTest::newRow("Chinese name") << "/d/数据.xlsm"
                                  << "/d/数据.xlsm" << SheetFormat::Xlsm;
}

void TestExportRows::targetFor()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QFETCH(SheetFormat, format);
    const export_target::Target target = export_target::targetFor(chosen);
    QCOMPARE(target.path, path);
    QCOMPARE(target.format, format);
    // The format is the extension's exactly when the name is kept as chosen.
    const std::optional<SheetFormat> named = export_target::formatOf(chosen);
    QCOMPARE(named.has_value(), path == chosen);
    if (named)
        QCOMPARE(*named, format);
}

void TestExportRows::rangeInStore_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("inside");
    QTest::newRow("57 to 59") << 57 << 3 << true;
    QTest::newRow("whole store") << 0 << 200001 << true;
    QTest::newRow("last slot") << 200000 << 1 << true;
    QTest::newRow("one past the end") << 199999 << 3 << false;
    QTest::newRow("starts past the end") << 200001 << 1 << false;
    QTest::newRow("negative first") << -1 << 1 << false;
    QTest::newRow("empty range anywhere") << 900000 << 0 << true;
    QTest::newRow("negative count") << -7 << -1 << true;
    QTest::newRow("no overflow") << 2147483000 << 2000 << false;
}

void TestExportRows::rangeInStore()
{
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(bool, inside);
    QCOMPARE(export_target::rangeInStore(first, count), inside);
}

void TestExportRows::signatures_data()
{
    QTest::addColumn<SheetFormat>("format");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("matches");
    const QByteArray ole2 = QByteArray::fromHex("d0cf11e0a1b11ae1");
    const QByteArray zip = QByteArray::fromHex("504b0304");
    QTest::newRow("xls is OLE2") << SheetFormat::Xls << ole2 << true;
    QTest::newRow("xls is not zip") << SheetFormat::Xls << zip << false;
    QTest::newRow("xlsm is zip") << SheetFormat::Xlsm << zip << true;
    QTest::newRow("xlsx is not OLE2") << SheetFormat::Xlsx << ole2 << false;
    QTest::newRow("short file") << SheetFormat::Xls << ole2.left(4) << false;
    QTest::newRow("empty file") << SheetFormat::Xlsm << QByteArray() << false;
}

void TestExportRows::signatures()
{
    QFETCH(SheetFormat, format);
    QFETCH(QByteArray, head);
    QFETCH(bool, matches);
    QCOMPARE(export_target::hasSignature(format, head), matches);
}

void TestExportRows::formatLimits()
{
    QCOMPARE(export_target::maxRows(SheetFormat::Xls), qint64(65536));
    QCOMPARE(export_target::maxRows(SheetFormat::Xlsx), qint64(1048576));
    QCOMPARE(export_target::maxRows(SheetFormat::Xlsm), qint64(1048576));
    QVERIFY(export_target::officeFilter(SheetFormat::Xlsx).isEmpty());
    QVERIFY(!export_target::officeFilter(SheetFormat::Xls).isEmpty());
    QVERIFY(!export_target::officeFilter(SheetFormat::Xlsm).isEmpty());
    QCOMPARE(export_target::dialogFilters(),
             QStringList({QStringLiteral("Text Files(*.xlsx)"), QStringLiteral("(*.xls)"),
                          QStringLiteral("(*.xlsm)")}));
}

QTEST_GUILESS_MAIN(TestExportRows)
#include "test_export_rows.moc"
