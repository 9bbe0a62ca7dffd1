#include "core/export/export_target.h"
#include "core/live_history.h"
#include "core/records/amperes.h"
#include "core/records/record_store.h"
#include "core/records/record_table.h"
#include "gui/plots/channel_plot.h"
#include "gui/plots/live_trend_window.h"
#include "gui/plots/stored_chart_window.h"
#include "support/recording_ui.h"

#include <QtTest>

#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <map>

// The chart of the stored groups and the live trend, read back from their
// graphs: where the lines are and where they break, how they follow a
// read-out and the live history, and the pictures they save.
class PlotsTest : public QObject {
    Q_OBJECT
private slots:
    void chartBreaksAtTheRightGroups_data();
    void chartBreaksAtTheRightGroups();
    void chartFollowsAReadOutBlockByBlock_data();
    void chartFollowsAReadOutBlockByBlock();
    void trendBreaksAtLinkLossesAndFollowsTheHistory_data();
    void trendBreaksAtLinkLossesAndFollowsTheHistory();
    void savesAPicture_data();
    void savesAPicture();
};

namespace {

constexpr quint8 kMilliampsTwoDecimals = 0x42;
constexpr quint8 kAmpsOneDecimal = 0x31;
constexpr quint8 kKiloampsNoDecimals = 0x20;
constexpr quint8 kNoUnit = 0x50;

// Stamps a record 2021-03-05 at 12:00:00 plus the seconds given.
void stamp(GroupRecord &r, int secondsAfterNoon)
{
    const int seconds = 12 * 3600 + secondsAfterNoon;
    r.year = 21;
    r.month = 3;
    r.day = quint8(5 + seconds / 86400);
    r.hour = quint8(seconds / 3600 % 24);
    r.minute = quint8(seconds / 60 % 60);
    r.second = quint8(seconds % 60);
}

// A present group with readings that vary with g, stamped 2 g seconds after
// noon, so that every group has a time of its own and an odd second is free.
GroupRecord groupRecord(qint32 g)
{
    GroupRecord r;
    r.val[0] = quint16(100 + g % 900);
    r.val[1] = quint16(2000 + g % 5000);
    r.val[2] = quint16(7 + g % 50);
    r.stat[0] = kMilliampsTwoDecimals;
    r.stat[1] = kAmpsOneDecimal;
    r.stat[2] = kKiloampsNoDecimals;
    stamp(r, 2 * g);
    return r;
}

// One graph as text: "g:value" for a point at a present group, "gap" for a
// point without a value anywhere else, "NaN@g" for a present group without
// one, and "stray@key" for a value off the groups, which no graph may have.
QString graphText(const QCPGraph *graph, const std::function<std::optional<qint32>(double)> &group)
{
    QStringList tokens;
    for (const QCPGraphData &point : *graph->data()) {
        const std::optional<qint32> g = group(point.key);
        if (g)
            tokens << (std::isnan(point.value)
                           ? QStringLiteral("NaN@%1").arg(*g)
                           : QStringLiteral("%1:%2").arg(*g).arg(point.value, 0, 'g', 17));
        else
            tokens << (std::isnan(point.value) ? QStringLiteral("gap")
                                               : QStringLiteral("stray@%1").arg(point.key));
    }
    return tokens.join(QLatin1Char(' '));
}

// Whether group g has a place on the axis: it is present and, on the time
// axis, its stamp is a date and time.
bool drawable(const RecordStore &store, qint32 g, StoredSeries::Axis axis)
{
    return store.isPresent(g)
           && (axis == StoredSeries::Axis::Group || StoredSeries::timeKey(store.recordAt(g), 1));
}

// What a graph of channel c must hold for groups first to last, in the same
// words: each drawable group in order, and a gap wherever the group numbers
// of drawn groups jump.
QString expectedText(const RecordStore &store, int c, qint32 first, qint32 last,
                     StoredSeries::Axis axis)
{
    QStringList tokens;
    std::optional<qint32> previous;
    for (qint32 g = first; g <= last; ++g) {
        if (!drawable(store, g, axis))
            continue;
        if (previous && g != *previous + 1)
            tokens << QStringLiteral("gap");
        const GroupRecord r = store.recordAt(g);
        const std::optional<double> a = reading_amperes::amperes(r.val[c], r.stat[c]);
        tokens << (a ? QStringLiteral("%1:%2").arg(g).arg(*a, 0, 'g', 17)
                     : QStringLiteral("NaN@%1").arg(g));
        previous = g;
    }
    return tokens.join(QLatin1Char(' '));
}

// Which present group a key stands for on either axis.
std::function<std::optional<qint32>(double)> groupOfKey(const RecordStore &store,
                                                        StoredSeries::Axis axis, quint8 secFlag)
{
    std::map<double, qint32> byTime;
    for (qint32 g = record_store::kFirstGroup; g <= 1000; ++g) {
        if (drawable(store, g, StoredSeries::Axis::Time))
            byTime.emplace(*StoredSeries::timeKey(store.recordAt(g), secFlag), g);
    }
    return [&store, axis, byTime](double key) -> std::optional<qint32> {
        if (axis == StoredSeries::Axis::Time) {
            const auto it = byTime.find(key);
            return it == byTime.end() ? std::nullopt : std::optional<qint32>(it->second);
        }
        const qint32 g = qint32(key);
        return g == key && drawable(store, g, axis) ? std::optional<qint32>(g) : std::nullopt;
    };
}

void chooseAxis(StoredChartWindow &window, StoredSeries::Axis axis)
{
    auto *choice = window.findChild<QComboBox *>(QStringLiteral("xAxisChoice"));
    QVERIFY(choice);
    choice->setCurrentIndex(axis == StoredSeries::Axis::Time ? 1 : 0);
}

}  // namespace

