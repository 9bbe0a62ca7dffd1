// The status display (Timer1): texts, panels, window size and the pace of the search.
#include "support/form1_harness.h"
#include "window/clock_text.h"
#include "window/panel_status_bar.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QtTest>

namespace {
constexpr int kClockAttempts = 10;
// A restarted countdown starts again from the full interval, at 20 ms less
// about 5 % of coarse timing: after this long, a running one is surely below it.
constexpr int kBetweenTicksMs = 8;
}  // namespace

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
        // The clock shows the time of the tick, to the second: a tick that
        // begins and ends within one second must show that second.
        for (int attempt = 0; attempt < kClockAttempts; ++attempt) {
            const QTime before = QTime::currentTime();
            h.form->Timer1_Timer();
            const QTime after = QTime::currentTime();
            if (before.second() != after.second())
                continue;  // the tick straddled a second; try again
            QCOMPARE(h.form->StatusBar1->panelText(2), QStringLiteral("Harlune"));
            QCOMPARE(h.form->StatusBar1->panelText(3),
                     clock_text::timeOfDay(before, QLocale::system()));
            return;
        }
        QFAIL("no tick stayed within one second");
    }

    // The locale's long time format, without the time zone.
    void clockTextHasNoTimeZone()
    {
        QCOMPARE(clock_text::timeOfDay(QTime(9, 5, 7), QLocale::c()), QStringLiteral("09:05:07"));
        QCOMPARE(clock_text::timeOfDay(QTime(23, 59, 59), QLocale::c()),
                 QStringLiteral("23:59:59"));
    }

    void portNumberFollowsTheSearch()
    {
        Form1Harness h({1, 3});
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            h.searchStep();
            h.form->Timer1_Timer();
            shown << h.form->Text1->text() + QLatin1Char('/') + h.form->Text2->text();
        }
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("COM2/串口关闭"), QStringLiteral("COM3/串口打开"),
                              QStringLiteral("COM4/串口关闭")}));
        QCOMPARE(hoverTip(h.form->Text1),
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
    // Between two display ticks the search timer's countdown keeps falling.
    void displayTicksLeaveTheSearchCountdownAlone_data()
    {
        QTest::addColumn<int>("commOk");
        QTest::newRow("linked") << 1;
        QTest::newRow("searching") << 0;
    }
    void displayTicksLeaveTheSearchCountdownAlone()
    {
        QFETCH(int, commOk);
        Form1Harness h;
        h.form->commOk = qint16(commOk);
        h.form->Timer1_Timer();  // sets the pace
        h.form->Timer2->start();
        for (int tick = 0; tick < 2; ++tick) {
            // Long enough for a restarted countdown to stand above the running one.
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < kBetweenTicksMs)
                QThread::msleep(kBetweenTicksMs);
            const int before = h.form->Timer2->remainingTime();
            h.form->Timer1_Timer();
            const int after = h.form->Timer2->remainingTime();
            QVERIFY2(after <= before,
                     qPrintable(QStringLiteral("tick %1: %2 ms left before, %3 after")
                                    .arg(tick)
                                    .arg(before)
                                    .arg(after)));
        }
    }
};

QTEST_MAIN(StatusDisplayTest)
#include "test_status_display.moc"
