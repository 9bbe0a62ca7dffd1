#include "core/records/record_table.h"
#include "gui/fonts.h"
#include "gui/form2.h"
#include "gui/twips.h"
#include "platform/mscomm.h"
#include "platform/rich_text_box.h"
#include "support/form1_harness.h"
#include "support/languages.h"
#include "support/read_out.h"
#include "support/scaled_run.h"
#include "support/text_fit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <QtTest>

namespace {

// The instrument linked, Read pressed and the group count answered: the dialog is up.
Form2 *openDialog(Form1Harness &h, quint8 byte15 = 0, quint8 byte16 = 25, quint8 byte17 = 0)
{
    h.link();
    h.form->Command2_Click();
    h.takeWrites();
    h.receive(shortReply(0x22, byte15, byte16, byte17));
    return h.form2();
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// The tab chain of the widgets that can take focus, from `start` round to it again.
QList<QWidget *> tabChain(QWidget *start)
{
    QList<QWidget *> chain{start};
    for (QWidget *w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            chain.append(w);
    return chain;
}

}  // namespace

class ReadRangeDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensAsTopLevelWithDesignValues();
    void layoutFollowsTheDesign();
    void textsFitTheirBoxes_data();
    void textsFitTheirBoxes();
    void textsFitWhenScaled_data();
    void textsFitWhenScaled();
    void opensOverTheMainWindow();
    void okStartsTheReadOut_data();
    void okStartsTheReadOut();
    void okEmptiesViewAndResetsPlanCounters();
    void emptyRangeDoesNotLock_data();
    void emptyRangeDoesNotLock();
    void framesStayInsideTheStore();
    void cancelChangesOnlyTheTimers();
    void closingByFrameOrEscapeActsAsCancel_data();
    void closingByFrameOrEscapeActsAsCancel();
    void everyShowingStartsFromDesignValues();
};

void ReadRangeDialogTest::opensAsTopLevelWithDesignValues()
{
    Form1Harness h;
    Form2 *d = openDialog(h);
    QVERIFY(d);
    QCOMPARE(h.core->savesum(), 2500);
    QVERIFY(!h.form->isEnabled());
    QVERIFY(d->isVisible());
    QVERIFY(d->isEnabled());
    QCOMPARE(d->parentWidget(), nullptr);
    QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!d->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(d->windowTitle(), QStringLiteral("读取数据选项"));

    QVERIFY(d->Option1->isChecked());
    QVERIFY(!d->Option2->isChecked());
    QVERIFY(d->Option1->text().isEmpty());
    QVERIFY(d->Option2->text().isEmpty());
    QCOMPARE(d->Label1->text(), QStringLiteral("读取:"));
    QCOMPARE(d->Label2->text(), QStringLiteral("组"));
    QCOMPARE(d->Label3->text(), QStringLiteral("-"));
    QCOMPARE(d->Label4->text(), QStringLiteral("全部"));
    QCOMPARE(d->Text1->text(), QStringLiteral("1"));
    QCOMPARE(d->Text2->text(), QStringLiteral("100"));
    QCOMPARE(d->Command1->text(), QStringLiteral("确  定"));
    QCOMPARE(d->Command2->text(), QStringLiteral("取  消"));

    for (QPushButton *b : {d->Command1, d->Command2}) {
        QVERIFY(!b->autoDefault());
        QVERIFY(!b->isDefault());
    }
    QCOMPARE(d->focusWidget(), d->Command1);
    const QList<QWidget *> expectedOrder{d->Command1, d->Command2, d->Text1,
                                         d->Text2,    d->Option1,  d->Option2};
    QCOMPARE(tabChain(d->Command1), expectedOrder);

    // Choosing one option drops the other.
    d->Option2->setChecked(true);
    QVERIFY(!d->Option1->isChecked());
    d->Command2_Click();
}

void ReadRangeDialogTest::layoutFollowsTheDesign()
{
    Form1Harness h;
    Form2 *d = openDialog(h);
    const double dpi = d->logicalDpiX();
    QCOMPARE(d->size(), QSize(twips::toPixels(6135, dpi), twips::toPixels(3120, dpi)));
    const auto rect = [dpi](int l, int t, int w, int hh) {
        return twips::toRect(l, t, w, hh, dpi);
    };
    QCOMPARE(d->Option1->geometry(), rect(480, 720, 375, 375));
    QCOMPARE(d->Label1->geometry(), rect(960, 720, 855, 375));
    // The boxes of the range are wider than designed, for six digits
    // (textsFitTheirBoxes); what stands right of them moved right by as much.
    QCOMPARE(d->Text1->geometry(), rect(1800, 720, 1200, 375));
    QCOMPARE(d->Label3->geometry(), rect(3105, 670, 375, 375));
    QCOMPARE(d->Text2->geometry(), rect(3465, 720, 1200, 375));
    QCOMPARE(d->Label2->geometry(), rect(4770, 760, 615, 375));
    QCOMPARE(d->Option2->geometry(), rect(480, 1320, 375, 375));
    QCOMPARE(d->Label4->geometry(), rect(960, 1320, 975, 375));
    QCOMPARE(d->Command1->geometry(), rect(1080, 2280, 1215, 615));
    QCOMPARE(d->Command2->geometry(), rect(3720, 2280, 1215, 615));

    for (QWidget *w :
         std::initializer_list<QWidget *>{d->Text1, d->Text2, d->Label1, d->Label2, d->Label4}) {
        QCOMPARE(w->font().family(), QString::fromLatin1(fonts::kUiFamily));
        QCOMPARE(w->font().pointSize(), 15);
        QVERIFY(w->font().bold());
    }
    QCOMPARE(d->Label3->font().family(), QString::fromLatin1(fonts::kUiFamily));
    QCOMPARE(d->Label3->font().pointSize(), 24);
    QVERIFY(d->Label3->font().bold());
    d->Command2_Click();
}

// Groups run up to 200000: both boxes show six digits whole at 15 pt bold,
// and every other text fits its box too, in each language.
void ReadRangeDialogTest::textsFitTheirBoxes_data() { languages::addRows(); }

void ReadRangeDialogTest::textsFitTheirBoxes()
{
    QFETCH(language::Language, language);
    const language::Translators speaking(language);
    Form1Harness h;
    Form2 *d = openDialog(h);
    for (QLineEdit *box : {d->Text1, d->Text2}) {
        for (const QString &text : {QStringLiteral("150000"), QStringLiteral("200000")})
            QVERIFY2(text_fit::inLineEdit(box, text).isEmpty(),
                     qPrintable(text_fit::inLineEdit(box, text)));
    }
    for (QLabel *label : {d->Label1, d->Label2, d->Label3, d->Label4})
        QVERIFY2(text_fit::inLabel(label, label->text()).isEmpty(),
                 qPrintable(text_fit::inLabel(label, label->text())));
    for (QPushButton *b : {d->Command1, d->Command2})
        QVERIFY2(text_fit::inButton(b).isEmpty(), qPrintable(text_fit::inButton(b)));

    // The wider boxes pushed nothing over a neighbour or out of the dialog.
    // (The dash's box reaches one pixel into Text2's in the design already.)
    for (const QString &overlap :
         {text_fit::apart({{"Text1", d->Text1}, {"Text2", d->Text2}, {"Label2", d->Label2}}),
          text_fit::apart({{"Text1", d->Text1}, {"Label3", d->Label3}})})
        QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
    QVERIFY(d->rect().contains(d->Label2->geometry()));
    d->Command2_Click();
}

void ReadRangeDialogTest::textsFitWhenScaled_data()
{
    QTest::addColumn<QString>("factor");
    QTest::newRow("1.5") << QStringLiteral("1.5");
    QTest::newRow("2") << QStringLiteral("2");
}

void ReadRangeDialogTest::textsFitWhenScaled()
{
    QFETCH(QString, factor);
    if (scaled_run::isScaled())
        QSKIP("this run is the scaled one");
    const QString failures = scaled_run::failures(factor, {QStringLiteral("textsFitTheirBoxes")});
    QVERIFY2(failures.isEmpty(), qPrintable(failures));
}

// The dialog is transient for the main window: it opens centred over it and
// stays above it. It is not modal, and it stays usable while the main window
// is disabled.
void ReadRangeDialogTest::opensOverTheMainWindow()
{
    Form1Harness h;
    Form1 &f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Form2 *d = openDialog(h);
    QVERIFY(QTest::qWaitForWindowExposed(d));
    QVERIFY(d->windowHandle());
    QCOMPARE(d->windowHandle()->transientParent(), f.windowHandle());
    const QPoint offCentre = d->geometry().center() - f.geometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    QVERIFY(!f.isEnabled());
    QVERIFY(d->isEnabled());
    QVERIFY(d->Command1->isEnabled());
    QVERIFY(!d->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    d->Command2_Click();
    QVERIFY(f.isEnabled());
}

void ReadRangeDialogTest::okStartsTheReadOut_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<int>("savesumHundreds");  // the count reply carries it as 0, hundreds, 0
    QTest::addColumn<int>("startsave");
    QTest::addColumn<int>("endsave");
    QTest::addColumn<int>("memnum");
    QTest::addColumn<int>("memmul");
    QTest::addColumn<int>("memrem");
    QTest::addColumn<int>("firstBlockEnd");

    QTest::newRow("range 1 to 100") << false << "1"
                                    << "100" << 25 << 1 << 100 << 100 << 0 << 100 << 100;
    QTest::newRow("range 300 to 20") << false << "300"
                                     << "20" << 25 << 20 << 300 << 281 << 0 << 281 << 300;
    QTest::newRow("range 1 to 5000") << false << "1"
                                     << "5000" << 25 << 1 << 2500 << 2500 << 2 << 500 << 1000;
    QTest::newRow("all") << true << "1"
                         << "100" << 25 << 1 << 2500 << 2500 << 2 << 500 << 1000;
    QTest::newRow("all of 3000") << true << "1"
                                 << "100" << 30 << 1 << 3000 << 3000 << 3 << 0 << 1000;
    QTest::newRow("range 7 to 7") << false << "7"
                                  << "7" << 25 << 7 << 7 << 1 << 0 << 1 << 7;
    QTest::newRow("2.5 to 3.5") << false << "2.5"
                                << "3.5" << 25 << 2 << 4 << 3 << 0 << 3 << 4;
    QTest::newRow("empty start") << false << ""
                                 << "100" << 25 << 1 << 100 << 100 << 0 << 100 << 100;
    QTest::newRow("start 0") << false << "0"
                             << "3" << 25 << 1 << 3 << 3 << 0 << 3 << 3;
}

void ReadRangeDialogTest::okStartsTheReadOut()
{
    QFETCH(bool, all);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(int, savesumHundreds);
    QFETCH(int, startsave);
    QFETCH(int, endsave);
    QFETCH(int, memnum);
    QFETCH(int, memmul);
    QFETCH(int, memrem);
    QFETCH(int, firstBlockEnd);

    Form1Harness h;
    QPointer<Form2> d = openDialog(h, 0, quint8(savesumHundreds), 0);
    QVERIFY(d);
    d->Text1->setText(text1);
    d->Text2->setText(text2);
    (all ? d->Option2 : d->Option1)->setChecked(true);
    QTest::mouseClick(d->Command1, Qt::LeftButton);

    Form1 &f = *h.form;
    QCOMPARE(testing(h.core).startsave(), startsave);
    QCOMPARE(testing(h.core).endsave(), endsave);
    QCOMPARE(h.core->lssavesum(), startsave);
    QCOMPARE(h.core->memnum(), memnum);
    QCOMPARE(int(testing(h.core).memmul()), memmul);
    QCOMPARE(int(testing(h.core).memrem()), memrem);
    QCOMPARE(testing(h.core).lsmemmul(), qint16(1));

    const QList<QByteArray> writes = h.takeWrites();
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes.first(), blockFrame(startsave, firstBlockEnd));
    QCOMPARE(int(h.core->serial().RThreshold()), (firstBlockEnd - startsave + 1) * 20);
    QVERIFY(testing(h.core).Timer4().isActive());
    QVERIFY(f.isEnabled());
    // The busy lock of the read-out is on.
    QVERIFY(!h.Command2->isEnabled());
    QVERIFY(!testing(h.core).Timer2().isActive());

