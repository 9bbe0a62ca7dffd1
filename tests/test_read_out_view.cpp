// What the window shows of a read-out and of the link: the commands locked
// while it runs, the progress, the completion message, a read-out that ends
// early, the link state at once while the status display stands still, port
// problems, and Exit.
#include "gui/form2.h"
#include "gui/panel_status_bar.h"
#include "gui/plots/channel_plot.h"
#include "gui/plots/live_trend_window.h"
#include "gui/plots/stored_chart_window.h"
#include "support/form1_harness.h"
#include "support/read_out.h"

#include <QApplication>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const QString kCompletionText =
    QStringLiteral("数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。"
                   "文件过大时，保存时间较长，请耐心等待。");

// Read, Save and Clear data on or off wherever they are; Exit always on.
QString commandsState(const Form1Harness &h)
{
    QString state;
    for (const bool on : {h.Command2->isEnabled(), h.Command3->isEnabled(), h.Command4->isEnabled(),
                          h.Toolbar1->isEnabled(), h.mnuSave->isEnabled(), h.mnuRead->isEnabled(),
                          h.mnuClear->isEnabled()})
        state += on ? QLatin1Char('+') : QLatin1Char('-');
    if (!h.Command5->isEnabled() || !h.mnuExit->isEnabled())
        state += QStringLiteral(" and Exit off");
    return state;
}
const QString kCommandsOn = QStringLiteral("+++++++");

// The points of a plot's first line that are not gaps.
int drawnPoints(PlotWindow *window)
{
    int n = 0;
    const auto data = window->plot()->channel(0)->data();
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        n += std::isnan(it->value) ? 0 : 1;
    return n;
}

QByteArray liveReply()
{
    return bytes({0xAA, 12, 34, 0x42, 0, 1, 0x40, 0, 2, 0x40}) + QByteArray(9, '\0')
           + bytes({0x33});
}
const QString kCommandsOff = QStringLiteral("-------");

}  // namespace

