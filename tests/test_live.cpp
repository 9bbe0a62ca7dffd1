// Live readings into the three value labels.
#include "support/form1_harness.h"
#include "support/text_fit.h"

#include <QLabel>
#include <QtTest>

#include <algorithm>

namespace {
QByteArray liveReply(std::initializer_list<int> channelBytes, quint8 byte15 = 0)
{
    QByteArray r = shortReply(0x33, byte15);
    r.replace(1, int(channelBytes.size()), bytes(channelBytes));
    return r;
}
}  // namespace

class LiveTest : public QObject {
    Q_OBJECT
private slots:
    void labels_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("units, OL, decimals")
            << liveReply({0x0C, 0x22, 0x42, 0x64, 0x00, 0x31, 0x00, 0x05, 0x43})
            << QStringList{"12.34mA", "OL", "0.005mA"};
        QTest::newRow("OL whatever the status, err from the formatter")
            << liveReply({100, 0, 0xFF, 200, 0, 0x42, 0, 0, 0x41})
            << QStringList{"OL", "err", "0.0mA"};
        QTest::newRow("high byte above 99") << liveReply({150, 7, 0x20, 255, 55, 0x33, 1, 0, 0x12})
                                            << QStringList{"15007kA", "25.555A", "1.00"};
    }
    void labels()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, shown);
        Form1Harness h;
        testing(h.core).senddat(33);
        h.receive(reply);
        QCOMPARE((QStringList{h.Label2->text(), h.Label4->text(), h.Label5->text()}), shown);
    }

    // fmtText holds the last reading formatted: an overload is shown without the formatter.
    void formatterSlotKeepsTheLastFormattedReading()
    {
        Form1Harness h;
        testing(h.core).senddat(33);
        h.receive(liveReply({0x0C, 0x22, 0x42, 0x00, 0x05, 0x43, 0x64, 0x00, 0x31}));
        QCOMPARE(h.Label5->text(), QStringLiteral("OL"));
        QCOMPARE(testing(h.core).fmtText(), QStringLiteral("0.005mA"));
    }

    // The three values share one font whatever they show, "- -" of a lost link
    // included, so they keep their size from one reading to the next.
    void oneSizeForEveryValue()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        QLabel *const labels[] = {h.Label2, h.Label4, h.Label5};
        const QFont font = h.Label2->font();
        const auto allInFont = [&] {
            return std::all_of(std::begin(labels), std::end(labels),
                               [&](const QLabel *l) { return l->font() == font; });
        };
        QVERIFY(allInFont());
        testing(h.core).senddat(33);
        h.receive(liveReply({255, 255, 0x41, 100, 0, 0x42, 0, 7, 0x00}));
        QCOMPARE((QStringList{h.Label2->text(), h.Label4->text(), h.Label5->text()}),
                 (QStringList{"2575.5mA", "OL", "7"}));
        QVERIFY(allInFont());
        for (int tick = 0; tick < 31; ++tick)
            testing(h.core).Timer2_Timer();  // silence: the link is lost
        f.Timer1_Timer();
        QCOMPARE(h.Label5->text(), QStringLiteral("- -"));
        QVERIFY(allInFont());
    }

    // That font is the largest, up to the designed 42 pt, at which the widest
    // reading fits: half a point more and it would not.
    void theFontIsTheLargestThatFits()
    {
        Form1Harness h;
        QLabel *label = h.Label2;
        const QFont font = label->font();
        QVERIFY(font.bold());
        QVERIFY(font.pointSizeF() <= 42);
        QVERIFY2(text_fit::inLabel(label, QStringLiteral("2575.5mA")).isEmpty(),
                 qPrintable(text_fit::inLabel(label, QStringLiteral("2575.5mA"))));
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() + 0.5);
        QVERIFY(QFontMetricsF(larger).horizontalAdvance(QStringLiteral("2575.5mA"))
                > label->width());
    }

    // No reading the formatter gives is wider than the one the size is made for.
    void everyReadingFits()
    {
        Form1Harness h;
        const QFontMetricsF fm(h.Label2->font());
        for (int value : {25755, 19999, 12345, 10001, 9999, 1000, 0}) {
            for (int status = 0; status <= 255; ++status) {
                testing(h.core).fmtReading(QString::number(value), QString::number(status));
                QVERIFY2(fm.horizontalAdvance(testing(h.core).fmtText()) <= h.Label2->width(),
                         qPrintable(testing(h.core).fmtText()));
            }
        }
    }

    void secondsFlagFollowsEveryLiveReply()
    {
        Form1Harness h;
        testing(h.core).senddat(33);
        h.receive(liveReply({0, 1, 0x40, 0, 2, 0x40, 0, 3, 0x40}, 0xFF));
        QCOMPARE(int(h.core->secFlag()), 1);
        testing(h.core).senddat(33);
        h.receive(liveReply({0, 1, 0x40, 0, 2, 0x40, 0, 3, 0x40}, 0x00));
        QCOMPARE(int(h.core->secFlag()), 0);
    }
};

QTEST_MAIN(LiveTest)
#include "test_live.moc"
