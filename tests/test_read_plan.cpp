#include "core/link/read_plan.h"

#include <QtTest>

// The read plan made from the dialog's choice: worked examples, the rounding
// and reading of the texts, and the bounds of the record store.
class ReadPlanTest : public QObject {
    Q_OBJECT
private slots:
    void plan_data();
    void plan();
};

void ReadPlanTest::plan_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<int>("savesum");
    QTest::addColumn<int>("startsave");
    QTest::addColumn<int>("endsave");
    QTest::addColumn<int>("memnum");
    QTest::addColumn<int>("memmul");
    QTest::addColumn<int>("memrem");
    QTest::addColumn<bool>("hasGroups");

    // Worked examples.
    QTest::newRow("range 1 to 100") << false << "1"
                                    << "100" << 2500 << 1 << 100 << 100 << 0 << 100 << true;
    QTest::newRow("range 300 to 20") << false << "300"
                                     << "20" << 2500 << 20 << 300 << 281 << 0 << 281 << true;
    QTest::newRow("range 1 to 5000") << false << "1"
                                     << "5000" << 2500 << 1 << 2500 << 2500 << 2 << 500 << true;
    QTest::newRow("all") << true << "1"
                         << "100" << 2500 << 1 << 2500 << 2500 << 2 << 500 << true;
    QTest::newRow("all of 3000") << true << "1"
                                 << "100" << 3000 << 1 << 3000 << 3000 << 3 << 0 << true;
    QTest::newRow("range 7 to 7") << false << "7"
                                  << "7" << 2500 << 7 << 7 << 1 << 0 << 1 << true;

    // Reading and rounding the texts.
    QTest::newRow("2.5 to 3.5 reads 2 to 4") << false << "2.5"
                                             << "3.5" << 2500 << 2 << 4 << 3 << 0 << 3 << true;
    QTest::newRow("3.5 to 2.5 reads 2 to 4") << false << "3.5"
                                             << "2.5" << 2500 << 2 << 4 << 3 << 0 << 3 << true;
    QTest::newRow("empty start reads from 1")
        << false << ""
        << "100" << 2500 << 1 << 100 << 100 << 0 << 100 << true;
    QTest::newRow("leading number of a text")
        << false << "1 0abc"
        << "&H14" << 2500 << 10 << 20 << 11 << 0 << 11 << true;
    QTest::newRow("both equal after rounding") << false << "2.5"
                                               << "2.5" << 2500 << 2 << 2 << 1 << 0 << 1 << true;
    QTest::newRow("all ignores the texts") << true << "abc"
                                           << "-7" << 2500 << 1 << 2500 << 2500 << 2 << 500 << true;
    QTest::newRow("exactly one whole block")
        << false << "1001"
        << "2000" << 2500 << 1001 << 2000 << 1000 << 1 << 0 << true;

    // Bounds of the store and of the instrument.
    QTest::newRow("start below 1 reads from 1") << false << "-50"
                                                << "10" << 2500 << 1 << 10 << 10 << 0 << 10 << true;
    QTest::newRow("start 0 reads from 1") << false << "0"
                                          << "3" << 2500 << 1 << 3 << 3 << 0 << 3 << true;
    QTest::newRow("a range of group 0 alone") << false << "0"
                                              << "0" << 2500 << 1 << 0 << 0 << 0 << 0 << false;
    QTest::newRow("more groups than slots")
        << true << ""
        << "" << 250000 << 1 << 200000 << 200000 << 200 << 0 << true;
    QTest::newRow("range past the store")
        << false << "199990"
        << "300000" << 999999 << 199990 << 200000 << 11 << 0 << 11 << true;
    QTest::newRow("whole store") << false << "-1e20"
                                 << "1e20" << 999999 << 1 << 200000 << 200000 << 200 << 0 << true;
    QTest::newRow("text beyond 32 bits") << false << "1e20"
                                         << "5" << 2500 << 5 << 2500 << 2496 << 2 << 496 << true;

    // Ranges that hold no stored group.
    QTest::newRow("start beyond the stored groups")
        << false << "200"
        << "300" << 100 << 200 << 100 << -99 << -1 << -99 << false;
    QTest::newRow("all of none") << true << "1"
                                 << "100" << 0 << 1 << 0 << 0 << 0 << 0 << false;
    QTest::newRow("range of none") << false << "1"
                                   << "100" << 0 << 1 << 0 << 0 << 0 << 0 << false;
    QTest::newRow("range wholly past the store")
        << false << "300000"
        << "400000" << 999999 << 200001 << 200000 << 0 << 0 << 0 << false;
    QTest::newRow("range wholly below 1") << false << "-5"
                                          << "-3" << 2500 << 1 << 0 << 0 << 0 << 0 << false;
}

void ReadPlanTest::plan()
{
    QFETCH(bool, all);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(int, savesum);
    const read_plan::Plan p = read_plan::fromTexts(
        all ? read_plan::Choice::All : read_plan::Choice::Range, text1, text2, savesum);
    QTEST(int(p.startsave), "startsave");
    QTEST(int(p.endsave), "endsave");
    QCOMPARE(p.lssavesum, p.startsave);
    QTEST(int(p.memnum), "memnum");
    QTEST(int(p.memmul), "memmul");
    QTEST(int(p.memrem), "memrem");
    QTEST(p.hasGroups(), "hasGroups");
}

QTEST_GUILESS_MAIN(ReadPlanTest)
#include "test_read_plan.moc"
