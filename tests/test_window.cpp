// The main window: its controls and how they fit, start-up state, and the
// routing of buttons, menus and toolbar.
#include "app/command_line.h"
#include "core/export/sheet_rows.h"
#include "core/records/record_table.h"
#include "gui/fonts.h"
#include "gui/form2.h"
#include "gui/panel_status_bar.h"
#include "gui/plots/plot_window.h"
#include "gui/twips.h"
#include "platform/rich_text_box.h"
#include "support/form1_harness.h"
#include "support/languages.h"
#include "support/scaled_run.h"
#include "support/shown_texts.h"
#include "support/text_fit.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <qcustomplot.h>

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
    f.resize(QSize(panel.width(), f.menuBar()->height() + panel.height() + f.statusBar()->height())
             + extra);
    QCoreApplication::processEvents();
    return true;
}

// The window's words in the language installed: the Chinese source texts,
// translated as the window translates them.
QStringList windowWords(const QStringList &sources)
{
    QStringList words;
    for (const QString &source : sources)
        words << Form1::tr(source.toUtf8().constData());
    return words;
}

// Every word the user reads of the window, the read-range dialog, both plot
// windows, the version message, the record table and the workbook's header.
QStringList everyWord(Form1Harness &h)
{
    h.form->showLinkState();
    h.form->mnuCurrentVersion_Click();
    h.form->mnuChart_Click();
    h.form->mnuTrend_Click();
    h.link();
    h.form->Command2_Click();
    h.receive(shortReply(0x22, 0, 25, 0));
    QStringList words = shownTexts(h.form.get()) + shownTexts(h.form2());
    QList<QWidget *> plots;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<PlotWindow *>(w))
            plots << w;
    }
    std::sort(plots.begin(), plots.end(), [](const QWidget *a, const QWidget *b) {
        return qstrcmp(a->metaObject()->className(), b->metaObject()->className()) < 0;
    });
    for (const QWidget *w : plots) {
        words += shownTexts(w);
        for (const QCustomPlot *plot : w->findChildren<QCustomPlot *>())
            words << plot->xAxis->label() << plot->yAxis->label();
    }
    for (const RecordingUi::Message &m : h.dialogs.messages)
        words << m.text;
    const auto header = sheet_rows::headers();
    words << record_table::headerText() << QStringList(header.begin(), header.end());
    h.form2()->Command2_Click();
    return words;
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
        QCOMPARE(h.Label3->text(), QStringLiteral("I1:"));
        QCOMPARE(h.Label6->text(), QStringLiteral("I2:"));
        QCOMPARE(h.Label7->text(), QStringLiteral("I3:"));
        // The live values are wider than designed (everyTextFitsItsBox, liveFont).
        QCOMPARE(h.Label2->geometry(), designRect(f, 360, 1080, 3240, 975));
        QCOMPARE(h.Label4->geometry(), designRect(f, 3840, 1080, 3240, 975));
        QCOMPARE(h.Label5->geometry(), designRect(f, 7320, 1080, 3240, 975));
        QVERIFY(h.Label2->font().bold());
        QCOMPARE(h.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QCOMPARE(h.RichTextBox1->font().family(), QStringLiteral("Noto Sans Mono CJK SC"));
        QCOMPARE(h.ProgressBar1->geometry(), designRect(f, 115, 8400, 10575, 375));
        QCOMPARE(h.Frame2->title(), QStringLiteral("操作"));
        QCOMPARE(h.Frame3->title(), QStringLiteral("状态信息"));
        QCOMPARE(h.Frame1->geometry(), designRect(f, 10920, 360, 2415, 975));
        QCOMPARE(h.Frame2->geometry(), designRect(f, 10920, 1440, 2415, 5415));
        QCOMPARE(h.Frame3->geometry(), designRect(f, 10800, 7080, 2535, 1455));
        QCOMPARE(h.Combo1->parentWidget(), h.Frame1);
        // "COM:" and the combo box sit lower than designed, below the frame's
        // title, and "COM:" is wider (everyTextFitsItsBox).
        QCOMPARE(h.Label1->geometry(), designRect(f, 480, 360, 495, 300));
        QCOMPARE(h.Combo1->geometry(), designRect(f, 960, 360, 855, 300));
        QCOMPARE(h.Command4->geometry(), designRect(f, 480, 3240, 1695, 615));
        // The status boxes too, by 120 twips each.
        QCOMPARE(h.Text1->geometry(), designRect(f, 240, 360, 2055, 270));
        QCOMPARE(h.Text4->geometry(), designRect(f, 240, 1080, 2055, 270));
        QCOMPARE((QStringList{h.Command2->text(), h.Command3->text(), h.Command4->text(),
                              h.Command5->text()}),
                 (QStringList{"读  取", "保  存", "数据清除", "退  出"}));
        // The status bar is the window's own, docked along its bottom edge.
        QCOMPARE(f.statusBar(), h.StatusBar1);
        QCOMPARE(h.StatusBar1->height(), twips::toPixels(375, f.logicalDpiX()));
    }

    // Every text the window shows fits its box in the fonts the program uses,
    // in each language.
    void everyTextFitsItsBox_data() { languages::addRows(); }
    void everyTextFitsItsBox()
    {
        QFETCH(language::Language, language);
        const language::Translators speaking(language);
        Form1Harness h;
        Form1 &f = *h.form;
        // Right-aligned, "COM:" ends where the design ends it, beside the combo box.
        QVERIFY(h.Label1->alignment() & Qt::AlignRight);
        QCOMPARE(h.Label1->geometry().left() + h.Label1->width(),
                 twips::toPixels(975, f.logicalDpiX()));

        const std::pair<QLabel *, QStringList> labels[] = {
            {h.Label1, {"COM:"}},
            {h.Label3, {"I1:"}},
            {h.Label6, {"I2:"}},
            {h.Label7, {"I3:"}},
            {h.Label2, {"2575.5mA", "OL", "- -"}},
            {h.Label4, {"2575.5mA", "OL", "- -"}},
            {h.Label5, {"2575.5mA", "OL", "- -"}},
        };
        for (const auto &[label, texts] : labels)
            for (const QString &text : texts)
                QVERIFY2(text_fit::inLabel(label, text).isEmpty(),
                         qPrintable(text_fit::inLabel(label, text)));

        const std::pair<QLineEdit *, QStringList> boxes[] = {
            {h.Text1, {"COM1", "COM16"}},
            {h.Text2, windowWords({"串口打开", "串口关闭"})},
            {h.Text3, windowWords({"通信成功", "通信失败"})},
            {h.Text4, windowWords({"正在查找...", "正在读取..."})},
            {h.Combo1->lineEdit(), {"16"}},
        };
        for (const auto &[box, texts] : boxes)
            for (const QString &text : texts)
                QVERIFY2(text_fit::inLineEdit(box, text).isEmpty(),
                         qPrintable(text_fit::inLineEdit(box, text)));

        for (QPushButton *b : {h.Command2, h.Command3, h.Command4, h.Command5})
            QVERIFY2(text_fit::inButton(b).isEmpty(), qPrintable(text_fit::inButton(b)));
        for (QGroupBox *frame : {h.Frame1, h.Frame2, h.Frame3})
            QVERIFY2(text_fit::clearOfTitle(frame).isEmpty(),
                     qPrintable(text_fit::clearOfTitle(frame)));

        // What grew, grew into free space: the live values stop short of the
        // next caption. (In the design already, each caption's box reaches one
        // row into the values' below its text, and the toolbar reaches over the
        // top of the frame "通信", above its title.)
        for (const QString &overlap :
             {text_fit::apart({{"Label2", h.Label2},
                               {"Label4", h.Label4},
                               {"Label5", h.Label5},
                               {"RichTextBox1", h.RichTextBox1},
                               {"ProgressBar1", h.ProgressBar1},
                               {"Frame1", h.Frame1},
                               {"Frame2", h.Frame2},
                               {"Frame3", h.Frame3}}),
              text_fit::apart({{"Label2", h.Label2},
                               {"Label4", h.Label4},
                               {"Label5", h.Label5},
                               {"Toolbar1", h.Toolbar1}}),
              text_fit::apart({{"Label3", h.Label3},
                               {"Label6", h.Label6},
                               {"Label7", h.Label7},
                               {"Toolbar1", h.Toolbar1}}),
              text_fit::apart({{"Label2", h.Label2}, {"Label6", h.Label6}}),
              text_fit::apart({{"Label4", h.Label4}, {"Label7", h.Label7}})})
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

    // The language comes from HARLUNE_LANGUAGE (or --language), never from
    // the locale: on an English system Harlune is Chinese, word for word as
    // its source texts; asked for English, no Chinese is left, and the
    // toolbar still routes by its Chinese keys.
    void wordsFollowTheChosenLanguage_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("english");
        QTest::newRow("English locale, no choice")
            << QStringList{"LANG=en_US.UTF-8", "LC_ALL=en_US.UTF-8", "LANGUAGE=en_US:en"} << false;
        QTest::newRow("HARLUNE_LANGUAGE=en")
            << QStringList{"LANG=de_DE.UTF-8", "HARLUNE_LANGUAGE=en"} << true;
    }
    void wordsFollowTheChosenLanguage()
    {
        QFETCH(QStringList, environment);
        QFETCH(bool, english);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QStringList sourceWords;
        {
            Form1Harness untranslated;
            sourceWords = everyWord(untranslated);
        }
        QLocale::setDefault(
            QLocale(env.value(QStringLiteral("LANG")).section(QLatin1Char('.'), 0, 0)));
        const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        const language::Language chosen =
            command_line::parse({QStringLiteral("harlune")}, env).options.language;
        const language::Translators speaking(chosen);
        Form1Harness h;
        const QStringList words = everyWord(h);
        if (!english) {
            QCOMPARE(words, sourceWords);
            return;
        }
        QCOMPARE(withChinese(words), QStringList());
        QCOMPARE(actionTexts(h.Toolbar1->actions()),
                 (QStringList{"Read", "Save", "Clear", "Exit"}));
        QStringList keys;
        for (QAction *a : h.Toolbar1->actions())
            keys << a->data().toString();
        QCOMPARE(keys, (QStringList{"读取", "保存", "清除", "退出"}));
        h.takeWrites();
        h.Toolbar1->actions().at(0)->trigger();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22})});
    }

    void recordViewIsReadOnlyButSelectable()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        RichTextBox *view = h.RichTextBox1;
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
        h.secondsFlag(1);
        h.storeGroups(1, kGroups, [&](qint32) { return widest; });
        h.core->listRecords(1, kGroups);
        const QStringList lines = h.RichTextBox1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.last().size(), 119);

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(h.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QVERIFY(h.RichTextBox1->verticalScrollBar()->isVisible());
        QCOMPARE(h.RichTextBox1->horizontalScrollBar()->maximum(), 0);
        QVERIFY(!h.RichTextBox1->horizontalScrollBar()->isVisible());
    }

    // The table's columns line up in the view's font, and in every font of
    // the fallback list that is installed: a CJK character is two columns.
    void recordColumnsLineUpInEveryFallbackFont()
    {
        Form1Harness h;
        const QFont viewFont = h.RichTextBox1->font();
        if (!fonts::monoFamilies().contains(QFontInfo(viewFont).family()))
            QSKIP("none of the record view's fonts is installed (Debian: fonts-noto-cjk)");
        const QString lines[] = {record_table::headerLine(), record_table::bannerLine(),
                                 h.RichTextBox1->toPlainText().section(QLatin1Char('\n'), 1, 1)};
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
        QCOMPARE(h.RichTextBox1->geometry(), designRect(f, 120, 2160, 10575, 6135));
        QCOMPARE(h.Label2->parentWidget()->width(), designWidth);
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

        QCOMPARE(h.RichTextBox1->geometry(),
                 designRect(f, 120, 2160, 10575, 6135).adjusted(0, 0, dx, dy));
        QCOMPARE(h.ProgressBar1->geometry(),
                 designRect(f, 115, 8400, 10575, 375).adjusted(0, dy, dx, dy));
        QCOMPARE(h.Frame1->geometry(), designRect(f, 10920, 360, 2415, 975).translated(dx, 0));
        QCOMPARE(h.Frame2->geometry(), designRect(f, 10920, 1440, 2415, 5415).translated(dx, 0));
        QCOMPARE(h.Frame3->geometry(), designRect(f, 10800, 7080, 2535, 1455).translated(dx, dy));
        QCOMPARE(h.Label2->geometry(), designRect(f, 360, 1080, 3240, 975));
        QCOMPARE(h.Label7->geometry(), designRect(f, 7080, 720, 375, 375));
        QCOMPARE(h.Toolbar1->width(), designRect(f, 0, 0, 13515, 660).width() + dx);
        QCOMPARE(h.StatusBar1->geometry(),
                 QRect(0, f.height() - h.StatusBar1->height(), f.width(), h.StatusBar1->height()));
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
        h.StatusBar1->showNotice(1, QStringLiteral("已保存：a.xlsx"), 300);
        f.Timer1_Timer();
        f.Timer1_Timer();
        QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("已保存：a.xlsx"));
        QCOMPARE(h.StatusBar1->panelText(2), QStringLiteral("Harlune"));
        QTRY_COMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信失败"));
        h.link();
        f.Timer1_Timer();
        f.Timer1_Timer();
        QCOMPARE(h.StatusBar1->panelText(1), QStringLiteral("通信成功"));
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
        QCOMPARE(int(h.core->commOk()), 0);
        QCOMPARE(int(testing(h.core).lastCmd()), 0);
        QCOMPARE(testing(h.core).cmdBuf(), (std::array<quint8, 8>{}));
        for (qint32 g = record_store::kFirstGroup; g <= record_store::kLastGroup; ++g) {
            const GroupRecord r = h.core->store().recordAt(g);
            QVERIFY(r.val[0] == 20000 && r.val[1] == 20000 && r.val[2] == 20000);
        }
        QCOMPARE(h.ProgressBar1->value(), 0);
        QVERIFY(h.ProgressBar1->isHidden());
        QVERIFY(h.core->serial().PortOpen());
        QCOMPARE(h.io->openDevice, h.deviceOf(1));
        QVERIFY(h.takeWrites().isEmpty());  // start-up probes nothing
        QCOMPARE(h.Combo1->currentText(), QStringLiteral("1"));
        QCOMPARE(h.Text1->text(), QStringLiteral("COM1"));
        QCOMPARE(h.Label2->text(), QStringLiteral("- -"));
        QCOMPARE(h.RichTextBox1->Text().count(QStringLiteral("\r\n")), 2);
    }

    void timersAfterFormLoad()
    {
        QTemporaryDir dir;
        qputenv("HARLUNE_PORT_DIR", dir.path().toLocal8Bit());
        Instrument core(std::make_unique<FakeSerialIo>());
        RecordingUi dialogs;
        Form1 f(&core, &dialogs);
        QTimer *timer1 = f.findChild<QTimer *>(QStringLiteral("Timer1"));
        // Building the window starts nothing; Form_Load starts the program's work.
        QVERIFY(!timer1->isActive());
        for (LinkTimer *t : {&testing(core).Timer2(), &testing(core).Timer3(),
                             &testing(core).Timer4(), &testing(core).lineTimer()})
            QVERIFY(!t->isActive());
        QCOMPARE(testing(core).Timer2().interval(), 100);  // the design's, until the search begins
        f.Form_Load();
        QCOMPARE(timer1->interval(), 70);
        QCOMPARE(testing(core).Timer2().interval(), 20);  // searching
        QCOMPARE(testing(core).Timer3().interval(), 500);
        QCOMPARE(testing(core).Timer4().interval(), 1000);
        QVERIFY(timer1->isActive());
        QVERIFY(testing(core).Timer2().isActive());
        QVERIFY(testing(core).Timer3().isActive());
        QVERIFY(!testing(core).Timer4().isActive());
        f.close();
        qunsetenv("HARLUNE_PORT_DIR");
    }

    void menusAndToolbarInOrder()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        QCOMPARE(actionTexts(f.menuBar()->actions()),
                 (QStringList{"文件", "操作", "视图", "版本"}));
        const QList<QAction *> menus = f.menuBar()->actions();
        QCOMPARE(actionTexts(menus[0]->menu()->actions()), (QStringList{"保存", "退出"}));
        QCOMPARE(actionTexts(menus[1]->menu()->actions()), (QStringList{"读取", "数据清除"}));
        QCOMPARE(actionTexts(menus[2]->menu()->actions()), (QStringList{"曲线图", "实时曲线"}));
        QCOMPARE(actionTexts(menus[3]->menu()->actions()), (QStringList{"当前版本"}));
        for (QAction *a : f.menuBar()->actions())
            for (QAction *item : a->menu()->actions())
                QVERIFY(item->shortcut().isEmpty());
        QStringList keys;
        for (QAction *a : h.Toolbar1->actions()) {
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
        QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
        h.link();
        if (place == QLatin1String("button"))
            h.Command2->click();
        else if (place == QLatin1String("menu"))
            h.mnuRead->trigger();
        else
            h.Toolbar1->actions().at(0)->trigger();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22})});
        QVERIFY(!testing(h.core).Timer2().isActive());
        QVERIFY(!testing(h.core).Timer3().isActive());
    }

    void clearFromEveryPlace()
    {
        Form1Harness h;
        Form1 &f = *h.form;
        GroupRecord present;
        present.val[0] = 1234;
        // A group in the store, and the search and the live poll stopped by Read.
        auto dirty = [&] {
            h.storeGroups(9, 9, [&](qint32) { return present; });
            h.link();
            h.core->read();
        };
        dirty();
        h.Command4->click();
        QCOMPARE(int(h.core->store().recordAt(9).val[0]), 20000);
        QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
        dirty();
        h.mnuClear->trigger();
        QCOMPARE(int(h.core->store().recordAt(9).val[0]), 20000);
        dirty();
        f.Toolbar1_ButtonClick(QStringLiteral("清除"));
        QCOMPARE(int(h.core->store().recordAt(9).val[0]), 20000);
        QVERIFY(testing(h.core).Timer3().isActive());
    }

    void saveFromEveryPlaceOpensTheSaveDialog()
    {
        Form1Harness h;
        h.storeGroups(1, 3, [](qint32) { return GroupRecord{}; });  // something to save
        h.dialogs.messages.clear();                                 // the completion's
        h.Command3->click();
        h.mnuSave->trigger();
        h.Toolbar1->actions().at(1)->trigger();
        QCOMPARE(h.dialogs.saveDialogs, 3);
        QVERIFY(h.dialogs.messages.isEmpty());  // Cancel: nothing else happens
    }

    void exitFromEveryPlaceAtOnce()
    {
        Form1Harness h;
        h.Command5->click();
        h.mnuExit->trigger();
        h.Toolbar1->actions().at(3)->trigger();
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
        h.mnuCurrentVersion->trigger();
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