    QVERIFY(d.isNull() || !d->isVisible());
    flushDeletes();
    QVERIFY(d.isNull());
    QCOMPARE(h.form2(), nullptr);
}

void ReadRangeDialogTest::okEmptiesViewAndResetsPlanCounters()
{
    Form1Harness h;
    h.storeGroups(1, 2500, [](qint32) { return GroupRecord{}; });  // an earlier read-out
    QCOMPARE(testing(h.core).lsmemmul(), qint16(3));
    for (int tick = 0; tick < 25; ++tick)
        testing(h.core).Timer4_Timer();  // a count left over after it
    QCOMPARE(testing(h.core).blockRetryTicks(), qint16(25));
    h.dialogs.messages.clear();
    Form2 *d = openDialog(h);
    d->Command1_Click();
    QCOMPARE(h.ProgressBar1->value(), 0);
    QCOMPARE(h.RichTextBox1->Text(), QString());
    QCOMPARE(testing(h.core).lsmemmul(), qint16(1));
    QCOMPARE(testing(h.core).blockRetryTicks(), qint16(0));
    // So the watchdog waits its full 31 seconds before asking again.
    h.takeWrites();
    for (int tick = 0; tick < 30; ++tick)
        testing(h.core).Timer4_Timer();
    QVERIFY(h.takeWrites().isEmpty());
    testing(h.core).Timer4_Timer();
    QCOMPARE(h.takeWrites().size(), 1);
    QVERIFY(h.dialogs.messages.isEmpty());
}

