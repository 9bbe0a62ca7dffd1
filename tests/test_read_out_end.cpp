// What happens when the instrument goes away, through the fake serial port:
// read-outs that end, a status that tells the truth under the busy lock, the
// commands locked with their buttons, port errors shown once, and Exit.
#include "dialog/form2.h"
#include "platform/rich_text_box.h"
#include "support/read_out.h"
#include "window/panel_status_bar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

using Phase = Form1::ReadPhase;

// A read-out of groups first..last with the first `blocks` blocks answered.
void readOutPart(Form1Harness &h, qint32 first, qint32 last, int blocks)
{
    h.form->Command4_Click();
    h.stopTimers();
    startReadOut(h, first, last);
    for (int b = 0; b < blocks; ++b)
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
    h.takeWrites();
}

void expectWindowBackAtWork(Form1Harness &h)
{
    Form1 &f = *h.form;
    QCOMPARE(f.readPhase, Phase::Idle);
    QVERIFY(!f.Timer4->isActive());
    for (QTimer *t : {f.Timer1, f.Timer2, f.Timer3})
        QVERIFY(t->isActive());
    for (QPushButton *b : {f.Command2, f.Command3, f.Command4})
        QVERIFY(b->isEnabled());
    for (QAction *a : {f.mnuSave, f.mnuRead, f.mnuClear})
        QVERIFY(a->isEnabled());
    QVERIFY(f.Toolbar1->isEnabled());
}

// Messages of the program's serial log, while a test runs.
QStringList *loggedLines = nullptr;
void recordLog(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (loggedLines && QLatin1String(context.category) == QLatin1String("harlune.serial"))
        loggedLines->append(message);
}

}  // namespace

class ReadOutEndTest : public QObject {
    Q_OBJECT
private slots:
    void unpluggedDuringAReadOut_data()
    {
        QTest::addColumn<bool>("hungUp");
        QTest::newRow("unplugged (resource error)") << false;
        QTest::newRow("hung up (read errors without end)") << true;
    }
    void unpluggedDuringAReadOut()
    {
        QFETCH(bool, hungUp);
        Form1Harness h;
        readOutPart(h, 1, 200000, 3);
        Form1 &f = *h.form;
        QVERIFY(!f.Command2->isEnabled());

        QString statusDuringMessage;
        h.dialogs.whileMessageOpen = [&] {
            statusDuringMessage = f.Text2->text() + QLatin1Char('/') + f.Text3->text();
        };
        if (hungUp) {
            for (int i = 0; i < 3; ++i)
                h.io->fail(SerialIo::Failure::ReadFailed);
        } else {
            h.io->fail(SerialIo::Failure::Unplugged);
        }
        QVERIFY(!h.comm->PortOpen());
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器已断开。已读取第 1 至 3000 组。"));
        QCOMPARE(statusDuringMessage, QStringLiteral("串口关闭/通信失败"));
        expectWindowBackAtWork(h);
        QCOMPARE(f.lssavesum, 1);
        QCOMPARE(f.memnum, 3000);
        QCOMPARE(f.ProgressBar1->value(), 2);  // 3000 of 200000
        const QString view = f.RichTextBox1->Text();
        QVERIFY(view.contains(QStringLiteral("NO.002001")));
        QVERIFY(view.contains(QStringLiteral("NO.003000")));
        QVERIFY(!view.contains(QStringLiteral("NO.002000")));
        QVERIFY(slotMismatch(f, 3000, sampleRecord(3000)).isEmpty());
        QCOMPARE(int(f.recordAt(3001).val[0]), int(record_store::kEmptyValue));
    }

    void aTransientReadErrorKeepsThePort()
    {
        Form1Harness h;
        readOutPart(h, 1, 2000, 0);
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.receive(QByteArray(10, '\0'));  // data between the errors: not a hung-up device
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.io->fail(SerialIo::Failure::ReadFailed);
        QVERIFY(h.comm->PortOpen());
        QCOMPARE(h.form->readPhase, Phase::Receiving);
        QVERIFY(h.dialogs.messages.isEmpty());
    }

    // The watchdog asks again every 31 s; after the third re-send goes
    // unanswered the read-out ends. The status turns to "communication
    // failed" with the first unanswered period, although the lock stops the
    // status display.
    void silenceEndsTheReadOutAfterThreeResends()
    {
        Form1Harness h;
        readOutPart(h, 1, 5000, 2);
        Form1 &f = *h.form;
        f.commOk = 1;
        f.showLinkState();
        f.Label2->setText(QStringLiteral("1.23mA"));
        int frames = 0;
        for (int second = 1; second <= 31 * 4; ++second) {
            f.Timer4_Timer();
            frames += h.takeWrites().size();
            if (second == 31) {
                QCOMPARE(f.Text3->text(), QStringLiteral("通信失败"));
                QCOMPARE(f.StatusBar1->panelText(1), QStringLiteral("通信失败"));
                QCOMPARE(f.Label2->text(), QStringLiteral("- -"));
            }
            if (second < 31 * 4)
                QVERIFY2(h.dialogs.messages.isEmpty(), qPrintable(QString::number(second)));
        }
        QCOMPARE(frames, 3);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器未应答。已读取第 1 至 2000 组。"));
        expectWindowBackAtWork(h);
        QCOMPARE(f.memnum, 2000);
    }

