// Live readings into the three value labels.
#include "support/form1_harness.h"

#include <QLabel>
#include <QtTest>

namespace {
QByteArray liveReply(std::initializer_list<int> channelBytes, quint8 byte15 = 0)
{
    QByteArray r = shortReply(0x33, byte15);
    r.replace(1, int(channelBytes.size()), bytes(channelBytes));
    return r;
}
} // namespace

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
        h.form->senddat(33);
        h.receive(reply);
        QCOMPARE((QStringList{h.form->Label2->text(), h.form->Label4->text(), h.form->Label5->text()}),
                 shown);
    }

    // The widest readings are shown whole, in a smaller font when needed; short
    // ones keep the design size.
    void wideReadingsFitTheirLabels()
    {
        Form1Harness h;
        h.form->senddat(33);
        h.receive(liveReply({255, 55, 0x41, 0, 5, 0x43, 0, 7, 0x00}));
        QLabel *wide = h.form->Label2;
        QCOMPARE(wide->text(), QStringLiteral("2555.5mA"));
        QVERIFY(QFontMetrics(wide->font()).horizontalAdvance(wide->text()) <= wide->width());
        QVERIFY(wide->font().bold());
        QCOMPARE(h.form->Label5->text(), QStringLiteral("7"));
        QCOMPARE(h.form->Label5->font().pointSize(), 42);
    }

    void secondsFlagFollowsEveryLiveReply()
    {
        Form1Harness h;
        h.form->senddat(33);
        h.receive(liveReply({0, 1, 0x40, 0, 2, 0x40, 0, 3, 0x40}, 0xFF));
        QCOMPARE(int(h.form->secFlag), 1);
        h.form->senddat(33);
        h.receive(liveReply({0, 1, 0x40, 0, 2, 0x40, 0, 3, 0x40}, 0x00));
        QCOMPARE(int(h.form->secFlag), 0);
    }
};

QTEST_MAIN(LiveTest)
#include "test_live.moc"
