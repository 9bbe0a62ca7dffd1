// The record store: one group record in and out of its thirteen columns.
#include "core/records/record_store.h"

#include <QtTest>

namespace {

// Every field different from every other, so a field kept in the wrong column shows.
const GroupRecord kDistinct{{1111, 2222, 3333}, {0x41, 0x32, 0x23}, 24, 5, 6, 7, 8, 9, 200};

// What differs between two records, or an empty text.
QString difference(const GroupRecord &a, const GroupRecord &b)
{
    const struct {
        const char *name;
        int a;
        int b;
    } fields[] = {
        {"value 1", a.val[0], b.val[0]},
        {"value 2", a.val[1], b.val[1]},
        {"value 3", a.val[2], b.val[2]},
        {"status 1", a.stat[0], b.stat[0]},
        {"status 2", a.stat[1], b.stat[1]},
        {"status 3", a.stat[2], b.stat[2]},
        {"year", a.year, b.year},
        {"month", a.month, b.month},
        {"day", a.day, b.day},
        {"hour", a.hour, b.hour},
        {"minute", a.minute, b.minute},
        {"second", a.second, b.second},
        {"charge", a.charge, b.charge},
    };
    for (const auto &f : fields) {
        if (f.a != f.b)
            return QStringLiteral("%1: %2, not %3").arg(QLatin1String(f.name)).arg(f.a).arg(f.b);
    }
    return QString();
}

}  // namespace

class RecordStoreTest : public QObject {
    Q_OBJECT
private slots:
    // Clear data leaves every slot as a cleared one, whatever was stored where
    // since the last clear: values empty, time stamps zero, statuses and charge kept.
    void clearLeavesEverySlotCleared_data()
    {
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("nothing") << QList<int>{};
        QTest::newRow("one group") << QList<int>{12345};
        QTest::newRow("both ends") << QList<int>{0, 200000};
        QTest::newRow("far apart") << QList<int>{7, 150000};
    }
    void clearLeavesEverySlotCleared()
    {
        QFETCH(QList<int>, stored);
        RecordStore store;
        store.storeRecord(3, kDistinct);  // before start-up's clear
        store.clear();
        for (int round = 0; round < 2; ++round) {
            for (int g : stored)
                store.storeRecord(g, kDistinct);
            store.clear();
            for (qint32 g = record_store::kFirstGroup; g <= record_store::kLastGroup; ++g) {
                const GroupRecord r = store.recordAt(g);
                const bool keepsOld = g == 3 || stored.contains(g);
                const quint8 status = keepsOld ? kDistinct.stat[0] : 0;
                if (r.val[0] != 20000 || r.val[1] != 20000 || r.val[2] != 20000 || r.year != 0
                    || r.second != 0 || r.stat[0] != status)
                    QFAIL(qPrintable(QStringLiteral("round %1, slot %2").arg(round).arg(g)));
            }
            QVERIFY(store.presentFirst() > store.presentLast());
        }
    }

    void storedRecordReadsBack_data()
    {
        QTest::addColumn<int>("group");
        QTest::newRow("first slot") << 0;
        QTest::newRow("inside") << 12345;
        QTest::newRow("last slot") << 200000;
    }
    void storedRecordReadsBack()
    {
        QFETCH(int, group);
        RecordStore store;
        store.clear();  // as start-up leaves it
        const GroupRecord emptySlot = store.recordAt(group);
        store.storeRecord(group, kDistinct);
        const QString wrong = difference(store.recordAt(group), kDistinct);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        // Its neighbours are left alone.
        for (int g : {group - 1, group + 1}) {
            if (g < record_store::kFirstGroup || g > record_store::kLastGroup)
                continue;
            const QString changed = difference(store.recordAt(g), emptySlot);
            QVERIFY2(changed.isEmpty(),
                     qPrintable(QStringLiteral("slot %1: %2").arg(g).arg(changed)));
        }
    }

    // A group is present once it was stored, whatever it reads, and only
    // inside the store; Clear data makes it absent again.
    void presenceFollowsTheStoring_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("value1");
        QTest::newRow("a reading") << 77 << 1234;
        QTest::newRow("overload") << 77 << 10000;
        QTest::newRow("channel 1 reads err") << 77 << 20000;
        QTest::newRow("group 0") << 0 << 5;
        QTest::newRow("the last slot") << 200000 << 20000;
    }
    void presenceFollowsTheStoring()
    {
        QFETCH(int, group);
        QFETCH(int, value1);
        RecordStore store;
        store.clear();
        QVERIFY(!store.isPresent(group));
        GroupRecord r = kDistinct;
        r.val[0] = quint16(value1);
        store.storeRecord(group, r);
        QVERIFY(store.isPresent(group));
        QVERIFY(!store.isPresent(group == 0 ? 1 : group - 1));
        QVERIFY(!store.isPresent(-1));
        QVERIFY(!store.isPresent(200001));
        QVERIFY(store.anyPresent(group, 1));
        QVERIFY(store.anyPresent(group - 5, 11));
        QVERIFY(!store.anyPresent(group + 1, 5));
        QVERIFY(!store.anyPresent(group - 5, 5));
        store.clear();
        QVERIFY(!store.isPresent(group));
        QVERIFY(!store.anyPresent(record_store::kFirstGroup, record_store::kSlots));
    }

    // 200001 slots of three 16-bit values, ten bytes and a bit.
    void sizeOfTheStore()
    {
        const RecordStore store;
        QCOMPARE(store.bytes(), std::size_t(200001 * 16 + (200001 + 7) / 8));
    }
};

QTEST_GUILESS_MAIN(RecordStoreTest)
#include "test_record_store.moc"
