// The status display (Timer1): texts, panels, window size and the pace of the search.
#include "support/form1_harness.h"
#include "window/panel_status_bar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QtTest>

class StatusDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void linkLossShowsWithinOneTick()
    {
        Form1Harness h;
        h.form->commOk = 1;
        h.form->Label2->setText(QStringLiteral("12.34mA"));
        h.form->Timer1_Timer();
        h.form->Timer1_Timer();
        QCOMPARE(h.form->Text3->text(), QStringLiteral("通信成功"));
        QCOMPARE(h.form->Text4->text(), QString());
        QCOMPARE(h.form->Label2->text(), QStringLiteral("12.34mA"));

        h.form->commOk = 0;
        h.form->Timer1_Timer();
        QCOMPARE(h.form->Text3->text(), QStringLiteral("通信失败"));
        QCOMPARE(h.form->Text4->text(), QStringLiteral("正在查找..."));
        for (QLabel *l : {h.form->Label2, h.form->Label4, h.form->Label5})
            QCOMPARE(l->text(), QStringLiteral("- -"));
        // Panel 1 follows Text3 one tick later.
        QCOMPARE(h.form->StatusBar1->panelText(1), QStringLiteral("通信成功"));
        h.form->Timer1_Timer();
        QCOMPARE(h.form->StatusBar1->panelText(1), QStringLiteral("通信失败"));
    }

    void panelsTwoAndThree()
    {
        Form1Harness h;
        h.form->Timer1_Timer();
        QCOMPARE(h.form->StatusBar1->panelText(2), QStringLiteral("Harlune"));
        const QString clock = h.form->StatusBar1->panelText(3);
        QVERIFY(clock.contains(QString::number(QTime::currentTime().minute())) || QTime::currentTime().second() == 0);
        QVERIFY(!clock.isEmpty());
    }

    void portNumberFollowsTheSearch()
    {
        Form1Harness h({1, 3});
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            h.form->Timer2_Timer();
            h.form->Timer1_Timer();
            shown << h.form->Text1->text() + QLatin1Char('/') + h.form->Text2->text();
        }
        QCOMPARE(shown, (QStringList{QStringLiteral("COM2/串口关闭"), QStringLiteral("COM3/串口打开"),
                                     QStringLiteral("COM4/串口关闭")}));
        QCOMPARE(h.form->Text1->toolTip(),
                 QStringLiteral("COM4 = ") + h.deviceOf(4) + QStringLiteral("：设备不存在"));
    }

    void searchPaceFollowsTheLink()
    {
        Form1Harness h;
        QCOMPARE(h.form->Timer2->interval(), 100);
        h.form->Timer1_Timer();
        QCOMPARE(h.form->Timer2->interval(), 20);
        h.form->commOk = 1;
        h.form->Timer1_Timer();
        QCOMPARE(h.form->Timer2->interval(), 70);
    }

    void buttonsBackAndProgressBarOff()
    {
        Form1Harness h;
        for (QPushButton *b : {h.form->Command2, h.form->Command3, h.form->Command4})
            b->setEnabled(false);
        h.form->ProgressBar1->setEnabled(true);
        h.form->Timer1_Timer();
        for (QPushButton *b : {h.form->Command2, h.form->Command3, h.form->Command4})
            QVERIFY(b->isEnabled());
        QVERIFY(!h.form->ProgressBar1->isEnabled());
    }

    void windowKeepsItsSizeOnlyWhenNormal()
    {
        Form1Harness h;
        h.form->show();
        h.form->Timer1_Timer();
        const QSize design = h.form->size();  // as far as the screen lets it be the design size
        h.form->resize(design + QSize(200, 100));
        h.form->Timer1_Timer();
        QCOMPARE(h.form->size(), design);
        h.form->setWindowState(Qt::WindowMaximized);
        const Qt::WindowStates before = h.form->windowState();
        h.form->Timer1_Timer();
        QCOMPARE(h.form->windowState(), before);
    }

    // Assigning an interval restarts a QTimer; the display must not do it on
    // every tick, or the search timer, restarted every 70 ms, would never fire.
    void searchTimerTicksAtItsPaceWhileTheDisplayRuns()
    {
        Form1Harness h;
        h.form->commOk = 1;
        int ticks = 0;
        connect(h.form->Timer2, &QTimer::timeout, h.form.get(), [&] {
            ++ticks;
            h.form->silentTicks = 0;  // stay linked for the whole second
        });
        h.form->Timer1->start();
        h.form->Timer2->start();
        QTest::qWait(1000);
        h.stopTimers();
        QVERIFY2(ticks >= 8 && ticks <= 16, qPrintable(QString::number(ticks)));
    }
};

QTEST_MAIN(StatusDisplayTest)
#include "test_status_display.moc"
