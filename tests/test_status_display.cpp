// The status display (Timer1): texts, panels, window size and the pace of the search.
#include "gui/clock_text.h"
#include "gui/panel_status_bar.h"
#include "support/form1_harness.h"

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
        h.link();
        h.Label2->setText(QStringLiteral("12.34mA"));
        h.form->Timer1_Timer();
        h.form->Timer1_Timer();
        QCOMPARE(h.Text3->text(), QStringLiteral("通信成功"));
        QCOMPARE(h.Text4->text(), QString());
        QCOMPARE(h.Label2->text(), QStringLiteral("12.34mA"));

        for (int tick = 0; tick < 31; ++tick)
            testing(h.core).Timer2_Timer();  // silence: the link is lost
        h.form->Timer1_Timer();
        QCOMPARE(h.Text3->text(), QStringLiteral("通信失败"));
        QCOMPARE(h.Text4->text(), QStringLiteral("正在查找..."));
        for (QLabel *l : {h.Label2, h.Label4, h.Label5})
            QCOMPARE(l->text(), QStringLiteral("- -"));
        // Panel 1 follows Text3 one tick later.
        QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信成功"));
        h.form->Timer1_Timer();
        QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信失败"));
    }

    // What the user types while linked is where the search goes on from;
    // the status and the tooltip keep showing the port that is open.
    void whileLinkedTheOpenPortIsShown()
    {
        Form1Harness h({1, 8});
        h.link();
        h.Combo1->setEditText(QStringLiteral("7"));
        h.form->Timer1_Timer();
        QCOMPARE(h.Text1->text(), QStringLiteral("COM1"));
        QVERIFY(hoverTip(h.Text1).startsWith(QStringLiteral("COM1 = ")));
        QCOMPARE(h.Combo1->currentText(), QStringLiteral("7"));  // kept as typed
        for (int tick = 0; tick < 32; ++tick)
            testing(h.core).Timer2_Timer();  // silence, then the first search step
        h.form->Timer1_Timer();
        QCOMPARE(h.Text1->text(), QStringLiteral("COM8"));
        QCOMPARE(h.Combo1->currentText(), QStringLiteral("8"));
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
            QCOMPARE(h.StatusBar1->panelText(2), QStringLiteral("Harlune"));
            QCOMPARE(h.StatusBar1->panelText(3), clock_text::timeOfDay(before, QLocale::system()));
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
            shown << h.Text1->text() + QLatin1Char('/') + h.Text2->text();
        }
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("COM2/串口关闭"), QStringLiteral("COM3/串口打开"),
                              QStringLiteral("COM4/串口关闭")}));
        QCOMPARE(hoverTip(h.Text1),
                 QStringLiteral("COM4 = ") + h.deviceOf(4) + QStringLiteral("：设备不存在"));
    }

    void searchPaceFollowsTheLink()
    {
        CoreHarness h({1}, false);
        QCOMPARE(testing(h.core).Timer2().interval(), 100);  // the design's
        h.core->load();
        QCOMPARE(testing(h.core).Timer2().interval(), 20);  // searching
        h.link();
        QCOMPARE(testing(h.core).Timer2().interval(), 70);  // linked
        for (int tick = 0; tick < 31; ++tick)
            testing(h.core).Timer2_Timer();
        QCOMPARE(testing(h.core).Timer2().interval(), 20);  // lost: searching again
    }

    void buttonsBackAndProgressBarOff()
    {
        Form1Harness h;
        for (QPushButton *b : {h.Command2, h.Command3, h.Command4})
            b->setEnabled(false);
        h.ProgressBar1->setEnabled(true);
        h.form->Timer1_Timer();
        for (QPushButton *b : {h.Command2, h.Command3, h.Command4})
            QVERIFY(b->isEnabled());
        QVERIFY(!h.ProgressBar1->isEnabled());
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

    // Assigning an interval restarts a timer; nothing that happens often may
    // do it, or the search timer would never fire: not the display's ticks,
    // not the answers that keep the link, not the silent ticks of a lost one.
    // Between them the search timer's countdown keeps falling.
    void nothingRestartsTheSearchCountdown_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("linked") << true;
        QTest::newRow("searching") << false;
    }
    void nothingRestartsTheSearchCountdown()
    {
        QFETCH(bool, linked);
        QTemporaryDir ports;
        qputenv("HARLUNE_PORT_DIR", ports.path().toLocal8Bit());
        auto fake = std::make_unique<FakeSerialIo>();
        FakeSerialIo *io = fake.get();
        io->presentDevices << ports.filePath(QStringLiteral("COM1"));
        Instrument core(std::move(fake));  // real timing
        RecordingUi dialogs;
        Form1 form(&core, &dialogs);
        form.Form_Load();
        testing(core).senddat(11);
        if (linked)
            io->inject(CoreHarness::probeReply());
        else
            for (int tick = 0; tick < 31; ++tick)
                testing(core).Timer2_Timer();  // silence beyond the threshold, on every tick
        for (int tick = 0; tick < 3; ++tick) {
            // Long enough for a restarted countdown to stand above the running one.
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < kBetweenTicksMs)
                QThread::msleep(kBetweenTicksMs);
            const int before = testing(core).Timer2().remainingTime();
            form.Timer1_Timer();
            if (linked) {
                testing(core).senddat(33);
                io->inject(shortReply(0x33));
            } else {
                testing(core).Timer2_Timer();
            }
            const int after = testing(core).Timer2().remainingTime();
            QVERIFY2(before >= 0 && after <= before,
                     qPrintable(QStringLiteral("tick %1: %2 ms left before, %3 after")
                                    .arg(tick)
                                    .arg(before)
                                    .arg(after)));
        }
        form.close();
        qunsetenv("HARLUNE_PORT_DIR");
    }
};

QTEST_MAIN(StatusDisplayTest)
#include "test_status_display.moc"
