#include "core/records/record_table.h"
#include "support/read_out.h"

#include <QtTest>

// Clear data empties the store, shows banner and header only, and restarts
// the port search and the live poll.
class ClearDataTest : public QObject {
    Q_OBJECT
private slots:
    void emptiesValuesAndTimesOfEverySlot();
    void keepsStatusesChargeAndSecFlag();
    void showsBannerAndHeaderOnly();
    void enablesPortSearchAndLivePoll();
    void clearingAnEmptyStoreGivesTheSameView();
    void groupReadAgainShowsUpOthersStayAbsent();
};

namespace {

// The instrument's 20-byte record of a group with all three values `value`,
// statuses 0x42, 0x43 and 0x31, time stamp 21/11/27 08:05:09 and charge 77.
QByteArray filledRecord(quint16 value)
{
    QByteArray r(20, '\0');
    for (int at : {1, 4, 7}) {
        r[at] = char(value / 100);
        r[at + 1] = char(value % 100);
    }
    r[3] = char(0x42);
    r[6] = char(0x43);
    r[9] = char(0x31);
    const int stamp[] = {21, 11, 27, 8, 5, 9};
    for (int i = 0; i < 6; ++i)
        r[10 + i] = char(stamp[i]);
    r[18] = char(77);
    return r;
}

// Slot g holds a group: the instrument sends it in a read-out of g alone.
// Whether it arrived, as the store holds it.
bool fillSlot(CoreHarness &h, qint32 g, quint16 value)
{
    const QByteArray record = filledRecord(value);
    startReadOut(h, g, g);
    const QList<QByteArray> sent = h.takeWrites();
    if (sent.isEmpty())
        return false;
    h.receiveBlock(blockReplyFor(sent.last(), [&](qint32) { return record; }));
    return slotMismatch(h.core->store(), g, record).isEmpty();
}

// Quiets the search and the live poll, as Read does, so that a restart shows.
void stopSearchAndPoll(CoreHarness &h)
{
    h.link();
    h.core->read();
    h.takeWrites();
    QVERIFY(!testing(h.core).Timer2().isActive());
    QVERIFY(!testing(h.core).Timer3().isActive());
}

}  // namespace

void ClearDataTest::emptiesValuesAndTimesOfEverySlot()
{
    CoreHarness h;
    for (qint32 g : {1, 2, 12345, 200000})
        QVERIFY(fillSlot(h, g, 1234));
    h.core->clearData();
    const RecordStore &store = h.core->store();
    for (qint32 g = 0; g <= 200000; ++g) {
        const GroupRecord r = store.recordAt(g);
        if (r.val[0] != 20000 || r.val[1] != 20000 || r.val[2] != 20000 || r.year || r.month
            || r.day || r.hour || r.minute || r.second)
            QFAIL(qPrintable(QStringLiteral("slot %1 not cleared").arg(g)));
    }
}

void ClearDataTest::keepsStatusesChargeAndSecFlag()
{
    CoreHarness h;
    QVERIFY(fillSlot(h, 1, 1234));
    QVERIFY(fillSlot(h, 500, 1234));
    testing(h.core).senddat(11);
    h.receive(CoreHarness::probeReply(0xFF));  // time stamps carry seconds
    QCOMPARE(h.core->secFlag(), quint8(1));
    h.core->clearData();
    const RecordStore &store = h.core->store();
    for (qint32 g : {1, 500}) {
        QCOMPARE(store.recordAt(g).stat[0], quint8(0x42));
        QCOMPARE(store.recordAt(g).stat[1], quint8(0x43));
        QCOMPARE(store.recordAt(g).stat[2], quint8(0x31));
        QCOMPARE(store.recordAt(g).charge, quint8(77));
    }
    QCOMPARE(h.core->secFlag(), quint8(1));
}

void ClearDataTest::showsBannerAndHeaderOnly()
{
    CoreHarness h;
    QVERIFY(fillSlot(h, 1, 1234));
    QVERIFY(fillSlot(h, 2, 1234));
    h.core->listRecords(0, 0);
    QVERIFY(h.listed.last() != record_table::headerText());
    h.core->clearData();
    QCOMPARE(h.listed.last(), QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune\r\n")
                                  + record_table::headerLine() + QStringLiteral("\r\n"));
    QCOMPARE(h.storeClears, 2);  // at start-up and now
}

void ClearDataTest::enablesPortSearchAndLivePoll()
{
    CoreHarness h;
    stopSearchAndPoll(h);
    h.core->clearData();
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
    QVERIFY(!testing(h.core).Timer4().isActive());
    // Nothing goes to the instrument.
    QVERIFY(h.takeWrites().isEmpty());
}

void ClearDataTest::clearingAnEmptyStoreGivesTheSameView()
{
    CoreHarness h;
    h.core->clearData();
    const QString first = h.listed.last();
    stopSearchAndPoll(h);
    const qsizetype listedBefore = h.listed.size();
    h.core->clearData();
    QCOMPARE(h.listed.size(), listedBefore + 1);  // listed again ...
    QCOMPARE(h.listed.last(), first);             // ... the same
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
}

void ClearDataTest::groupReadAgainShowsUpOthersStayAbsent()
{
    CoreHarness h;
    QVERIFY(fillSlot(h, 1, 1234));
    QVERIFY(fillSlot(h, 2, 1234));
    h.core->clearData();
    QVERIFY(fillSlot(h, 2, 1234));
    h.core->listRecords(1, 2);
    QCOMPARE(h.listed.last(), record_table::headerText() + QStringLiteral("     ")
                                  + record_table::recordText(2, h.core->store().recordAt(2), 0)
                                  + QStringLiteral("\r\n"));
}

QTEST_GUILESS_MAIN(ClearDataTest)
#include "test_clear_data.moc"
