// harlune-cli read --all of 200000 groups from the simulator at full speed,
// to .xlsx and to .csv, against the window doing the same in the same run:
// linking, Read, OK on the whole range, the completion, then Save to .xlsx.
// Both read from the same harlune-sim process, one after the other, and each
// is timed from its start to its file being written; the command line's time
// includes starting the process. Goal: the command line within 10 % of the
// window.
#include "core/instrument.h"
#include "core/port_options.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "platform/qt_serial_io.h"
#include "support/cli_process.h"
#include "support/recording_ui.h"
#include "support/sim_process.h"
#include "support/wait.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kGroups = 200000;
constexpr int kPort = 3;
constexpr int kLinkMs = 10000;
constexpr int kRunMs = 10 * 60 * 1000;
constexpr double kGoalRatio = 1.10;

QTemporaryDir *ports = nullptr;
QTemporaryDir *files = nullptr;

struct Best {
    double seconds = 0;
    void take(double s)
    {
        if (seconds == 0 || s < seconds)
            seconds = s;
    }
};
Best windowRead, windowTotal, cliXlsx, cliCsv;

// The window from start-up to its saved workbook; the read-out's part in
// *readSeconds. Negative when a step did not happen.
double windowSeconds(const QString &workbook, double *readSeconds)
{
    Instrument core(std::make_unique<QtSerialIo>());
    RecordingUi dialogs;
    Form1 form(&core, &dialogs);
    form.endProgram = [] {};
    // As harlune --port 3: the search probes the simulator's port first.
    port_options::apply({ports->path(), kPort}, core);
    QElapsedTimer clock;
    clock.start();
    form.Form_Load();
    if (!waitUntil([&] { return core.commOk() == 1; }, kLinkMs))
        return -1;
    form.Command2_Click();
    if (!waitUntil([&] { return form.readRangeDialog() != nullptr; }, kLinkMs))
        return -1;
    Form2 *dialog = form.readRangeDialog();
    dialog->Text1->setText(QStringLiteral("1"));
    dialog->Text2->setText(QString::number(kGroups));
    const qint64 okAt = clock.elapsed();
    dialog->Command1_Click();
    if (!waitUntil([&] { return !dialogs.messages.isEmpty(); }, kRunMs))
        return -1;
    *readSeconds = (clock.elapsed() - okAt) / 1000.0;
    form.exportSheet(workbook);
    const double seconds = clock.elapsed() / 1000.0;
    return dialogs.messages.size() == 1 && QFileInfo(workbook).isFile() ? seconds : -1;
}

// harlune-cli --port 3 read --all -o <file>, from its start to its end.
double cliSeconds(const QString &file)
{
    CliProcess cli(ports->path());
    if (!cli.run({"--port", QString::number(kPort), "read", "--all", "--quiet", "-o", file}, kRunMs)
        || cli.exitCode() != 0 || !QFileInfo(file).isFile())
        return -1;
    return cli.elapsedMs() / 1000.0;
}

void BM_WindowReadAndSave(benchmark::State &state)
{
    for (auto _ : state) {
        double read = 0;
        const double seconds = windowSeconds(files->filePath(QStringLiteral("window.xlsx")), &read);
        if (seconds < 0) {
            state.SkipWithError("the window's read-out or save failed");
            return;
        }
        windowRead.take(read);
        windowTotal.take(seconds);
        state.SetIterationTime(seconds);
    }
}

void BM_CliRead(benchmark::State &state, const char *name, Best *best)
{
    for (auto _ : state) {
        const double seconds = cliSeconds(files->filePath(QLatin1String(name)));
        if (seconds < 0) {
            state.SkipWithError("harlune-cli failed");
            return;
        }
        best->take(seconds);
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(BM_WindowReadAndSave)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_CliRead, xlsx, "cli.xlsx", &cliXlsx)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_CliRead, csv, "cli.csv", &cliCsv)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void printRatio(const char *what, const Best &ours)
{
    if (ours.seconds <= 0 || windowTotal.seconds <= 0)
        return;
    std::printf("  %-34s %6.2f s   %5.2f x the window (goal <= %.2f)\n", what, ours.seconds,
                ours.seconds / windowTotal.seconds, kGoalRatio);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir portDir;
    QTemporaryDir fileDir;
    ports = &portDir;
    files = &fileDir;
    SimProcess simulator;
    if (!simulator.start(portDir.path(), kPort, {"--groups", QString::number(kGroups)})) {
        std::fprintf(stderr, "bench_cli: the simulator did not start\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nRead-out of %d groups at full speed, best of 3, from start to file\n", kGroups);
    std::printf("  %-34s %6.2f s   (the read-out alone %.2f s)\n", "window: link, read, save .xlsx",
                windowTotal.seconds, windowRead.seconds);
    printRatio("harlune-cli read --all -o .xlsx", cliXlsx);
    printRatio("harlune-cli read --all -o .csv", cliCsv);
    return 0;
}