    void anAnswerResetsTheResendCount()
    {
        Form1Harness h;
        readOutPart(h, 1, 3000, 0);
        for (int block = 0; block < 3; ++block) {
            h.form->Timer4_Timer();
            for (int i = 0; i < 31 * 3; ++i)
                h.form->Timer4_Timer();  // three unanswered re-sends ...
            const QByteArray frame = h.takeWrites().last();
            h.receiveBlock(blockReplyFor(frame, sampleRecord));  // ... then an answer
            for (int i = 0; i < 31; ++i)
                h.form->Timer4_Timer();  // the quiet period after a re-sent block
        }
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("数据读取完毕")));
    }

    // OK pressed after the instrument went away: no request can go out, and
    // the read-out ends with the watchdog's first tick.
    void okWithThePortGone()
    {
        Form1Harness h;
        h.form->Command2_Click();
        h.receive(shortReply(0x22, 0, 25, 0));
        QVERIFY(h.form->form2);
        h.io->fail(SerialIo::Failure::Unplugged);
        QCOMPARE(h.form->Text3->text(), QStringLiteral("通信失败"));
        h.takeWrites();
        h.form->form2->Command1_Click();
        QVERIFY(h.takeWrites().isEmpty());
        h.form->Timer4_Timer();
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器已断开。没有读到任何数据组。"));
        QCOMPARE(h.form->memnum, 0);
        expectWindowBackAtWork(h);
    }

    void menusAreLockedWithTheirButtons()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        startReadOut(h, 1, 2000);
        for (QAction *a : {f.mnuSave, f.mnuRead, f.mnuClear})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        QVERIFY(f.mnuExit->isEnabled());
        QVERIFY(f.Command5->isEnabled());
        // "数据清除" from the menu cannot derail the block in flight.
        f.mnuClear->trigger();
        QVERIFY(!f.Timer3->isActive());
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        expectWindowBackAtWork(h);
    }

    void cancelThenUnplugShowsTheTruth()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.commOk = 1;
        f.Command2_Click();
        h.receive(shortReply(0x22, 0, 25, 0));
        f.form2->Command2_Click();
        QVERIFY(f.Timer2->isActive() && f.Timer3->isActive());
        h.io->fail(SerialIo::Failure::Unplugged);
        f.Timer1_Timer();
        QCOMPARE(f.Text2->text(), QStringLiteral("串口关闭"));
        QCOMPARE(f.Text3->text(), QStringLiteral("通信失败"));
        QCOMPARE(f.Text4->text(), QStringLiteral("正在查找..."));
        QVERIFY(h.dialogs.messages.isEmpty());
    }

    // A device the user may not open, or one in use, is named in the status
    // bar and the port's tooltip; a missing one only in the tooltip. No
    // message box, and each failure is logged once however often the search
    // comes back to it.
    void portErrorsAreShownOnce()
    {
        Form1Harness h({});
        Form1 &f = *h.form;
        h.io->forbiddenDevices << h.deviceOf(2);
        h.io->busyDevices << h.deviceOf(3);
        QStringList log;
        loggedLines = &log;
        QLoggingCategory::setFilterRules(QStringLiteral("harlune.serial.debug=true"));
        const QtMessageHandler previous = qInstallMessageHandler(recordLog);
        QStringList panels, tips;
        for (int round = 0; round < 3; ++round) {
            for (int step = 0; step < 16; ++step) {
                f.Timer2_Timer();
                f.Timer1_Timer();
                f.Timer1_Timer();
                if (round == 0 && step < 3) {
                    panels << f.StatusBar1->panelText(1);
                    tips << hoverTip(f.Text1);
                }
            }
        }
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        loggedLines = nullptr;

        const QString com2 = QStringLiteral("COM2 = ") + h.deviceOf(2);
        const QString com3 = QStringLiteral("COM3 = ") + h.deviceOf(3);
        QCOMPARE(tips,
                 (QStringList{com2 + QStringLiteral("：无权限访问（请把用户加入 dialout 组）"),
                              com3 + QStringLiteral("：设备忙"),
                              QStringLiteral("COM4 = ") + h.deviceOf(4)
                                  + QStringLiteral("：设备不存在")}));
        QCOMPARE(panels[0], com2 + QStringLiteral("：无权限访问（请把用户加入 dialout 组）"));
        QCOMPARE(panels[1], com3 + QStringLiteral("：设备忙"));
        QCOMPARE(panels[2], panels[1]);  // a missing device does not take its place
        QVERIFY(h.dialogs.messages.isEmpty());
        // Port 1 failed and was logged at start-up, before the test listened.
        for (int port = 1; port <= 16; ++port) {
            const QString device = QLatin1Char('"') + h.deviceOf(port) + QLatin1Char('"');
            QCOMPARE(log.filter(device).size(), port == 1 ? 0 : 1);
        }

        // Once the busy device opens, it is no longer a problem.
        h.io->busyDevices.clear();
        h.io->presentDevices << h.deviceOf(3);
        f.Combo1->setEditText(QStringLiteral("2"));
        f.Timer2_Timer();
        f.Timer1_Timer();
        QCOMPARE(f.StatusBar1->panelText(1), QStringLiteral("通信失败"));
    }

    void exitClosesThePortAndTheWindow()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.endProgram = h.programsOwnEnd;
        f.show();
        QVERIFY(h.comm->PortOpen());
        f.Command5_Click();
        QVERIFY(!f.isVisible());
        QVERIFY(!h.comm->PortOpen());
        for (QTimer *t : {f.Timer1, f.Timer2, f.Timer3, f.Timer4})
            QVERIFY(!t->isActive());
    }
};

QTEST_MAIN(ReadOutEndTest)
#include "test_read_out_end.moc"
