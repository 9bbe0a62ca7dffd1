// End to end: Harlune finds the simulated instrument, shows its live readings,
// notices when it goes quiet and finds it again.
#include "support/sim_window.h"

#include "support/wait.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>

#include <QtTest>

class EndToEndLiveTest : public QObject {
    Q_OBJECT
private slots:
    void findsShowsLosesAndFindsAgain()
    {
        SimWindow w;
        QVERIFY2(w.instrument->isLinked(), qPrintable(w.instrument->errorString()));

        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信成功"); }, 5000));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("3"));
        const QStringList opened = w.io->openAttempts;
        QVERIFY(opened.indexOf(w.deviceOf(2)) >= 0);
        QVERIFY(opened.indexOf(w.deviceOf(2)) < opened.indexOf(w.deviceOf(3)));
        QCOMPARE(w.Text2->text(), QStringLiteral("串口打开"));

        // The first live reply: 12.34 mA, overload, 0.005 mA.
        QVERIFY(waitUntil([&] { return w.Label2->text() == QStringLiteral("12.34mA"); }, 3000));
        QCOMPARE(w.Label4->text(), QStringLiteral("OL"));
        QCOMPARE(w.Label5->text(), QStringLiteral("0.005mA"));
        // ... and the readings change with the next polls.
        QVERIFY(waitUntil([&] { return w.Label2->text() != QStringLiteral("12.34mA"); }, 3000));

        // Quiet: lost within about 2.2 s plus a display tick.
        w.instrument->setSilent(true);
        QElapsedTimer quiet;
        quiet.start();
        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信失败"); }, 5000));
        const qint64 noticedAfterMs = quiet.elapsed();
        QVERIFY2(noticedAfterMs >= 1500 && noticedAfterMs <= 3500,
                 qPrintable(QString::number(noticedAfterMs)));
        for (QLabel *l : {w.Label2, w.Label4, w.Label5})
            QCOMPARE(l->text(), QStringLiteral("- -"));
        QCOMPARE(w.Text4->text(), QStringLiteral("正在查找..."));
        QVERIFY(waitUntil([&] { return w.Combo1->currentText() != QStringLiteral("3"); }, 1000));

        // Back: linked again.
        w.instrument->setSilent(false);
        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信成功"); }, 10000));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("3"));
        QVERIFY(waitUntil([&] { return w.Label2->text() != QStringLiteral("- -"); }, 3000));
    }

    void findsTheInstrumentAfterItsTerminalCameBack()
    {
        SimWindow w;
        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信成功"); }, 5000));
        w.instrument->closeFor(1000);  // unplugged, then plugged in again
        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信失败"); }, 5000));
        QVERIFY(waitUntil([&] { return w.instrument->isLinked(); }, 3000));
        QVERIFY(waitUntil([&] { return w.Text3->text() == QStringLiteral("通信成功"); }, 10000));
        QVERIFY(waitUntil([&] { return w.Label2->text() != QStringLiteral("- -"); }, 3000));
    }
};

QTEST_MAIN(EndToEndLiveTest)
#include "test_e2e_live.moc"
