// The main window: its controls and how they fit, start-up state, and the
// routing of buttons, menus and toolbar.
#include "core/records/record_table.h"
#include "platform/rich_text_box.h"
#include "support/form1_harness.h"
#include "support/scaled_run.h"
#include "support/text_fit.h"
#include "window/fonts.h"
#include "window/panel_status_bar.h"
#include "window/twips.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {
QRect designRect(const Form1 &f, int l, int t, int w, int h)
{
    return twips::toRect(l, t, w, h, f.logicalDpiX());
}

// How far a CJK character may be off two columns: 1/64 pixel, the font
// engine's unit, at sizes where half an em is not a whole number of them.
constexpr qreal kColumnSlack = 0.02;

// Columns of a line of the record table: a CJK character takes two.
int displayColumns(const QString &line)
{
    constexpr char16_t kFirstCjk = 0x2E80;
    int columns = 0;
    for (QChar c : line)
        columns += c.unicode() >= kFirstCjk ? 2 : 1;
    return columns;
}

// Shows the window `extra` pixels larger than its design size: the controls'
// panel, the menu bar above and the status bar below.
bool showLargerThanDesigned(Form1 &f, const QSize &extra)
{
    f.show();
    if (!QTest::qWaitForWindowExposed(&f))
        return false;
    const QSize panel = designRect(f, 0, 0, 13515, 9240).size();
    f.resize(QSize(panel.width(), f.menuBar()->height() + panel.height() + f.StatusBar1->height())
             + extra);
    QCoreApplication::processEvents();
    return true;
}

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << a->text();
    return out;
}
}  // namespace

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
        // The live values are wider than designed (everyTextFitsItsBox, liveFont).
        QCOMPARE(f.Label2->geometry(), designRect(f, 360, 1080, 3240, 975));
        QCOMPARE(f.Label4->geometry(), designRect(f, 3840, 1080, 3240, 975));
        QCOMPARE(f.Label5->geometry(), designRect(f, 7320, 1080, 3240, 975));
        QVERIFY(f.Label2->font().bold());
        QCOMPARE(f.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QCOMPARE(f.RichTextBox1->font().family(), QStringLiteral("Noto Sans Mono CJK SC"));
        QCOMPARE(f.ProgressBar1->geometry(), designRect(f, 115, 8400, 10575, 375));
        QCOMPARE(f.Frame2->title(), QStringLiteral("操作"));
        QCOMPARE(f.Frame3->title(), QStringLiteral("状态信息"));
        QCOMPARE(f.Frame1->geometry(), designRect(f, 10920, 360, 2415, 975));
        QCOMPARE(f.Frame2->geometry(), designRect(f, 10920, 1440, 2415, 5415));
        QCOMPARE(f.Frame3->geometry(), designRect(f, 10800, 7080, 2535, 1455));
        QCOMPARE(f.Combo1->parentWidget(), f.Frame1);
        // "COM:" and the combo box sit lower than designed, below the frame's
        // title, and "COM:" is wider (everyTextFitsItsBox).
        QCOMPARE(f.Label1->geometry(), designRect(f, 480, 360, 495, 300));
        QCOMPARE(f.Combo1->geometry(), designRect(f, 960, 360, 855, 300));
        QCOMPARE(f.Command4->geometry(), designRect(f, 480, 3240, 1695, 615));
        // The status boxes too, by 120 twips each.
        QCOMPARE(f.Text1->geometry(), designRect(f, 240, 360, 2055, 270));
        QCOMPARE(f.Text4->geometry(), designRect(f, 240, 1080, 2055, 270));
        QCOMPARE((QStringList{f.Command2->text(), f.Command3->text(), f.Command4->text(),
                              f.Command5->text()}),
                 (QStringList{"读  取", "保  存", "数据清除", "退  出"}));
        // The status bar is the window's own, docked along its bottom edge.
        QCOMPARE(f.statusBar(), f.StatusBar1);
        QCOMPARE(f.StatusBar1->height(), twips::toPixels(375, f.logicalDpiX()));
    }

    // Every text the window shows fits its box in the fonts the program uses.
    void everyTextFitsItsBox()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        // Right-aligned, "COM:" ends where the design ends it, beside the combo box.
        QVERIFY(f.Label1->alignment() & Qt::AlignRight);
        QCOMPARE(f.Label1->geometry().left() + f.Label1->width(),
                 twips::toPixels(975, f.logicalDpiX()));

        const std::pair<QLabel *, QStringList> labels[] = {
            {f.Label1, {"COM:"}},
            {f.Label3, {"I1:"}},
            {f.Label6, {"I2:"}},
            {f.Label7, {"I3:"}},
            {f.Label2, {"2575.5mA", "OL", "- -"}},
            {f.Label4, {"2575.5mA", "OL", "- -"}},
            {f.Label5, {"2575.5mA", "OL", "- -"}},
        };
        for (const auto &[label, texts] : labels)
            for (const QString &text : texts)
                QVERIFY2(text_fit::inLabel(label, text).isEmpty(),
                         qPrintable(text_fit::inLabel(label, text)));

        const std::pair<QLineEdit *, QStringList> boxes[] = {
            {f.Text1, {"COM1", "COM16"}},        {f.Text2, {"串口打开", "串口关闭"}},
            {f.Text3, {"通信成功", "通信失败"}}, {f.Text4, {"正在查找...", "正在读取..."}},
            {f.Combo1->lineEdit(), {"16"}},
        };
        for (const auto &[box, texts] : boxes)
            for (const QString &text : texts)
                QVERIFY2(text_fit::inLineEdit(box, text).isEmpty(),
                         qPrintable(text_fit::inLineEdit(box, text)));

        for (QPushButton *b : {f.Command2, f.Command3, f.Command4, f.Command5})
            QVERIFY2(text_fit::inButton(b).isEmpty(), qPrintable(text_fit::inButton(b)));
        for (QGroupBox *frame : {f.Frame1, f.Frame2, f.Frame3})
            QVERIFY2(text_fit::clearOfTitle(frame).isEmpty(),
                     qPrintable(text_fit::clearOfTitle(frame)));

        // What grew, grew into free space: the live values stop short of the
        // next caption. (In the design already, each caption's box reaches one
        // row into the values' below its text, and the toolbar reaches over the
        // top of the frame "通信", above its title.)
        for (const QString &overlap :
             {text_fit::apart({{"Label2", f.Label2},
                               {"Label4", f.Label4},
                               {"Label5", f.Label5},
                               {"RichTextBox1", f.RichTextBox1},
                               {"ProgressBar1", f.ProgressBar1},
                               {"Frame1", f.Frame1},
                               {"Frame2", f.Frame2},
                               {"Frame3", f.Frame3}}),
              text_fit::apart({{"Label2", f.Label2},
                               {"Label4", f.Label4},
                               {"Label5", f.Label5},
                               {"Toolbar1", f.Toolbar1}}),
              text_fit::apart({{"Label3", f.Label3},
                               {"Label6", f.Label6},
                               {"Label7", f.Label7},
                               {"Toolbar1", f.Toolbar1}}),
              text_fit::apart({{"Label2", f.Label2}, {"Label6", f.Label6}}),
              text_fit::apart({{"Label4", f.Label4}, {"Label7", f.Label7}})})
            QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
    }

    // The same at the scales of high-DPI screens.
    void everyTextFitsWhenScaled_data()
    {
        QTest::addColumn<QString>("factor");
        QTest::newRow("1.5") << QStringLiteral("1.5");
        QTest::newRow("2") << QStringLiteral("2");
    }
    void everyTextFitsWhenScaled()
    {
        QFETCH(QString, factor);
        if (scaled_run::isScaled())
            QSKIP("this run is the scaled one");
        const QString failures =
            scaled_run::failures(factor, {QStringLiteral("everyTextFitsItsBox"),
                                          QStringLiteral("widestTableLineFitsWithoutScrolling")});
        QVERIFY2(failures.isEmpty(), qPrintable(failures));
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

    // At the design size a full line with seconds, whose six readings all fill
    // their fields, fits without a horizontal scroll bar.
    void widestTableLineFitsWithoutScrolling()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        constexpr int kGroups = 200;  // enough for a vertical scroll bar
        const GroupRecord widest{{25755, 25755, 25755}, {0x41, 0x41, 0x41}, 21, 12, 12, 59, 59, 59};
        for (int g = 1; g <= kGroups; ++g)
            f.storeRecord(g, widest);
        f.secFlag = 1;
        f.listRecords(1, kGroups);
        const QStringList lines = f.RichTextBox1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.last().size(), 119);

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QVERIFY(f.RichTextBox1->verticalScrollBar()->isVisible());
        QCOMPARE(f.RichTextBox1->horizontalScrollBar()->maximum(), 0);
        QVERIFY(!f.RichTextBox1->horizontalScrollBar()->isVisible());
    }

    // The table's columns line up in the view's font, and in every font of
    // the fallback list that is installed: a CJK character is two columns.
    void recordColumnsLineUpInEveryFallbackFont()
    {
        Form1Harness h;
        const QFont viewFont = h.form->RichTextBox1->font();
        if (!fonts::monoFamilies().contains(QFontInfo(viewFont).family()))
            QSKIP("none of the record view's fonts is installed (Debian: fonts-noto-cjk)");
        const QString lines[] = {
            record_table::headerLine(), record_table::bannerLine(),
            h.form->RichTextBox1->toPlainText().section(QLatin1Char('\n'), 1, 1)};
        int checked = 0;
        for (const QString &family : fonts::monoFamilies()) {
            if (!QFontDatabase::hasFamily(family))
                continue;
            ++checked;
            QFont font(family);
            font.setPointSizeF(viewFont.pointSizeF());
            const QFontMetricsF fm(font);
            const qreal column = fm.horizontalAdvance(QLatin1Char('0'));
            QVERIFY2(qAbs(fm.horizontalAdvance(QStringLiteral("组")) - 2 * column) < kColumnSlack,
                     qPrintable(family));
            for (const QString &line : lines) {
                // Less than a pixel off at the end of a line: no character
                // lands on the pixels of a neighbouring column.
                QVERIFY2(qAbs(fm.horizontalAdvance(line) - displayColumns(line) * column) < 1,
                         qPrintable(family + QStringLiteral(": ") + line));
            }
        }
        QVERIFY(checked > 0);
    }

    // The design size, fitted to the screen: the offscreen screen is 800
    // pixels wide, narrower than the window's 901.
    void windowFitsASmallScreen()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect screen = f.screen()->availableGeometry();
        const int designWidth = twips::toPixels(13515, f.logicalDpiX());
        if (designWidth <= screen.width())
            QSKIP("the screen is wide enough for the design");
        f.resize(f.size() + QSize(200, 0));
        f.Timer1_Timer();
        QCoreApplication::processEvents();
        QVERIFY(f.frameGeometry().width() <= screen.width());
        QVERIFY(f.frameGeometry().height() <= screen.height());
        // The controls keep their design places and scroll into sight
        // sideways; the window is taller by the scroll bar, so that nothing
        // needs to scroll up and down.
        auto *scroller = qobject_cast<QScrollArea *>(f.centralWidget());
        QVERIFY(scroller);
        QCOMPARE(f.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QCOMPARE(f.Label2->parentWidget()->width(), designWidth);
        QVERIFY(scroller->horizontalScrollBar()->isVisible());
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
    }

    // At its design size the window shows every control without scrolling.
    // Larger (maximised), the record view takes the room, the right-hand
    // column moves with the right edge, the frame "状态信息" and the progress
    // bar stay at the bottom, and the live values keep their place.
    void windowAtOrAboveItsDesignSize_data()
    {
        QTest::addColumn<QSize>("extra");
        QTest::newRow("design size") << QSize(0, 0);
        QTest::newRow("maximised") << QSize(300, 200);
    }
    void windowAtOrAboveItsDesignSize()
    {
        QFETCH(QSize, extra);
        Form1Harness h;
        Form1 &f = *h.form;
        QVERIFY(showLargerThanDesigned(f, extra));
        const int dx = extra.width();
        const int dy = extra.height();

        QCOMPARE(f.RichTextBox1->geometry(),
                 designRect(f, 120, 2160, 10575, 6135).adjusted(0, 0, dx, dy));
        QCOMPARE(f.ProgressBar1->geometry(),
                 designRect(f, 115, 8400, 10575, 375).adjusted(0, dy, dx, dy));
        QCOMPARE(f.Frame1->geometry(), designRect(f, 10920, 360, 2415, 975).translated(dx, 0));
        QCOMPARE(f.Frame2->geometry(), designRect(f, 10920, 1440, 2415, 5415).translated(dx, 0));
        QCOMPARE(f.Frame3->geometry(), designRect(f, 10800, 7080, 2535, 1455).translated(dx, dy));
        QCOMPARE(f.Label2->geometry(), designRect(f, 360, 1080, 3240, 975));
        QCOMPARE(f.Label7->geometry(), designRect(f, 7080, 720, 375, 375));
        QCOMPARE(f.Toolbar1->width(), designRect(f, 0, 0, 13515, 660).width() + dx);
        QCOMPARE(f.StatusBar1->geometry(),
                 QRect(0, f.height() - f.StatusBar1->height(), f.width(), f.StatusBar1->height()));
        auto *scroller = qobject_cast<QScrollArea *>(f.centralWidget());
        QVERIFY(!scroller->horizontalScrollBar()->isVisible());
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
    }

    // A notice in panel 1 outlasts the status display's ticks for its time,
    // then the panel follows Text3 again.
    void statusBarNoticeOutlastsTheTicks()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.Timer1_Timer();
        f.StatusBar1->showNotice(1, QStringLiteral("已保存：a.xlsx"), 300);
        f.Timer1_Timer();
        f.Timer1_Timer();
        QCOMPARE(f.StatusBar1->panelText(1), QStringLiteral("已保存：a.xlsx"));
        QCOMPARE(f.StatusBar1->panelText(2), QStringLiteral("Harlune"));
        QTRY_COMPARE(f.StatusBar1->panelText(1), QStringLiteral("通信失败"));
        f.commOk = 1;
        f.Timer1_Timer();
        f.Timer1_Timer();
        QCOMPARE(f.StatusBar1->panelText(1), QStringLiteral("通信成功"));
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
        for (qint32 g = record_store::kFirstGroup; g <= record_store::kLastGroup; ++g) {
            const GroupRecord r = f.recordAt(g);
            QVERIFY(r.val[0] == 20000 && r.val[1] == 20000 && r.val[2] == 20000);
        }
        QCOMPARE(f.ProgressBar1->value(), 0);
        QVERIFY(f.ProgressBar1->isHidden());
        QVERIFY(h.comm->PortOpen());
        QCOMPARE(h.io->openDevice, h.deviceOf(1));
        QVERIFY(h.takeWrites().isEmpty());  // start-up probes nothing
        QCOMPARE(f.Combo1->currentText(), QStringLiteral("1"));
        QCOMPARE(f.Text1->text(), QStringLiteral("COM1"));
        QCOMPARE(f.Label2->text(), QStringLiteral("- -"));
        QCOMPARE(f.RichTextBox1->Text().count(QStringLiteral("\r\n")), 2);
    }

    void timersAfterFormLoad()
    {
        QTemporaryDir dir;
        qputenv("HARLUNE_PORT_DIR", dir.path().toLocal8Bit());
        MSComm comm(std::make_unique<FakeSerialIo>());
        RecordingUi dialogs;
        Form1 f(&comm, &dialogs);
        // Building the window starts nothing; Form_Load starts the program's work.
        for (QTimer *t : {f.Timer1, f.Timer2, f.Timer3, f.Timer4, f.lineTimer})
            QVERIFY(!t->isActive());
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
        GroupRecord present;
        present.val[0] = 1234;
        auto dirty = [&] {
            f.storeRecord(9, present);
            h.stopTimers();
        };
        dirty();
        f.Command4->click();
        QCOMPARE(int(f.recordAt(9).val[0]), 20000);
        QVERIFY(f.Timer2->isActive() && f.Timer3->isActive());
        dirty();
        f.mnuClear->trigger();
        QCOMPARE(int(f.recordAt(9).val[0]), 20000);
        dirty();
        f.Toolbar1_ButtonClick(QStringLiteral("清除"));
        QCOMPARE(int(f.recordAt(9).val[0]), 20000);
        QVERIFY(f.Timer3->isActive());
    }

    void saveFromEveryPlaceOpensTheSaveDialog()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.Command3->click();
        f.mnuSave->trigger();
        f.Toolbar1->actions().at(1)->trigger();
        QCOMPARE(h.dialogs.saveDialogs, 3);
        QVERIFY(h.dialogs.messages.isEmpty());  // Cancel: nothing else happens
    }

    void exitFromEveryPlaceAtOnce()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        f.Command5->click();
        f.mnuExit->trigger();
        f.Toolbar1->actions().at(3)->trigger();
        QCOMPARE(h.endProgramCalls, 3);
        QVERIFY(h.dialogs.messages.isEmpty());  // no question
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
        QCOMPARE(h.dialogs.saveDialogs, 0);
        QCOMPARE(h.endProgramCalls, 0);
        QVERIFY(h.dialogs.messages.isEmpty());
    }

    void versionMessage()
    {
        Form1Harness h;
        h.form->mnuCurrentVersion->trigger();
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].text,
                 QStringLiteral("当前版本：V1.0  更新时间：2021年11月27日"));
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].icon, UiSeam::Icon::None);
        QVERIFY(h.takeWrites().isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
