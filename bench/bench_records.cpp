// Record table and Clear data: Clear data on a full-size store (reset of every
// slot and a listing of 1 to 200000, all absent) and the listing of 1000
// present groups, each next to a baseline measured in the same run.
#include "core/records/record_table.h"
#include "platform/mscomm.h"
#include "platform/qt_serial_io.h"
#include "platform/rich_text_box.h"
#include "support/recording_ui.h"
#include "window/form1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr qint32 kListedGroups = 1000;

struct Fixture {
    // No Form_Load: no timer runs and the port stays closed, so nothing
    // touches a real device.
    Fixture() : comm(std::make_unique<QtSerialIo>()), form(&comm, &dialogs)
    {
        form.emptyRecordStore();
    }

    // Groups 1 to 1000 present, with readings of every width, overload and error.
    void fillListedGroups()
    {
        for (qint32 g = 1; g <= kListedGroups; ++g) {
            GroupRecord r;
            r.val[0] = quint16(g * 25 % 25756);
            r.val[1] = g % 97 == 0 ? quint16(10000) : quint16(g * 7);
            r.val[2] = g % 89 == 0 ? quint16(20000) : quint16(25755 - g);
            r.stat[0] = 0x41;
            r.stat[1] = quint8(0x42 + g % 2);
            r.stat[2] = 0x30;
            r.year = 21;
            r.month = quint8(1 + g % 12);
            r.day = quint8(1 + g % 28);
            r.hour = quint8(g % 24);
            r.minute = quint8(g % 60);
            r.second = quint8(g % 60);
            form.storeRecord(g, r);
        }
        form.secFlag = 1;
    }

    RecordingUi dialogs;
    MSComm comm;
    Form1 form;
};

// Made in main, after the application object, and destroyed before it.
Fixture *theFixture = nullptr;

Fixture &fixture() { return *theFixture; }

// ---- Clear data ---------------------------------------------------------------

void BM_ClearData(benchmark::State &state)
{
    Form1 &form = fixture().form;
    for (auto _ : state) {
        form.Command4_Click();
        benchmark::DoNotOptimize(form.recordStore);
    }
}
BENCHMARK(BM_ClearData)->Unit(benchmark::kMillisecond);

// Baseline: only emptying the store, no listing.
void BM_ClearDataBaselineFill(benchmark::State &state)
{
    Form1 &form = fixture().form;
    for (auto _ : state) {
        form.emptyRecordStore();
        benchmark::DoNotOptimize(form.recordStore);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearDataBaselineFill)->Unit(benchmark::kMillisecond);

// ---- Listing 1000 present groups ------------------------------------------------

// The whole listing, the record view's setText included.
void BM_ListRecords1000(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    for (auto _ : state)
        f.form.listRecords(1, kListedGroups);
    f.form.Command4_Click();
}
BENCHMARK(BM_ListRecords1000)->Unit(benchmark::kMillisecond);

// The table text alone, without the view.
void BM_TableText1000(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    Form1 &form = f.form;
    const auto lookup = [&form](qint32 g) -> std::optional<GroupRecord> {
        if (!form.recordStore.isPresent(g))
            return std::nullopt;
        return form.recordAt(g);
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(record_table::viewText(1, kListedGroups, form.secFlag, lookup));
    f.form.Command4_Click();
}
BENCHMARK(BM_TableText1000)->Unit(benchmark::kMillisecond);

// The same text built the naive way: every reading through the text-taking
// formatter and the padding routine, every field through QString::arg.
QString naiveTable(Form1 &form)
{
    QString out = record_table::headerText();
    const auto record = [&form](qint32 g) {
        QString fields;
        const GroupRecord r = form.recordAt(g);
        for (int c = 0; c < 3; ++c) {
            form.fmtReading(QString::number(r.val[c]), QString::number(r.stat[c]));
            const QString text = form.fmtText;
            fields +=
                QString(record_table::paddingFor(quint8(8 - text.size())), QLatin1Char(' ')) + text;
        }
        const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        QString text =
            QStringLiteral("NO.%1%2  20%3/%4/%5/%6:%7")
                .arg(g, 6, 10, QLatin1Char('0'))
                .arg(fields, two(r.year), two(r.month), two(r.day), two(r.hour), two(r.minute));
        if (form.secFlag == 1)
            text += QStringLiteral(":%1").arg(two(r.second));
        return text;
    };
    for (qint32 g = 1; g <= kListedGroups; g += 2) {
        const bool left = form.recordStore.isPresent(g);
        const bool right = g < kListedGroups && form.recordStore.isPresent(g + 1);
        if (!left && !right)
            continue;
        out += (left ? record(g) : QString()) + QStringLiteral("     ")
               + (right ? record(g + 1) : QString()) + QStringLiteral("\r\n");
    }
    return out;
}

void BM_TableText1000BaselineNaive(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    // The baseline must build the very text the listing shows.
    f.form.listRecords(1, kListedGroups);
    if (naiveTable(f.form) != f.form.RichTextBox1->Text())
        state.SkipWithError("naive table differs from the listing");
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveTable(f.form));
    f.form.Command4_Click();
}
BENCHMARK(BM_TableText1000BaselineNaive)->Unit(benchmark::kMillisecond);

// For scale: what a scratch-file round trip of the finished text alone costs
// (write, read back, delete), the way the table used to reach the view.
void BM_ScratchFileRoundTrip1000(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    f.form.listRecords(1, kListedGroups);
    const QString text = f.form.RichTextBox1->Text();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lishi.txt"));
    for (auto _ : state) {
        QFile out(path);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(text.toLocal8Bit());
        out.close();
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(QString::fromLocal8Bit(in.readAll()));
        in.close();
        QFile::remove(path);
    }
    f.form.Command4_Click();
}
BENCHMARK(BM_ScratchFileRoundTrip1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto fixtureOwner = std::make_unique<Fixture>();
    theFixture = fixtureOwner.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
