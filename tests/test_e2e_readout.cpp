// End to end: a read-out of the simulated instrument's memory through a
// pseudo-terminal, the record table it leaves, Clear data, and the watchdog.
#include "dialog/form2.h"
#include "platform/rich_text_box.h"
#include "sim/generator.h"
#include "support/form1_harness.h"
#include "support/sim_window.h"

#include "support/wait.h"
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>

#include <QtTest>

namespace {

const QString kBanner = QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune");
const QString kHeader = QStringLiteral("   组数  一路电流 二路电流 三路电流       时间             "
                                       "  组数   一路电流 二路电流 三路电流      时间           ");

// What a reading must show, worked out with whole numbers only.
QString expectedReading(const sim::Reading &r)
{
    const int v = r.value();
    if (v == sim::kOverloadValue)
        return QStringLiteral("    OL");
    if (v == sim::kErrorValue)
        return QStringLiteral("err");
    QString unit;
    switch (r.status & 0xF0) {
    case 0x40: unit = QStringLiteral("mA"); break;
    case 0x30: unit = QStringLiteral("A"); break;
    case 0x20: unit = QStringLiteral("kA"); break;
    default: break;
    }
    const int d = r.status & 0x0F;
    if (d < 1 || d > 3)
        return QString::number(v) + unit;
    const int divisor = d == 1 ? 10 : d == 2 ? 100 : 1000;
    QString frac = QStringLiteral("%1").arg(v % divisor, d, 10, QLatin1Char('0'));
    if (v % divisor != 0) {
        while (frac.endsWith(QLatin1Char('0')))
            frac.chop(1);
    }
    return QString::number(v / divisor) + QLatin1Char('.') + frac + unit;
}

QString twoDigits(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }

QString expectedRecordText(qint32 g, bool seconds)
{
    const sim::Record rec = sim::groupRecord(g);
    QString s = QStringLiteral("NO.%1").arg(g, 6, 10, QLatin1Char('0'));
    for (int c = 0; c < sim::kChannels; ++c) {
        const QString r = expectedReading(sim::recordReading(rec, c));
        s += (r.size() < 8 ? QString(8 - r.size(), QLatin1Char(' ')) : QStringLiteral(" ")) + r;
    }
    s += QStringLiteral("  20") + twoDigits(rec[sim::kRecordYear]) + QLatin1Char('/')
         + twoDigits(rec[sim::kRecordMonth]) + QLatin1Char('/') + twoDigits(rec[sim::kRecordDay])
         + QLatin1Char('/') + twoDigits(rec[sim::kRecordHour]) + QLatin1Char(':')
         + twoDigits(rec[sim::kRecordMinute]);
    if (seconds)
        s += QLatin1Char(':') + twoDigits(rec[sim::kRecordSecond]);
    return s;
}

bool present(qint32 g)
{
    return sim::recordReading(sim::groupRecord(g), 0).value() != sim::kErrorValue;
}

QStringList expectedTable(qint32 first, qint32 last, bool seconds)
{
    QStringList lines{kBanner, kHeader};
    for (qint32 g = first; g <= last; g += 2) {
        const QString left = present(g) ? expectedRecordText(g, seconds) : QString();
        const bool rightPresent = g < last && present(g + 1);
        const QString right = rightPresent ? expectedRecordText(g + 1, seconds) : QString();
        if (!left.isEmpty() || rightPresent)
            lines << left + QStringLiteral("     ") + right;
    }
    return lines;
}

QStringList viewLines(Form1 &f)
{
    QString text = f.RichTextBox1->Text();
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {QStringLiteral("<view text does not end with CR LF>")};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

void expectSlotsMatchTheInstrument(Form1 &f, qint32 first, qint32 last)
{
    const QString mismatch = storeMismatch(f, first, last);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

// Read, then choose the range in the dialog and press OK.
void readRange(SimWindow &w, const QString &from, const QString &to)
{
    QString why;
    QVERIFY2(w.readRange(from, to, &why), qPrintable(why));
    QVERIFY(w.form->isEnabled());
}

}  // namespace

class EndToEndReadOutTest : public QObject {
    Q_OBJECT
private slots:
    void readsTwoThousandFiveHundredGroups()
    {
        SimWindow w;
        readRange(w, QStringLiteral("1"), QStringLiteral("2500"));
        QVERIFY(waitUntil([&] { return w.dialogs.messages.size() == 1; }, 20000));

        QCOMPARE(w.blockFrames(),
                 (QList<QByteArray>{bytes({0xAA, 0x00, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x55}),
                                    bytes({0xAA, 0x00, 0x0A, 0x01, 0x00, 0x14, 0x00, 0x55}),
                                    bytes({0xAA, 0x00, 0x14, 0x01, 0x00, 0x19, 0x00, 0x55})}));
        expectSlotsMatchTheInstrument(*w.form, 1, 2500);
        QCOMPARE(w.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(w.dialogs.messages[0].text,
                 QStringLiteral(
                     "数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。"
                     "文件过大时，保存时间较长，请耐心等待。"));

        QVERIFY(w.form->isEnabled());
        for (QPushButton *b : {w.form->Command2, w.form->Command3, w.form->Command4})
            QVERIFY(b->isEnabled());
        QVERIFY(w.form->Toolbar1->isEnabled());
        for (QTimer *t : {w.form->Timer1, w.form->Timer2, w.form->Timer3})
            QVERIFY(t->isActive());
        QVERIFY(!w.form->Timer4->isActive());

        QCOMPARE(int(w.form->secFlag), 1);  // the simulator stamps seconds
        QCOMPARE(viewLines(*w.form), expectedTable(2001, 2500, true));

        w.form->Command4_Click();
        QCOMPARE(w.form->RichTextBox1->Text(),
                 kBanner + QStringLiteral("\r\n") + kHeader + QStringLiteral("\r\n"));
    }

    void tableWithoutSeconds()
    {
        sim::SimOptions options;
        options.instrument.secondsFlag = false;
        SimWindow w(options);
        readRange(w, QStringLiteral("57"), QStringLiteral("99"));
        QVERIFY(waitUntil([&] { return w.dialogs.messages.size() == 1; }, 10000));
        QCOMPARE(viewLines(*w.form), expectedTable(57, 99, false));
    }

    // The instrument stays silent on the second block request: the watchdog asks
    // again on its 31st tick. The answer is stored; since the first request
    // might still be answered late, the third block is asked for only after a
    // whole watchdog period of quiet line. The read-out completes with correct data.
    void watchdogResendsTheUnansweredBlock()
    {
        sim::SimOptions options;
        options.instrument.faults.silentOn = 2;
        SimWindow w(options);
        readRange(w, QStringLiteral("1"), QStringLiteral("2500"));
        w.form->Timer4->stop();  // the test gives the watchdog's ticks itself
        QVERIFY(waitUntil([&] { return w.blockFrames().size() == 2; }, 5000));
        waitUntil([] { return false; }, 300);
        for (int i = 0; i < 30; ++i)
            w.form->Timer4_Timer();
        waitUntil([] { return false; }, 300);
        QCOMPARE(w.blockFrames().size(), 2);
        QVERIFY(w.dialogs.messages.isEmpty());
        w.form->Timer4_Timer();
        QCOMPARE(w.blockFrames().size(), 3);
        QCOMPARE(w.blockFrames()[2], w.blockFrames()[1]);
        QVERIFY(
            waitUntil([&] { return w.form->readPhase == Form1::ReadPhase::AwaitingLate; }, 5000));
        for (int i = 0; i < 30; ++i)
            w.form->Timer4_Timer();
        QCOMPARE(w.blockFrames().size(), 3);
        w.form->Timer4_Timer();
        QVERIFY(waitUntil([&] { return w.dialogs.messages.size() == 1; }, 10000));
        QCOMPARE(w.blockFrames().size(), 4);
        expectSlotsMatchTheInstrument(*w.form, 1, 2500);
    }
};

QTEST_MAIN(EndToEndReadOutTest)
#include "test_e2e_readout.moc"
