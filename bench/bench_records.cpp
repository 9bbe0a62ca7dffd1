// Record table and Clear data: Clear data on a full-size store (reset of every
// slot and a listing of 1 to 200000, all absent) and the listing of 1000
// present groups, each next to a baseline measured in the same run.
#include "core/records/record_table.h"
#include "platform/rich_text_box.h"
#include "support/form1_harness.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr qint32 kListedGroups = 1000;

// The window over an instrument on a fake port: no timer fires by itself and
// nothing touches a real device.
struct Fixture {
    // Groups 1 to 1000 present, with readings of every width, overload and
    // error, read out from the instrument, time stamps with seconds.
    void fillListedGroups()
    {
        window.secondsFlag(1);
        window.storeGroups(1, kListedGroups, [](qint32 g) {
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
            return r;
        });
    }

    Form1Harness window;
};

// Made in main, after the application object, and destroyed before it.
Fixture *theFixture = nullptr;

Fixture &fixture() { return *theFixture; }

// ---- Clear data ---------------------------------------------------------------

void BM_ClearData(benchmark::State &state)
{
    Instrument &core = *fixture().window.core;
    for (auto _ : state) {
        core.clearData();
        benchmark::DoNotOptimize(core.store());
    }
}
BENCHMARK(BM_ClearData)->Unit(benchmark::kMillisecond);

// Baseline: only emptying the store, no listing.
void BM_ClearDataBaselineFill(benchmark::State &state)
{
    RecordStore store;
    for (auto _ : state) {
        store.clear();
        benchmark::DoNotOptimize(store);
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
        f.window.core->listRecords(1, kListedGroups);
    f.window.core->clearData();
}
BENCHMARK(BM_ListRecords1000)->Unit(benchmark::kMillisecond);

// The table text alone, without the view.
void BM_TableText1000(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    const Instrument &core = *f.window.core;
    const auto lookup = [&core](qint32 g) -> std::optional<GroupRecord> {
        if (!core.store().isPresent(g))
            return std::nullopt;
        return core.store().recordAt(g);
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(record_table::viewText(1, kListedGroups, core.secFlag(), lookup));
    f.window.core->clearData();
}
BENCHMARK(BM_TableText1000)->Unit(benchmark::kMillisecond);

// The same text built the naive way: every reading through the text-taking
// formatter and the padding routine, every field through QString::arg.
QString naiveTable(Instrument &core)
{
    QString out = record_table::headerText();
    const auto record = [&core](qint32 g) {
        QString fields;
        const GroupRecord r = core.store().recordAt(g);
        for (int c = 0; c < 3; ++c) {
            testing(core).fmtReading(QString::number(r.val[c]), QString::number(r.stat[c]));
            const QString text = testing(core).fmtText();
            fields +=
                QString(record_table::paddingFor(quint8(8 - text.size())), QLatin1Char(' ')) + text;
        }
        const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        QString text =
            QStringLiteral("NO.%1%2  20%3/%4/%5/%6:%7")
                .arg(g, 6, 10, QLatin1Char('0'))
                .arg(fields, two(r.year), two(r.month), two(r.day), two(r.hour), two(r.minute));
        if (core.secFlag() == 1)
            text += QStringLiteral(":%1").arg(two(r.second));
        return text;
    };
    for (qint32 g = 1; g <= kListedGroups; g += 2) {
        const bool left = core.store().isPresent(g);
        const bool right = g < kListedGroups && core.store().isPresent(g + 1);
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
    f.window.core->listRecords(1, kListedGroups);
    if (naiveTable(*f.window.core) != f.window.RichTextBox1->Text())
        state.SkipWithError("naive table differs from the listing");
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveTable(*f.window.core));
    f.window.core->clearData();
}
BENCHMARK(BM_TableText1000BaselineNaive)->Unit(benchmark::kMillisecond);

// For scale: what a scratch-file round trip of the finished text alone costs
// (write, read back, delete), the way the table used to reach the view.
void BM_ScratchFileRoundTrip1000(benchmark::State &state)
{
    Fixture &f = fixture();
    f.fillListedGroups();
    f.window.core->listRecords(1, kListedGroups);
    const QString text = f.window.RichTextBox1->Text();
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
    f.window.core->clearData();
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