void ReadRangeDialogTest::emptyRangeDoesNotLock_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<int>("savesumHundreds");
    QTest::addColumn<int>("memnum");

    QTest::newRow("start beyond the stored groups") << false << "200"
                                                    << "300" << 1 << -99;
    QTest::newRow("all of none") << true << "1"
                                 << "100" << 0 << 0;
    QTest::newRow("below group 0") << false << "-9"
                                   << "-2" << 25 << 0;
}

void ReadRangeDialogTest::emptyRangeDoesNotLock()
{
    QFETCH(bool, all);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(int, savesumHundreds);
    QFETCH(int, memnum);

    Form1Harness h;
    Form1 &f = *h.form;
    QPointer<Form2> d = openDialog(h, 0, quint8(savesumHundreds), 0);
    d->Text1->setText(text1);
    d->Text2->setText(text2);
    (all ? d->Option2 : d->Option1)->setChecked(true);
    h.RichTextBox1->setText(QStringLiteral("old table"));
    d->Command1_Click();

    QCOMPARE(h.core->memnum(), memnum);
    QVERIFY(h.takeWrites().isEmpty());
    QVERIFY(!testing(h.core).Timer4().isActive());
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
    QVERIFY(f.isEnabled());
    QVERIFY(h.Command2->isEnabled());
    QVERIFY(h.Toolbar1->isEnabled());
    QCOMPARE(h.RichTextBox1->Text(), record_table::headerText());
    QCOMPARE(h.dialogs.messages.size(), 1);
    QCOMPARE(h.dialogs.messages.first().title, QStringLiteral("Harlune"));
    QVERIFY(!h.dialogs.messages.first().text.isEmpty());
    QCOMPARE(h.dialogs.messages.first().icon, UiSeam::Icon::Information);
    flushDeletes();
    QVERIFY(d.isNull());
}