class ReadOutViewTest : public QObject {
    Q_OBJECT
private slots:
    // From the first block request to the completion message the commands are
    // off (Exit stays) and the status display stands still; the progress bar
    // shows 100 % under the message, and everything is back after it.
    void aReadOutLocksTheCommandsUntilItsMessageIsRead()
    {
        Form1Harness h;
        h.Timer1->start();
        startReadOut(h, 1, 250);
        QCOMPARE(commandsState(h), kCommandsOff);
        QVERIFY(!h.Timer1->isActive());
        h.mnuClear->trigger();  // off: it does not restart the search under the read-out
        QVERIFY(!testing(h.core).Timer3().isActive());

        QString underTheMessage;
        h.dialogs.whileMessageOpen = [&] {
            underTheMessage = QStringLiteral("%1 %2 %3")
                                  .arg(commandsState(h))
                                  .arg(h.ProgressBar1->isHidden() ? -1 : h.ProgressBar1->value())
                                  .arg(h.Timer1->isActive());
        };
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(underTheMessage, QStringLiteral("------- 100 0"));  // the bar shown at 100
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].text, kCompletionText);
        QCOMPARE(commandsState(h), kCommandsOn);
        QVERIFY(h.Timer1->isActive());
    }

    // A read-out that ends early says why in one warning, with the link's
    // state already shown under it, and the window works again.
    void anEndedReadOutIsToldAndTheWindowWorksAgain_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::addColumn<QString>("portState");
        QTest::newRow("unplugged") << true << QStringLiteral("串口关闭");
        QTest::newRow("silent") << false << QStringLiteral("串口打开");
    }
    void anEndedReadOutIsToldAndTheWindowWorksAgain()
    {
        QFETCH(bool, unplugged);
        QFETCH(QString, portState);
        Form1Harness h;
        h.link();
        h.form->Timer1_Timer();
        h.Label2->setText(QStringLiteral("1.23mA"));
        startReadOut(h, 1, 2500);
        QString underTheMessage;
        h.dialogs.whileMessageOpen = [&] {
            underTheMessage = h.Text2->text() + QLatin1Char('/') + h.Text3->text();
        };
        if (unplugged) {
            h.io->fail(SerialIo::Failure::Unplugged);
        } else {
            for (int second = 1; second <= 31; ++second)
                testing(h.core).Timer4_Timer();
            // The link is shown lost at once, though the status display stands still.
            QCOMPARE(h.Text3->text(), QStringLiteral("通信失败"));
            QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信失败"));
            QCOMPARE(h.Label2->text(), QStringLiteral("- -"));
            for (int second = 32; second <= 4 * 31; ++second)
                testing(h.core).Timer4_Timer();
        }
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].icon, UiSeam::Icon::Warning);
        QCOMPARE(h.dialogs.messages[0].text, h.interruptions.value(0));
        QCOMPARE(underTheMessage, portState + QStringLiteral("/通信失败"));
        QCOMPARE(commandsState(h), kCommandsOn);
        QVERIFY(h.Timer1->isActive());
    }

    // After Read and Cancel, an instrument that goes away is shown gone.
    void cancelThenUnplugShowsTheTruth()
    {
        Form1Harness h;
        h.link();
        h.form->Command2_Click();
        h.receive(shortReply(0x22, 0, 25, 0));
        QVERIFY(h.form2() && h.form2()->isVisible());
        QVERIFY(!h.form->isEnabled());
        h.form2()->Command2_Click();
        QVERIFY(h.form->isEnabled());
        h.io->fail(SerialIo::Failure::Unplugged);
        h.form->Timer1_Timer();
        QCOMPARE((QStringList{h.Text2->text(), h.Text3->text(), h.Text4->text()}),
                 (QStringList{"串口关闭", "通信失败", "正在查找..."}));
    }

    // A device the user may not open, or one in use, is named in the status
    // bar and the port's tooltip while nothing is linked.
    void portProblemsInTheStatusBarAndTooltip()
    {
        Form1Harness h({});
        h.io->forbiddenDevices << h.deviceOf(2);
        h.searchStep();
        h.form->Timer1_Timer();
        const QString problem = QStringLiteral("COM2 = ") + h.deviceOf(2)
                                + QStringLiteral("：无权限访问（请把用户加入 dialout 组）");
        QCOMPARE(h.StatusBar1->panelText(1), problem);
        QCOMPARE(hoverTip(h.Text1), problem);
        QCOMPARE(hoverTip(h.Combo1), problem);
        // Allowed now: no longer a problem.
        h.io->forbiddenDevices.clear();
        h.io->presentDevices << h.deviceOf(2);
        do
            h.searchStep();
        while (h.core->port() != 2);
        h.form->Timer1_Timer();
        QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信失败"));
    }

    // "视图" opens each plot window once, raised on a second click, and from
    // then on the window follows the instrument: the chart a read-out block
    // by block and Clear data, the trend every live reading and a link loss.
    void theViewMenuOpensWindowsThatFollow()
    {
        Form1Harness h;
        h.form->show();
        QAction *chartItem = h.form->findChild<QAction *>(QStringLiteral("mnuChart"));
        QAction *trendItem = h.form->findChild<QAction *>(QStringLiteral("mnuTrend"));
        chartItem->trigger();
        chartItem->trigger();
        const auto charts = QApplication::topLevelWidgets();
        auto *chart = qobject_cast<StoredChartWindow *>(
            *std::find_if(charts.begin(), charts.end(), [](QWidget *w) {
                return qobject_cast<StoredChartWindow *>(w) != nullptr;
            }));
        QVERIFY(chart && chart->isVisible());
        QCOMPARE(chart->windowTitle(), QStringLiteral("曲线图 - Harlune"));
        QCOMPARE(drawnPoints(chart), 0);

        startReadOut(h, 1, 1500);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const int afterOneBlock = drawnPoints(chart);
        QVERIFY(afterOneBlock > 900 && afterOneBlock <= 1000);  // channel 1's readings with a unit
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QVERIFY(drawnPoints(chart) > afterOneBlock);
        h.form->Command4_Click();
        QCOMPARE(drawnPoints(chart), 0);

        trendItem->trigger();
        const auto windows = QApplication::topLevelWidgets();
        auto *trend = qobject_cast<LiveTrendWindow *>(
            *std::find_if(windows.begin(), windows.end(), [](QWidget *w) {
                return qobject_cast<LiveTrendWindow *>(w) != nullptr;
            }));
        QVERIFY(trend && trend->isVisible());
        h.link();
        testing(h.core).senddat(33);
        h.receive(liveReply());
        QCOMPARE(drawnPoints(trend), 1);
        QCOMPARE(h.core->liveHistory().size(), 1);
        for (int tick = 0; tick < 31; ++tick)
            testing(h.core).Timer2_Timer();  // silence: the link is lost
        QVERIFY(h.core->liveHistory().at(h.core->liveHistory().size() - 1).gap);
    }

    // Exit closes the window, which ends the instrument's work and closes the port.
    void exitClosesThePortAndTheWindow()
    {
        Form1Harness h;
        h.form->endProgram = h.programsOwnEnd;
        h.form->show();
        h.Timer1->start();
        QVERIFY(h.core->serial().PortOpen());
        h.form->Command5_Click();
        QVERIFY(!h.form->isVisible());
        QVERIFY(!h.core->serial().PortOpen());
        QVERIFY(!h.Timer1->isActive());
        for (LinkTimer *t :
             {&testing(h.core).Timer2(), &testing(h.core).Timer3(), &testing(h.core).Timer4()})
            QVERIFY(!t->isActive());
    }
};

QTEST_MAIN(ReadOutViewTest)
#include "test_read_out_view.moc"
