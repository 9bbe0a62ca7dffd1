#include "core/export/sheet_rows.h"
#include "core/language.h"
#include "core/link/read_plan.h"
#include "core/records/record_table.h"
#include "support/read_out.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest>

#include <map>

Q_DECLARE_METATYPE(GroupRecord)

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kFive = QStringLiteral("     ");

GroupRecord makeRecord(quint16 v1, quint8 s1, quint16 v2, quint8 s2, quint16 v3, quint8 s3,
                       quint8 year = 21, quint8 month = 11, quint8 day = 27, quint8 hour = 8,
                       quint8 minute = 5, quint8 second = 9)
{
    GroupRecord r;
    r.val[0] = v1;
    r.val[1] = v2;
    r.val[2] = v3;
    r.stat[0] = s1;
    r.stat[1] = s2;
    r.stat[2] = s3;
    r.year = year;
    r.month = month;
    r.day = day;
    r.hour = hour;
    r.minute = minute;
    r.second = second;
    return r;
}

// The record of the worked example: 12.34mA, 0.0mA, overload.
GroupRecord exampleRecord() { return makeRecord(1234, 0x42, 0, 0x41, 10000, 0x42); }

const QString kExampleNoSeconds =
    QStringLiteral("NO.000007 12.34mA   0.0mA      OL  2021/11/27/08:05");

// The header as its pieces describe it.
QString headerFromPieces()
{
    const auto sp = [](int n) { return QString(n, QLatin1Char(' ')); };
    const QString g = QStringLiteral("组数"), c1 = QStringLiteral("一路电流"),
                  c2 = QStringLiteral("二路电流"), c3 = QStringLiteral("三路电流"),
                  t = QStringLiteral("时间");
    return sp(3) + g + sp(2) + c1 + sp(1) + c2 + sp(1) + c3 + sp(7) + t + sp(15) + g + sp(3) + c1
           + sp(1) + c2 + sp(1) + c3 + sp(6) + t + sp(11);
}

QString viewHead()
{
    return QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune") + kCrLf + headerFromPieces()
           + kCrLf;
}

// A lookup over a map of present groups that remembers what it was asked for.
struct MapStore {
    std::map<qint32, GroupRecord> present;
    QList<qint32> asked;
    record_table::RecordLookup lookup()
    {
        return [this](qint32 g) -> std::optional<GroupRecord> {
            asked.append(g);
            const auto it = present.find(g);
            if (it == present.end())
                return std::nullopt;
            return it->second;
        };
    }
};

// Reads exactly the groups of `present`, one read-out for each run of
// consecutive numbers: the groups between runs are never read, so absent.
// True when each read-out completed.
bool readOut(CoreHarness &h, const std::map<qint32, GroupRecord> &present)
{
    const int completionsBefore = h.completions;
    int runs = 0;
    for (auto it = present.begin(); it != present.end(); ++runs) {
        const qint32 first = it->first;
        qint32 last = first;
        while (++it != present.end() && it->first == last + 1)
            last = it->first;
        h.storeGroups(first, last, [&](qint32 g) { return present.at(g); });
    }
    return h.completions == completionsBefore + runs;
}

}  // namespace

class RecordTableTest : public QObject {
    Q_OBJECT
private slots:
    void bannerAndHeader();
    void englishHeaderStandsOverItsColumns();
    void recordText_data();
    void recordText();
    void appendRecordAddsTheSameText();
    void viewText_data();
    void viewText();
    void viewAsksOnlyForGroupsOfTheRange();
    void paddingFor_data();
    void paddingFor();
    void listRecordsShowsTheRange();
    void listRecordsZeroMeansWholeStore();
    void listRecordsTreatsGroupsWithoutSlotAsAbsent();
    void listingLooksOnlyWhereGroupsAre_data();
    void listingLooksOnlyWhereGroupsAre();
    void listRecordsShowsErrorChannelOne();
    void listRecordsWritesNoFile();
};