// An instrument reporting more groups than the store holds: the plan stops at
// the last slot, and every frame of the read-out stays inside it.
void ReadRangeDialogTest::framesStayInsideTheStore()
{
    Form1Harness h;
    Form2 *d = openDialog(h, 25, 0, 0);  // 250000 groups
    QCOMPARE(h.core->savesum(), 250000);
    d->Option2->setChecked(true);
    d->Command1_Click();
    QCOMPARE(testing(h.core).endsave(), 200000);
    QCOMPARE(h.core->memnum(), 200000);
    QCOMPARE(int(testing(h.core).memmul()), 200);
    QCOMPARE(int(testing(h.core).memrem()), 0);
    QCOMPARE(h.takeWrites(), QList<QByteArray>{blockFrame(1, 1000)});

    // A range typed below 0 and past the store starts at group 1, the
    // instrument's first.
    Form1Harness h2;
    Form2 *d2 = openDialog(h2, 25, 0, 0);
    d2->Text1->setText(QStringLiteral("-1e30"));
    d2->Text2->setText(QStringLiteral("1e30"));
    d2->Command1_Click();
    QCOMPARE(testing(h2.core).startsave(), 1);
    QCOMPARE(testing(h2.core).endsave(), 200000);
    QCOMPARE(h2.takeWrites(), QList<QByteArray>{blockFrame(1, 1000)});
}