void PlotsTest::chartBreaksAtTheRightGroups_data()
{
    QTest::addColumn<StoredSeries::Axis>("axis");
    QTest::newRow("group numbers") << StoredSeries::Axis::Group;
    QTest::newRow("time stamps") << StoredSeries::Axis::Time;
}

// Absent groups at the edges and inside the range, OL, err and a reading
// without a unit on single channels: each line holds every group in amperes
// and breaks exactly at those.
void PlotsTest::chartBreaksAtTheRightGroups()
{
    QFETCH(StoredSeries::Axis, axis);
    constexpr qint32 kFirst = 10;
    constexpr qint32 kLast = 40;
    RecordStore store;
    store.clear();
    for (qint32 g = kFirst + 1; g < kLast; ++g) {
        if (g == 15 || g == 16 || g == 30)
            continue;
        GroupRecord r = groupRecord(g);
        if (g == 20)
            r.val[1] = record_store::kOverloadValue;
        if (g == 21)
            r.val[1] = record_store::kOverloadValue;
        if (g == 22)
            r.val[2] = record_store::kErrorValue;
        if (g == 23)
            r.val[0] = record_store::kErrorValue;
        if (g == 25)
            r.stat[0] = kNoUnit;
        if (g == 35)
            r.month = 13;  // no time: a gap on the time axis only
        store.storeRecord(g, r);
    }
    // Outside the range: never drawn.
    store.storeRecord(kFirst - 1, groupRecord(kFirst - 1));
    store.storeRecord(kLast + 1, groupRecord(kLast + 1));

    RecordingUi ui;
    QWidget mainWindow;
    StoredChartWindow window(store, ui, &mainWindow);
    chooseAxis(window, axis);
    window.showRange(kFirst, kLast - kFirst + 1, 1);

    const auto group = groupOfKey(store, axis, 1);
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(graphText(window.plot()->channel(c), group),
                 expectedText(store, c, kFirst, kLast, axis));
    }
    // The words above name the store's faults where they are.
    const QString second = graphText(window.plot()->channel(1), group);
    QVERIFY(second.contains(QStringLiteral("NaN@20 NaN@21 22:")));
    // Channel 1's err is a gap in I1 alone; I2 and I3 of that group are drawn.
    QVERIFY(graphText(window.plot()->channel(0), group).contains(QStringLiteral(" NaN@23 24:")));
    QVERIFY(second.contains(QStringLiteral(" 23:")));
    QVERIFY(second.contains(QStringLiteral(" gap 17:"))
            && second.contains(QStringLiteral(" gap 31:")));
    QCOMPARE(second.contains(QStringLiteral(" gap 36:")), axis == StoredSeries::Axis::Time);
}

void PlotsTest::chartFollowsAReadOutBlockByBlock_data()
{
    QTest::addColumn<StoredSeries::Axis>("axis");
    QTest::newRow("group numbers") << StoredSeries::Axis::Group;
    QTest::newRow("time stamps") << StoredSeries::Axis::Time;
}