void RecordTableTest::bannerAndHeader()
{
    QCOMPARE(record_table::bannerLine(), QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune"));
    QCOMPARE(record_table::headerLine().size(), 83);
    QCOMPARE(record_table::headerLine(), headerFromPieces());
    QCOMPARE(record_table::headerText(), viewHead());
}

// In English the header is as wide as the Chinese one, and its words stand
// over the columns of a line with seconds, on both sides: "Group" over the
// group number, "I1" to "I3" ending where the readings end, "Time" over the
// time stamp.
void RecordTableTest::englishHeaderStandsOverItsColumns()
{
    const int chineseColumns = sheet_rows::displayWidth(record_table::headerLine());
    const language::Translators english(language::Language::English);
    const QString header = record_table::headerLine();
    QCOMPARE(sheet_rows::displayWidth(header), chineseColumns);
    QCOMPARE(header.size(), chineseColumns);

    const QString record = record_table::recordText(7, exampleRecord(), 1);
    constexpr int kLabel = 9;  // "NO.000007"
    const QString readingEnd = QStringLiteral("NO.000007 12.34mA   0.0mA      OL");
    QCOMPARE(record.left(readingEnd.size()), readingEnd);
    for (const int side : {0, int(record.size()) + int(qstrlen(record_table::kGap))}) {
        const qsizetype group = header.indexOf(QStringLiteral("Group"), side);
        QVERIFY2(group >= side && group + 5 <= side + kLabel, qPrintable(header));
        for (int c = 1; c <= 3; ++c) {
            const int end = side + kLabel + c * record_table::kReadingField;
            QCOMPARE(header.mid(end - 3, 3), QStringLiteral(" I%1").arg(c));
        }
        const qsizetype time = header.indexOf(QStringLiteral("Time"), side);
        QVERIFY2(time >= side + readingEnd.size() && time + 4 <= side + record.size(),
                 qPrintable(header));
    }
}

void RecordTableTest::recordText_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<GroupRecord>("record");
    QTest::addColumn<int>("secFlag");
    QTest::addColumn<QString>("text");

    QTest::newRow("group 7 without seconds") << 7 << exampleRecord() << 0 << kExampleNoSeconds;
    QTest::newRow("group 7 with seconds")
        << 7 << exampleRecord() << 1 << kExampleNoSeconds + QStringLiteral(":09");
    QTest::newRow("secFlag other than 1 shows no seconds")
        << 7 << exampleRecord() << 2 << kExampleNoSeconds;
    QTest::newRow("99999") << 99999 << exampleRecord() << 0
                           << QStringLiteral("NO.099999") + kExampleNoSeconds.mid(9);
    QTest::newRow("100000") << 100000 << exampleRecord() << 0
                            << QStringLiteral("NO.100000") + kExampleNoSeconds.mid(9);
    QTest::newRow("200000") << 200000 << exampleRecord() << 0
                            << QStringLiteral("NO.200000") + kExampleNoSeconds.mid(9);
    QTest::newRow("eight-character reading gets one space")
        << 1 << makeRecord(25755, 0x41, 25750, 0x41, 1, 0x43, 5, 1, 2, 3, 4, 5) << 1
        << QStringLiteral("NO.000001 2575.5mA 2575.0mA 0.001mA  2005/01/02/03:04:05");
    QTest::newRow("time parts of ten and more")
        << 12 << makeRecord(20000, 0, 25, 0x20, 25, 0x50, 99, 12, 31, 23, 59, 59) << 1
        << QStringLiteral("NO.000012     err    25kA      25  2099/12/31/23:59:59");
    QTest::newRow("time parts above two digits are written in full")
        << 3 << makeRecord(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 123) << 1
        << QStringLiteral("NO.000003       1       1       1  2000/00/00/00:00:123");
}

void RecordTableTest::recordText()
{
    QFETCH(int, group);
    QFETCH(GroupRecord, record);
    QFETCH(int, secFlag);
    QFETCH(QString, text);
    QCOMPARE(record_table::recordText(group, record, quint8(secFlag)), text);
}

