// Save of a full record store (200000 groups) to .xlsx: our time and peak
// memory, against Debian's python3-xlsxwriter writing the same cells in the
// same run.
#include "core/export/sheet_rows.h"
#include "support/form1_harness.h"

#include "process_memory.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

constexpr qint32 kFirstGroup = 1;
constexpr qint32 kGroups = 200000;
constexpr int kPythonTimeoutMs = 10 * 60 * 1000;

// The same cells written by python3-xlsxwriter in its constant-memory mode.
// The texts come ready-made from a file that is read before the clock starts,
// so the baseline does no formatting at all.
constexpr char kPythonWriter[] = R"PY(
import sys, time, xlsxwriter
with open(sys.argv[1], encoding="utf-8") as f:
    lines = [line.rstrip("\n").split("\t") for line in f]
widths, headers, rows = [float(w) for w in lines[0]], lines[1], lines[2:]
start = time.perf_counter()
book = xlsxwriter.Workbook(sys.argv[2], {"constant_memory": True, "tmpdir": sys.argv[3]})
sheet = book.add_worksheet()
centre = book.add_format({"align": "center"})
for column, width in enumerate(widths):
    sheet.set_column(column, column, width)
sheet.merge_range(0, 0, 0, 4, "Harlune", centre)
for column, header in enumerate(headers):
    sheet.write_string(1, column, header, centre)
for r, row in enumerate(rows, start=2):
    for column in range(5):
        sheet.write_string(r, column, row[column], centre)
    sheet.write_number(r, 5, int(row[5]))
book.close()
print(time.perf_counter() - start)
)PY";

// The window with a full store: the groups came in by a read-out of the
// whole range from a fake port, time stamps with seconds.
struct Fixture {
    Fixture()
    {
        // Readings of every kind: scaled, whole, overload, error; all units.
        constexpr quint8 kStatuses[] = {0x41, 0x42, 0x43, 0x31, 0x20, 0x50};
        QRandomGenerator random(2021);
        const auto record = [&](qint32) {
            auto reading = [&] {
                const quint32 roll = random.bounded(100);
                return quint16(roll == 0 ? 10000 : roll == 1 ? 20000 : random.bounded(25756));
            };
            auto status = [&] { return kStatuses[random.bounded(int(std::size(kStatuses)))]; };
            GroupRecord r;
            for (quint16 &value : r.val)
                value = reading();
            for (quint8 &stat : r.stat)
                stat = status();
            r.year = quint8(random.bounded(100));
            r.month = quint8(1 + random.bounded(12));
            r.day = quint8(1 + random.bounded(31));
            r.hour = quint8(random.bounded(24));
            r.minute = quint8(random.bounded(60));
            r.second = quint8(random.bounded(60));
            r.charge = quint8(random.bounded(256));
            return r;
        };
        window.secondsFlag(1);
        window.storeGroups(kFirstGroup, kFirstGroup + kGroups - 1, record);
        window.dialogs.messages.clear();  // the read-out's completion
    }

    Form1Harness window;
    QTemporaryDir dir;
};

Fixture *fixture = nullptr;
double ourBestSeconds = 0;
double pythonSeconds = 0;
double peakAddedMiB = 0;
double peakTotalMiB = 0;

void BM_ExportXlsx(benchmark::State &state)
{
    const QString path = fixture->dir.filePath(QStringLiteral("ours.xlsx"));
    for (auto _ : state) {
        const double before = process_memory::statusMiB("VmRSS:");
        const bool peakReset = process_memory::resetPeak();
        QElapsedTimer clock;
        clock.start();
        fixture->window.form->exportSheet(path);
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (!fixture->window.dialogs.messages.isEmpty() || !QFileInfo(path).isFile()) {
            state.SkipWithError("the export failed");
            return;
        }
        if (ourBestSeconds == 0 || seconds < ourBestSeconds)
            ourBestSeconds = seconds;
        peakTotalMiB = process_memory::statusMiB("VmHWM:");
        if (peakReset)
            peakAddedMiB = std::max(peakAddedMiB, peakTotalMiB - before);
    }
    state.counters["file_MB"] =
        QFileInfo(path).size() / (process_memory::kKiBPerMiB * process_memory::kKiBPerMiB);
    state.counters["peak_added_MiB"] = peakAddedMiB;
}

// Writes the cell texts for the Python writer: widths, headers, then one line per group.
bool writeCells(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    const Instrument &core = *fixture->window.core;
    auto rowOf = [&core](qint32 g) {
        return sheet_rows::rowCells(g, core.store().recordAt(g), core.secFlag());
    };
    sheet_rows::ColumnFit fit;
    for (qint32 g = kFirstGroup; g < kFirstGroup + kGroups; ++g)
        fit.addRow(rowOf(g));
    QStringList widths;
    for (int column = 0; column < sheet_rows::kColumnCount; ++column)
        widths << QString::number(fit.width(column));
    out << widths.join(QLatin1Char('\t')) << '\n';
    const std::array<QString, sheet_rows::kColumnCount> header = sheet_rows::headers();
    out << QStringList(header.begin(), header.end()).join(QLatin1Char('\t')) << '\n';
    for (qint32 g = kFirstGroup; g < kFirstGroup + kGroups; ++g) {
        const sheet_rows::RowCells row = rowOf(g);
        for (const QString &text : row.texts)
            out << text << '\t';
        out << row.charge << '\n';
    }
    return out.status() == QTextStream::Ok;
}

void BM_PythonXlsxwriter(benchmark::State &state)
{
    const QString cells = fixture->dir.filePath(QStringLiteral("cells.tsv"));
    const QString script = fixture->dir.filePath(QStringLiteral("writer.py"));
    QFile scriptFile(script);
    if (!writeCells(cells) || !scriptFile.open(QIODevice::WriteOnly)
        || scriptFile.write(kPythonWriter) < 0) {
        state.SkipWithError("cannot prepare the Python baseline");
        return;
    }
    scriptFile.close();
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {script, cells, fixture->dir.filePath(QStringLiteral("python.xlsx")),
                      fixture->dir.path()});
        if (!python.waitForFinished(kPythonTimeoutMs) || python.exitCode() != 0) {
            state.SkipWithError(python.readAllStandardError().constData());
            return;
        }
        pythonSeconds = python.readAllStandardOutput().trimmed().toDouble();
        state.SetIterationTime(pythonSeconds);
    }
}

BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PythonXlsxwriter)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fixture shared;
    fixture = &shared;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nSave of %d groups to .xlsx\n", kGroups);
    std::printf("  ours (best of 3):        %8.0f ms   (goal <= 3000 ms)\n", ourBestSeconds * 1e3);
    std::printf("  python3-xlsxwriter:      %8.0f ms   (same cells, texts prepared in advance)\n",
                pythonSeconds * 1e3);
    if (ourBestSeconds > 0 && pythonSeconds > 0)
        std::printf("  ratio python / ours:     %8.1f x   (goal >= 3)\n",
                    pythonSeconds / ourBestSeconds);
    std::printf("  peak RSS added by export:%8.1f MiB (goal <= 100 MiB)\n", peakAddedMiB);
    std::printf("  peak RSS of the process: %8.1f MiB (record store and Qt included)\n",
                peakTotalMiB);
    return 0;
}