// A read-out of groups 0 to 449 in blocks of 100 over a store that still
// holds an earlier read-out: after each block the chart holds exactly what a
// chart made from the store for the groups read so far holds, never the old
// groups beyond them. A group whose channel 1 reads err falls on a block's
// edge and is drawn all the same, and the
// instrument's clock is set back in the third block, which lands among the
// drawn points on the time axis; one block is told twice. Clear data leaves
// three empty lines.
void PlotsTest::chartFollowsAReadOutBlockByBlock()
{
    QFETCH(StoredSeries::Axis, axis);
    constexpr qint32 kFirst = 0;
    constexpr qint32 kCount = 450;
    constexpr qint32 kBlock = 100;
    RecordStore store;
    store.clear();
    for (qint32 g = kFirst; g < kFirst + kCount; ++g)
        store.storeRecord(g, groupRecord(g + 5000));  // the earlier read-out

    RecordingUi ui;
    QWidget mainWindow;
    StoredChartWindow window(store, ui, &mainWindow);
    chooseAxis(window, axis);
    window.startReadOut(kFirst, kCount, 1);
    for (int c = 0; c < 3; ++c)
        QVERIFY(window.plot()->channel(c)->data()->isEmpty());

    for (qint32 blockFirst = kFirst; blockFirst < kFirst + kCount; blockFirst += kBlock) {
        const qint32 blockLast = std::min(blockFirst + kBlock, kFirst + kCount) - 1;
        for (qint32 g = blockFirst; g <= blockLast; ++g) {
            GroupRecord r = groupRecord(g);
            if (g >= 250)
                stamp(r, 2 * (g - 300) + 1);  // set back 100 s, between earlier groups
            if (g == 199 || g == 200 || g == 333)
                r.val[0] = record_store::kErrorValue;  // read: drawn, with a gap in I1
            store.storeRecord(g, r);
        }
        window.addBlock(blockFirst, blockLast);
        if (blockFirst == kFirst + kBlock)
            window.addBlock(blockFirst, blockLast);  // told twice: drawn once

        StoredChartWindow whole(store, ui, &mainWindow);
        chooseAxis(whole, axis);
        whole.showRange(kFirst, blockLast - kFirst + 1, 1);
        const auto group = groupOfKey(store, axis, 1);
        for (int c = 0; c < 3; ++c) {
            const QString drawn = graphText(window.plot()->channel(c), group);
            QCOMPARE(drawn, graphText(whole.plot()->channel(c), group));
            QCOMPARE(window.plot()->channel(c)->data()->size(),
                     whole.plot()->channel(c)->data()->size());
            QVERIFY(!drawn.contains(QStringLiteral("stray")));
        }
        QVERIFY(window.plot()->channel(0)->data()->size() >= blockLast - kFirst - 2);
    }
    // The tip near group 5 is its line in the table.
    const double key5 =
        axis == StoredSeries::Axis::Time ? *StoredSeries::timeKey(store.recordAt(5), 1) : 5.0;
    QCOMPARE(
        window.tipAt(key5 + 0.3),
        QStringLiteral("<pre>%1</pre>").arg(record_table::recordText(5, store.recordAt(5), 1)));

    window.clearGroups();
    for (int c = 0; c < 3; ++c)
        QVERIFY(window.plot()->channel(c)->data()->isEmpty());
    QVERIFY(window.tipAt(100).isEmpty());
}

void PlotsTest::trendBreaksAtLinkLossesAndFollowsTheHistory_data()
{
    // `steps`: "R" a reading, "G" a link loss, "P" a second in which the poll
    // paused, one a second. `seen`: how many
    // steps happen before the window is made; after that, the window is told
    // of each step when `eachStep`, otherwise only after the last.
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("seen");
    QTest::addColumn<bool>("eachStep");
    QTest::addColumn<QString>("lines");
    QTest::newRow("a loss between readings")
        << 100 << "RRRGRR" << 0 << true << "R0 R1 R2 gap R4 R5";
    QTest::newRow("the history forgets the oldest")
        << 5 << "RRRGRRRRR" << 0 << true << "R4 R5 R6 R7 R8";
    QTest::newRow("the forgotten loss goes, a new one stays")
        << 4 << "RRGRRGR" << 0 << true << "R3 R4 gap R6";
    QTest::newRow("made after the readings") << 100 << "RRGRR" << 5 << true << "R0 R1 gap R3 R4";
    QTest::newRow("told late, history wrapped meanwhile")
        << 4 << "RRRRGRRRR" << 2 << false << "R5 R6 R7 R8";
    QTest::newRow("told late, no wrap") << 10 << "RGRRR" << 1 << false << "R0 gap R2 R3 R4";
    QTest::newRow("a paused poll") << 100 << "RRPPRR" << 0 << true << "R0 R1 gap R4 R5";
    QTest::newRow("a pause of one poll's second") << 100 << "RPRR" << 0 << true << "R0 gap R2 R3";
    QTest::newRow("a pause, told late") << 100 << "RRPRR" << 1 << false << "R0 R1 gap R3 R4";
    QTest::newRow("a pause, then a loss: one gap") << 100 << "RPPGR" << 0 << true << "R0 gap R4";
}