void RecordTableTest::appendRecordAddsTheSameText()
{
    QString out = QStringLiteral("before|");
    record_table::appendRecord(out, 7, exampleRecord(), 0);
    QCOMPARE(out, QStringLiteral("before|") + kExampleNoSeconds);
    QCOMPARE(kExampleNoSeconds.size(), 51);
    QCOMPARE(record_table::recordText(7, exampleRecord(), 1).size(), 54);
}

void RecordTableTest::viewText_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<QStringList>("lines");  // table lines, without line ends

    const auto rec = [](int g) { return record_table::recordText(g, exampleRecord(), 0); };
    QTest::newRow("1 to 3 all present")
        << 1 << 3 << QList<int>{1, 2, 3} << QStringList{rec(1) + kFive + rec(2), rec(3) + kFive};
    QTest::newRow("1 to 4, 3 absent")
        << 1 << 4 << QList<int>{1, 2, 4} << QStringList{rec(1) + kFive + rec(2), kFive + rec(4)};
    QTest::newRow("absent left and right gives no line")
        << 1 << 6 << QList<int>{1, 2, 5} << QStringList{rec(1) + kFive + rec(2), rec(5) + kFive};
    QTest::newRow("absent group does not let the next move up")
        << 2 << 5 << QList<int>{3, 4, 5} << QStringList{kFive + rec(3), rec(4) + kFive + rec(5)};
    QTest::newRow("first greater than last") << 5 << 2 << QList<int>{2, 3, 4, 5} << QStringList{};
    QTest::newRow("single group") << 9 << 9 << QList<int>{9} << QStringList{rec(9) + kFive};
    QTest::newRow("nothing present") << 1 << 200000 << QList<int>{} << QStringList{};
    QTest::newRow("groups outside the range stay out")
        << 10 << 11 << QList<int>{9, 10, 11, 12} << QStringList{rec(10) + kFive + rec(11)};
}

void RecordTableTest::viewText()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, present);
    QFETCH(QStringList, lines);
    MapStore store;
    for (int g : present)
        store.present[g] = exampleRecord();
    QString expected = viewHead();
    for (const QString &line : lines)
        expected += line + kCrLf;
    QCOMPARE(record_table::viewText(first, last, 0, store.lookup()), expected);
}

void RecordTableTest::viewAsksOnlyForGroupsOfTheRange()
{
    MapStore store;
    record_table::viewText(3, 7, 0, store.lookup());
    QCOMPARE(store.asked, (QList<qint32>{3, 4, 5, 6, 7}));

    // A range reaching the top of the 32-bit numbers still ends.
    store.asked.clear();
    record_table::viewText(2147483646, 2147483647, 0, store.lookup());
    QCOMPARE(store.asked, (QList<qint32>{2147483646, 2147483647}));
}

// The spaces in front of a reading of 8 - n characters: n, and one for a full field.
void RecordTableTest::paddingFor_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("spaces");
    QTest::newRow("zero gives one space") << 0 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("eight") << 8 << 8;
}

void RecordTableTest::paddingFor()
{
    QFETCH(int, n);
    QTEST(record_table::paddingFor(quint8(n)), "spaces");
}

void RecordTableTest::listRecordsShowsTheRange()
{
    CoreHarness h;
    h.secondsFlag(1);
    QCOMPARE(int(h.core->secFlag()), 1);
    QVERIFY(readOut(
        h,
        {{1, exampleRecord()}, {2, exampleRecord()}, {4, exampleRecord()}, {5, exampleRecord()}}));
    h.core->listRecords(1, 4);
    const auto rec = [](int g) { return record_table::recordText(g, exampleRecord(), 1); };
    QCOMPARE(h.listed.last(),
             viewHead() + rec(1) + kFive + rec(2) + kCrLf + kFive + rec(4) + kCrLf);
}

void RecordTableTest::listRecordsZeroMeansWholeStore()
{
    CoreHarness h;
    QVERIFY(readOut(h, {{1, exampleRecord()}, {200000, exampleRecord()}}));
    h.core->listRecords(0, 0);
    const auto rec = [](int g) { return record_table::recordText(g, exampleRecord(), 0); };
    QCOMPARE(h.listed.last(), viewHead() + rec(1) + kFive + kCrLf + kFive + rec(200000) + kCrLf);
}

