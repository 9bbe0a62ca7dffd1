// The main window: its controls, start-up state, and the routing of buttons, menus and toolbar.
#include "platform/rich_text_box.h"
#include "records/record_table.h"
#include "support/form1_harness.h"
#include "window/twips.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {
QRect designRect(const Form1 &f, int l, int t, int w, int h)
{
    return twips::toRect(l, t, w, h, f.logicalDpiX());
}

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << a->text();
    return out;
}
} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void controlsHaveTheirCaptionsAndPlaces()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("Harlune"));
        QCOMPARE(f.Label3->text(), QStringLiteral("I1:"));
        QCOMPARE(f.Label6->text(), QStringLiteral("I2:"));
        QCOMPARE(f.Label7->text(), QStringLiteral("I3:"));
        QCOMPARE(f.Label2->geometry(), designRect(f, 360, 1080, 2655, 975));
        QCOMPARE(f.Label5->geometry(), designRect(f, 7320, 1080, 2655, 975));
        QCOMPARE(f.Label2->font().pointSize(), 42);
        QVERIFY(f.Label2->font().bold());
        QCOMPARE(f.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QCOMPARE(f.RichTextBox1->font().family(), QStringLiteral("Noto Sans Mono CJK SC"));
        QCOMPARE(f.ProgressBar1->geometry(), designRect(f, 115, 8400, 10575, 375));
        QCOMPARE(f.Frame2->title(), QStringLiteral("操作"));
        QCOMPARE(f.Frame3->title(), QStringLiteral("状态信息"));
        QCOMPARE(f.Frame1->geometry(), designRect(f, 10920, 360, 2415, 975));
        QCOMPARE(f.Combo1->parentWidget(), f.Frame1);
        QCOMPARE(f.Command4->geometry(), designRect(f, 480, 3240, 1695, 615));
        QCOMPARE(f.Text4->geometry(), designRect(f, 240, 960, 2055, 270));
        QCOMPARE((QStringList{f.Command2->text(), f.Command3->text(), f.Command4->text(), f.Command5->text()}),
                 (QStringList{"读  取", "保  存", "数据清除", "退  出"}));
    }

    void recordViewIsReadOnlyButSelectable()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        RichTextBox *view = f.RichTextBox1;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        view->setFocus();
        const QString shown = view->toPlainText();
        QTest::keyClicks(view, QStringLiteral("typed"));
        QTest::keyClick(view, Qt::Key_Delete);
        QTest::keyClick(view, Qt::Key_Return);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view->toPlainText(), shown);
        QCOMPARE(view->Text().count(QStringLiteral("\r\n")), 2);

        // The keyboard selects and copies.
        view->moveCursor(QTextCursor::Start);
        QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
        const QString banner = record_table::bannerLine();
        QCOMPARE(view->textCursor().selectedText(), banner);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), banner);

        // Tab moves on instead of going into the table.
        QTest::keyClick(view, Qt::Key_Tab);
        QVERIFY(!view->hasFocus());
        QVERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(view->toPlainText(), shown);
    }

    void twipsFollowTheScreensDpi()
    {
        QCOMPARE(twips::toPixels(1500, 96), 100);
        QCOMPARE(twips::toPixels(1500, 144), 150);
        QCOMPARE(twips::toRect(120, 2160, 10575, 6135, 96), QRect(8, 144, 705, 409));
    }

    void startUpState()
    {
        Form1Harness h({1});
        Form1 &f = *h.form;
        QCOMPARE(int(f.commOk), 0);
        QCOMPARE(int(f.lastCmd), 0);
        QCOMPARE(f.cmdBuf, (std::array<quint8, 8>{}));
        QVERIFY(std::all_of(f.grpVal1.begin(), f.grpVal1.end(), [](quint16 v) { return v == 20000; }));
        QVERIFY(std::all_of(f.grpVal3.begin(), f.grpVal3.end(), [](quint16 v) { return v == 20000; }));
        QCOMPARE(f.ProgressBar1->value(), 0);
        QVERIFY(f.ProgressBar1->isHidden());
        QVERIFY(h.comm->PortOpen());
        QCOMPARE(h.io->openDevice, h.deviceOf(1));
        QVERIFY(h.takeWrites().isEmpty());  // start-up probes nothing
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("1"));
        QCOMPARE(f.Text1->text(), QStringLiteral("COM1"));
        QCOMPARE(f.Label2->text(), QStringLiteral("- -"));
        QCOMPARE(f.RichTextBox1->Text().count(QStringLiteral("\r\n")), 2);
        QCOMPARE(Form1::recordStoreBytes(), std::size_t(200001 * 16));
    }

    void timersAfterFormLoad()
    {
        QTemporaryDir dir;
        qputenv("HARLUNE_PORT_DIR", dir.path().toLocal8Bit());
        MSComm comm(std::make_unique<FakeSerialIo>());
        RecordingUi ui;
        Form1 f(&comm, &ui);
        f.Form_Load();
        QCOMPARE(f.Timer1->interval(), 70);
        QCOMPARE(f.Timer2->interval(), 100);
        QCOMPARE(f.Timer3->interval(), 500);
        QCOMPARE(f.Timer4->interval(), 1000);
        QVERIFY(f.Timer1->isActive());
        QVERIFY(f.Timer2->isActive());
        QVERIFY(f.Timer3->isActive());
        QVERIFY(!f.Timer4->isActive());
        qunsetenv("HARLUNE_PORT_DIR");
    }

    void menusAndToolbarInOrder()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        QCOMPARE(actionTexts(f.menuBar()->actions()), (QStringList{"文件", "操作", "版本"}));
        QCOMPARE(actionTexts(f.mnuFile->actions()), (QStringList{"保存", "退出"}));
        QCOMPARE(actionTexts(f.mnuOperation->actions()), (QStringList{"读取", "数据清除"}));
        QCOMPARE(actionTexts(f.mnuVersion->actions()), (QStringList{"当前版本"}));
        for (QAction *a : f.menuBar()->actions())
            for (QAction *item : a->menu()->actions())
                QVERIFY(item->shortcut().isEmpty());
        QStringList keys;
        for (QAction *a : f.Toolbar1->actions()) {
            keys << a->data().toString();
            QVERIFY(!a->icon().isNull());
            QCOMPARE(a->text(), a->data().toString());
        }
        QCOMPARE(keys, (QStringList{"读取", "保存", "清除", "退出"}));
    }

    // Read from each of its three places sends the group-count request.
    void readFromEveryPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("button") << "button";
        QTest::newRow("menu") << "menu";
        QTest::newRow("toolbar") << "toolbar";
    }
    void readFromEveryPlace()
    {
        QFETCH(QString, place);
        Form1Harness h;
        Form1 &f = *h.form;
        f.Timer2->start();
        f.Timer3->start();
        if (place == QLatin1String("button"))
            f.Command2->click();
        else if (place == QLatin1String("menu"))
            f.mnuRead->trigger();
        else
            f.Toolbar1->actions().at(0)->trigger();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22})});
        QVERIFY(!f.Timer2->isActive());
        QVERIFY(!f.Timer3->isActive());
    }

    void clearFromEveryPlace()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        auto dirty = [&] {
            f.grpVal1[9] = 1234;
            h.stopTimers();
        };
        dirty();
        f.Command4->click();
        QCOMPARE(int(f.grpVal1[9]), 20000);
        QVERIFY(f.Timer2->isActive() && f.Timer3->isActive());
        dirty();
        f.mnuClear->trigger();
        QCOMPARE(int(f.grpVal1[9]), 20000);
        dirty();
        f.Toolbar1_ButtonClick(QStringLiteral("清除"));
        QCOMPARE(int(f.grpVal1[9]), 20000);
        QVERIFY(f.Timer3->isActive());
    }

    void saveFromEveryPlaceOpensTheSaveDialog()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.Command3->click();
        f.mnuSave->trigger();
        f.Toolbar1->actions().at(1)->trigger();
        QCOMPARE(h.ui.saveDialogs, 3);
        QVERIFY(h.ui.messages.isEmpty());  // Cancel: nothing else happens
    }

    void exitFromEveryPlaceAtOnce()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.Command5->click();
        f.mnuExit->trigger();
        f.Toolbar1->actions().at(3)->trigger();
        QCOMPARE(h.endProgramCalls, 3);
        QVERIFY(h.ui.messages.isEmpty());  // no question
    }

    void unknownKeysDoNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("trailing blank") << "读取 ";
        QTest::newRow("other") << "Save";
        QTest::newRow("empty") << "";
        QTest::newRow("caption with spaces") << "保  存";
    }
    void unknownKeysDoNothing()
    {
        QFETCH(QString, key);
        Form1Harness h;
        h.form->Toolbar1_ButtonClick(key);
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(h.ui.saveDialogs, 0);
        QCOMPARE(h.endProgramCalls, 0);
        QVERIFY(h.ui.messages.isEmpty());
    }

    void versionMessage()
    {
        Form1Harness h;
        h.form->mnuCurrentVersion->trigger();
        QCOMPARE(h.ui.messages.size(), 1);
        QCOMPARE(h.ui.messages[0].text, QStringLiteral("当前版本：V1.0  更新时间：2021年11月27日"));
        QCOMPARE(h.ui.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.ui.messages[0].icon, UiSeam::Icon::None);
        QVERIFY(h.takeWrites().isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