// Each line holds one point per reading kept in the history, at its second,
// and a gap at each link loss kept and across each pause of the poll; OL
// and a missing unit break the line too.
void PlotsTest::trendBreaksAtLinkLossesAndFollowsTheHistory()
{
    QFETCH(int, capacity);
    QFETCH(QString, steps);
    QFETCH(int, seen);
    QFETCH(bool, eachStep);
    QFETCH(QString, lines);
    constexpr qint64 kStartSeconds = 1700000000;

    LiveHistory history(capacity);
    RecordingUi ui;
    QWidget mainWindow;
    std::unique_ptr<LiveTrendWindow> window;
    for (int i = 0; i <= steps.size(); ++i) {
        if (i == seen)
            window = std::make_unique<LiveTrendWindow>(history, ui, &mainWindow);
        if (i == steps.size())
            break;
        const qint64 when = (kStartSeconds + i) * 1000;
        const bool loss = steps[i] == QLatin1Char('G');
        if (steps[i] == QLatin1Char('P'))
            continue;
        if (loss) {
            history.markGap(when);
        } else {
            // Step i's number as channel 1 in mA; channel 2 over range at
            // step 1; channel 3 without a unit at step 2.
            const quint16 raw[3] = {quint16(i), quint16(i == 1 ? 10000 : 30), quint16(40 + i)};
            const quint8 status[3] = {0x40, 0x31, quint8(i == 2 ? kNoUnit : 0x20)};
            history.appendReading(when, raw, status);
        }
        if (window && (eachStep || i == steps.size() - 1))
            loss ? window->gapAdded() : window->readingAdded();
    }

    // Channel 1 in the test's words: "R<step>" for a reading, "gap" for a
    // point without a value.
    QStringList words;
    for (const QCPGraphData &point : *window->plot()->channel(0)->data()) {
        const qint64 step = qint64(point.key) - kStartSeconds;
        if (std::isnan(point.value)) {
            words << QStringLiteral("gap");
        } else {
            QCOMPARE(point.key, double(kStartSeconds + step));  // on the second
            QCOMPARE(point.value, step / 1000.0);               // raw = step, in mA
            words << QStringLiteral("R%1").arg(step);
        }
    }
    QCOMPARE(words.join(QLatin1Char(' ')), lines);

    // The other channels have their points at the same seconds, and break
    // where their readings are not currents.
    for (int c = 1; c < 3; ++c) {
        QCPGraphDataContainer &data = *window->plot()->channel(c)->data();
        QCOMPARE(data.size(), window->plot()->channel(0)->data()->size());
        for (const QCPGraphData &point : data) {
            const qint64 step = qint64(point.key) - kStartSeconds;
            const bool betweenSeconds = point.key != double(kStartSeconds + step);
            const bool breaks = betweenSeconds || steps[int(step)] != QLatin1Char('R')
                                || (c == 1 && step == 1) || (c == 2 && step == 2);
            QCOMPARE(std::isnan(point.value), breaks);
        }
    }
}

namespace {

// How many pixels of an image are within a small distance of a colour.
int pixelsNear(const QImage &image, QColor colour)
{
    constexpr int kTolerance = 40;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green())
                    + std::abs(pixel.blue() - colour.blue())
                <= kTolerance)
                ++count;
        }
    }
    return count;
}

}  // namespace