void RecordTableTest::listRecordsTreatsGroupsWithoutSlotAsAbsent()
{
    CoreHarness h;
    QVERIFY(readOut(h, {{199999, exampleRecord()}, {200000, exampleRecord()}}));
    h.core->listRecords(199999, 200005);
    const auto rec = [](int g) { return record_table::recordText(g, exampleRecord(), 0); };
    QCOMPARE(h.listed.last(), viewHead() + rec(199999) + kFive + rec(200000) + kCrLf);

    h.core->listRecords(-4, -1);
    QCOMPARE(h.listed.last(), viewHead());
}

// A listing looks only where the store holds groups, and reads exactly as
// the table of the whole range: each line keeps its pair of groups.
void RecordTableTest::listingLooksOnlyWhereGroupsAre_data()
{
    QTest::addColumn<QList<qint32>>("groups");
    QTest::addColumn<qint32>("first");
    QTest::addColumn<qint32>("last");
    QTest::newRow("a right-hand group") << QList<qint32>{8} << 0 << 0;
    QTest::newRow("a pair") << QList<qint32>{7, 8} << 0 << 0;
    QTest::newRow("a range starting even") << QList<qint32>{7, 8, 11} << 2 << 10;
    QTest::newRow("far apart") << QList<qint32>{2, 199999} << 0 << 0;
}

void RecordTableTest::listingLooksOnlyWhereGroupsAre()
{
    QFETCH(QList<qint32>, groups);
    QFETCH(qint32, first);
    QFETCH(qint32, last);
    CoreHarness h;
    std::map<qint32, GroupRecord> present;
    for (qint32 g : groups)
        present[g] = exampleRecord();
    QVERIFY(readOut(h, present));
    h.core->listRecords(first, last);
    const RecordStore &store = h.core->store();
    const auto everySlot = [&store](qint32 g) -> std::optional<GroupRecord> {
        return store.isPresent(g) ? std::optional<GroupRecord>(store.recordAt(g)) : std::nullopt;
    };
    QCOMPARE(h.listed.last(),
             record_table::viewText(first == 0 ? 1 : first,
                                    last == 0 ? record_store::kLastGroup : last, 0, everySlot));
}

// A group that was read is listed whatever its readings: an error on
// channel 1 is "err" in its column, and the pairs of the lines stay in order.
void RecordTableTest::listRecordsShowsErrorChannelOne()
{
    CoreHarness h;
    QVERIFY(readOut(h, {{1, makeRecord(20000, 0x42, 5, 0x42, 5, 0x42)},
                        {2, makeRecord(5, 0x42, 20000, 0x42, 20000, 0x42)},
                        {3, makeRecord(20000, 0x42, 20000, 0x42, 20000, 0x42)}}));
    h.core->listRecords(1, 3);
    QCOMPARE(h.listed.last(),
             viewHead() + QStringLiteral("NO.000001     err  0.05mA  0.05mA  2021/11/27/08:05")
                 + kFive + QStringLiteral("NO.000002  0.05mA     err     err  2021/11/27/08:05")
                 + kCrLf + QStringLiteral("NO.000003     err     err     err  2021/11/27/08:05")
                 + kFive + kCrLf);
}

// The table used to go through a scratch file beside the program; it must not any more.
void RecordTableTest::listRecordsWritesNoFile()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList scratchNames{QStringLiteral("*lishi*")};
    const QStringList before = programDir.entryList(scratchNames, QDir::AllEntries | QDir::Hidden);
    CoreHarness h;
    QVERIFY(readOut(h, {{3, exampleRecord()}}));
    h.core->listRecords(1, 10);
    h.core->clearData();
    QVERIFY(h.listed.last().startsWith(viewHead()));
    QVERIFY(!programDir.exists(QStringLiteral("lishi.txt")));
    QCOMPARE(programDir.entryList(scratchNames, QDir::AllEntries | QDir::Hidden), before);
}

QTEST_GUILESS_MAIN(RecordTableTest)
#include "test_record_table.moc"
