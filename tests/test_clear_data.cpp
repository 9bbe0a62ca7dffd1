#include "core/records/record_table.h"
#include "platform/rich_text_box.h"
#include "support/form1_harness.h"

#include <QTimer>
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

void fillSlot(Form1 &f, qint32 g, quint16 value)
{
    f.storeRecord(g,
                  GroupRecord{{value, value, value}, {0x42, 0x43, 0x31}, 21, 11, 27, 8, 5, 9, 77});
}

}  // namespace

void ClearDataTest::emptiesValuesAndTimesOfEverySlot()
{
    Form1Harness h;
    Form1 &f = *h.form;
    for (qint32 g : {0, 1, 12345, 200000})
        fillSlot(f, g, 1234);
    f.Command4_Click();
    for (qint32 g = 0; g <= 200000; ++g) {
        const GroupRecord r = f.recordAt(g);
        if (r.val[0] != 20000 || r.val[1] != 20000 || r.val[2] != 20000 || r.year || r.month
            || r.day || r.hour || r.minute || r.second)
            QFAIL(qPrintable(QStringLiteral("slot %1 not cleared").arg(g)));
    }
}

void ClearDataTest::keepsStatusesChargeAndSecFlag()
{
    Form1Harness h;
    Form1 &f = *h.form;
    fillSlot(f, 0, 1234);
    fillSlot(f, 500, 1234);
    f.secFlag = 1;
    f.Command4_Click();
    for (qint32 g : {0, 500}) {
        QCOMPARE(f.recordAt(g).stat[0], quint8(0x42));
        QCOMPARE(f.recordAt(g).stat[1], quint8(0x43));
        QCOMPARE(f.recordAt(g).stat[2], quint8(0x31));
        QCOMPARE(f.recordAt(g).charge, quint8(77));
    }
    QCOMPARE(f.secFlag, quint8(1));
}

void ClearDataTest::showsBannerAndHeaderOnly()
{
    Form1Harness h;
    fillSlot(*h.form, 1, 1234);
    fillSlot(*h.form, 2, 1234);
    h.form->listRecords(0, 0);
    QVERIFY(h.form->RichTextBox1->Text() != record_table::headerText());
    h.form->Command4_Click();
    QCOMPARE(h.form->RichTextBox1->Text(),
             QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune\r\n")
                 + record_table::headerLine() + QStringLiteral("\r\n"));
}

void ClearDataTest::enablesPortSearchAndLivePoll()
{
    Form1Harness h;  // timers stopped
    h.form->Command4_Click();
    QVERIFY(h.form->Timer2->isActive());
    QVERIFY(h.form->Timer3->isActive());
    QVERIFY(!h.form->Timer1->isActive());
    QVERIFY(!h.form->Timer4->isActive());
    // Nothing goes to the instrument.
    QVERIFY(h.takeWrites().isEmpty());
}

void ClearDataTest::clearingAnEmptyStoreGivesTheSameView()
{
    Form1Harness h;
    h.form->Command4_Click();
    const QString first = h.form->RichTextBox1->Text();
    h.stopTimers();
    h.form->Command4_Click();
    QCOMPARE(h.form->RichTextBox1->Text(), first);
    QVERIFY(h.form->Timer2->isActive());
    QVERIFY(h.form->Timer3->isActive());
}

void ClearDataTest::groupReadAgainShowsUpOthersStayAbsent()
{
    Form1Harness h;
    fillSlot(*h.form, 1, 1234);
    fillSlot(*h.form, 2, 1234);
    h.form->Command4_Click();
    fillSlot(*h.form, 2, 1234);
    h.form->listRecords(1, 2);
    QCOMPARE(h.form->RichTextBox1->Text(), record_table::headerText() + QStringLiteral("     ")
                                               + record_table::recordText(2, h.form->recordAt(2), 0)
                                               + QStringLiteral("\r\n"));
}

QTEST_MAIN(ClearDataTest)
#include "test_clear_data.moc"