void ReadRangeDialogTest::cancelChangesOnlyTheTimers()
{
    Form1Harness h;
    Form1 &f = *h.form;
    h.storeGroups(1, 2500, [](qint32) { return GroupRecord{}; });  // an earlier read-out
    h.dialogs.messages.clear();
    const QList<qint32> plan = {testing(h.core).startsave(), testing(h.core).endsave(),
                                h.core->lssavesum(),         h.core->memnum(),
                                testing(h.core).memmul(),    testing(h.core).memrem(),
                                testing(h.core).lsmemmul()};
    QCOMPARE(plan, (QList<qint32>{2001, 2500, 1, 2500, 2, 500, 3}));
    const QString table = h.RichTextBox1->Text();
    QPointer<Form2> d = openDialog(h);
    d->Text1->setText(QStringLiteral("5"));
    QTest::mouseClick(d->Command2, Qt::LeftButton);

    QVERIFY(f.isEnabled());
    QVERIFY(h.takeWrites().isEmpty());
    QCOMPARE((QList<qint32>{testing(h.core).startsave(), testing(h.core).endsave(),
                            h.core->lssavesum(), h.core->memnum(), testing(h.core).memmul(),
                            testing(h.core).memrem(), testing(h.core).lsmemmul()}),
             plan);
    QCOMPARE(h.ProgressBar1->value(), 100);
    QCOMPARE(h.RichTextBox1->Text(), table);
    // The search and the live poll, stopped by Read, run again.
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
    QVERIFY(!testing(h.core).Timer4().isActive());
    QVERIFY(h.dialogs.messages.isEmpty());
    flushDeletes();
    QVERIFY(d.isNull());
}

void ReadRangeDialogTest::closingByFrameOrEscapeActsAsCancel_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("window frame") << false;
    QTest::newRow("Escape key") << true;
}

void ReadRangeDialogTest::closingByFrameOrEscapeActsAsCancel()
{
    QFETCH(bool, escape);
    Form1Harness h;
    QPointer<Form2> d = openDialog(h);
    const qint32 startBefore = testing(h.core).startsave();
    if (escape)
        QTest::keyClick(d->Text1, Qt::Key_Escape);
    else
        QVERIFY(d->close());
    QVERIFY(h.form->isEnabled());
    QVERIFY(h.takeWrites().isEmpty());
    QCOMPARE(testing(h.core).startsave(), startBefore);
    QVERIFY(!testing(h.core).Timer4().isActive());
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
    flushDeletes();
    QVERIFY(d.isNull());
}

void ReadRangeDialogTest::everyShowingStartsFromDesignValues()
{
    Form1Harness h;
    QPointer<Form2> first = openDialog(h);
    first->Text1->setText(QStringLiteral("9"));
    first->Text2->setText(QStringLiteral("99"));
    first->Option2->setChecked(true);
    first->Command2_Click();
    flushDeletes();
    QVERIFY(first.isNull());

    Form2 *second = openDialog(h);
    QVERIFY(second);
    QVERIFY(!h.form->isEnabled());
    QCOMPARE(second->Text1->text(), QStringLiteral("1"));
    QCOMPARE(second->Text2->text(), QStringLiteral("100"));
    QVERIFY(second->Option1->isChecked());
    second->Command2_Click();
}

QTEST_MAIN(ReadRangeDialogTest)
#include "test_read_range_dialog.moc"