void PlotsTest::savesAPicture_data()
{
    // `answer`: the save dialog's answer, relative to a scratch folder, empty
    // for Cancel. `existing`: a file there before. `replace`: the answer to
    // the overwrite question. `written`: the file that must then hold a new
    // picture ("" for none), `kind` its format.
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("failure");
    QTest::newRow("png") << "chart.png"
                         << "" << false << "chart.png"
                         << "png" << 0 << false;
    QTest::newRow("PDF, any case") << "chart.PDF"
                                   << "" << false << "chart.PDF"
                                   << "pdf" << 0 << false;
    QTest::newRow("a bare name becomes png") << "chart"
                                             << "" << false << "chart.png"
                                             << "png" << 0 << false;
    QTest::newRow("the dialog showed the file: no second question")
        << "chart.png"
        << "chart.png" << false << "chart.png"
        << "png" << 0 << false;
    QTest::newRow("bare name over a file, Yes") << "chart"
                                                << "chart.png" << true << "chart.png"
                                                << "png" << 1 << false;
    QTest::newRow("bare name over a file, No keeps it") << "chart"
                                                        << "chart.png" << false << ""
                                                        << "" << 1 << false;
    QTest::newRow("cancel") << ""
                            << "" << false << ""
                            << "" << 0 << false;
    QTest::newRow("a folder that is not there") << "missing/chart.png"
                                                << "" << false << ""
                                                << "" << 0 << true;
}

// The chart, shown with groups in it, saved through the save dialog: a PNG
// that is no blank page (many colours, the three lines' among them), a PDF,
// and the file that was there kept whenever the user does not replace it.
void PlotsTest::savesAPicture()
{
    QFETCH(QString, answer);
    QFETCH(QString, existing);
    QFETCH(bool, replace);
    QFETCH(QString, written);
    QFETCH(QString, kind);
    QFETCH(int, questions);
    QFETCH(bool, failure);
    constexpr qint32 kGroups = 500;
    RecordStore store;
    store.clear();
    // Each channel in a band of its own, 1, 2 and 3 A, so no line hides another.
    for (qint32 g = 1; g <= kGroups; ++g) {
        GroupRecord r = groupRecord(g);
        for (int c = 0; c < 3; ++c) {
            r.val[c] = quint16(1000 * (c + 1) + g * 37 % 500);
            r.stat[c] = 0x40;
        }
        store.storeRecord(g, r);
    }
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QByteArray oldContents = "an earlier file";
    if (!existing.isEmpty()) {
        QFile file(folder.filePath(existing));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oldContents) > 0);
    }

    RecordingUi ui;
    if (!answer.isEmpty())
        ui.saveAnswer = folder.filePath(answer);
    ui.questionAnswer = replace;
    QWidget mainWindow;
    StoredChartWindow window(store, ui, &mainWindow);
    window.showRange(1, kGroups, 1);
    window.openOrRaise();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.savePicture();

    QCOMPARE(ui.saveDialogs, 1);
    QVERIFY(ui.lastSaveFilters.first().contains(QStringLiteral("*.png")));
    QCOMPARE(ui.questions.size(), questions);
    if (questions > 0)
        QCOMPARE(ui.questions.first().text,
                 export_target::replaceQuestion(QStringLiteral("chart.png")));
    QCOMPARE(ui.messages.size(), failure ? 1 : 0);
    if (failure)
        QVERIFY(ui.messages.first().text.startsWith(QStringLiteral("保存失败")));

    if (!existing.isEmpty() && written != existing) {
        QFile kept(folder.filePath(existing));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), oldContents);
    }
    // Nothing else is left in the folder: no temporary file, no stray name.
    QStringList expectedFiles;
    if (!existing.isEmpty())
        expectedFiles << existing;
    if (!written.isEmpty() && !expectedFiles.contains(written))
        expectedFiles << written;
    expectedFiles.sort();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), expectedFiles);
    if (written.isEmpty())
        return;

    QFile file(folder.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contents = file.readAll();
    if (kind == QLatin1String("pdf")) {
        QVERIFY(contents.startsWith("%PDF-"));
        return;
    }
    QImage image;
    QVERIFY(image.loadFromData(contents, "PNG"));
    QCOMPARE(image.size(), window.plot()->size());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 20, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
    // Each line leaves a trace of its own colour, longer than the legend's sample.
    for (int c = 0; c < 3; ++c) {
        const int traced = pixelsNear(image, window.plot()->channel(c)->pen().color());
        QVERIFY2(traced > 100, qPrintable(QStringLiteral("I%1: %2 pixels").arg(c + 1).arg(traced)));
    }
}

QTEST_MAIN(PlotsTest)
#include "test_plots.moc"
