// Read-out speed: storeBlock of a 1000-group block, and whole read-outs through
// a pseudo-terminal from the simulator, at full speed and at the real line rate.
// Each figure stands next to a baseline measured in the same run.
#include "core/link/frames.h"
#include "gui/form2.h"
#include "support/form1_harness.h"
#include "support/read_out.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <sys/resource.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr qint32 kBlock = frames::kBlockGroups;

// A 1000-group block reply taken and stored, with the window's progress bar
// following, and the next block requested: one block of a long read-out.
void BM_StoreBlock(benchmark::State &state)
{
    Form1Harness h;
    h.form->show();              // the progress bar really repaints
    startReadOut(h, 1, 200000);  // a long range: no block but the last completes it
    QByteArray reply = blockReplyFor(h.takeWrites().last(), sampleRecord);
    for (auto _ : state) {
        h.receiveBlock(reply);
        state.PauseTiming();
        reply = blockReplyFor(h.takeWrites().last(), sampleRecord);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
// The read-out has 200 blocks; the last would complete it.
BENCHMARK(BM_StoreBlock)->Iterations(150)->Unit(benchmark::kMillisecond);

// Baseline: decoding the same 1000 records into plain arrays.
void BM_StoreBlockBaseline(benchmark::State &state)
{
    const QByteArray rx = blockReplyFor(bytes({0xAA, 0, 0, 1, 0, 10, 0, 0x55}), sampleRecord);
    std::vector<quint16> values(3 * kBlock);
    std::vector<quint8> rest(10 * kBlock);
    for (auto _ : state) {
        const auto *b = reinterpret_cast<const quint8 *>(rx.constData());
        for (int k = 0; k < kBlock; ++k, b += frames::kRecordLength) {
            for (int c = 0; c < 3; ++c) {
                values[3 * k + c] = quint16(b[1 + 3 * c] * 100 + b[2 + 3 * c]);
                rest[10 * k + c] = b[3 + 3 * c];
            }
            for (int i = 0; i < 6; ++i)
                rest[10 * k + 3 + i] = b[10 + i];
            rest[10 * k + 9] = b[18];
        }
        benchmark::DoNotOptimize(values.data());
        benchmark::DoNotOptimize(rest.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_StoreBlockBaseline)->Unit(benchmark::kMillisecond);

// Read, range 1 to n, OK: the time from OK to the completion message; with
// `chartOpen`, the chart of the stored groups follows the read-out.
sim::SimOptions simulator(qint32 groups, bool lineRate)
{
    sim::SimOptions options;
    options.instrument.groups = groups;
    options.lineRate = lineRate;
    return options;
}

// An FTDI adapter at its default latency timer, on the paced line: 62-byte
// packets, the last, partial one of each reply 16 ms late.
sim::SimOptions behindAnFtdiAdapter(qint32 groups)
{
    sim::SimOptions options = simulator(groups, true);
    options.adapter.packetBytes = 62;
    options.adapter.latencyMs = 16;
    return options;
}

double readOutSeconds(const sim::SimOptions &options, bool chartOpen = false)
{
    const qint32 groups = options.instrument.groups;
    const bool lineRate = options.lineRate;
    SimWindow w(options);
    if (!waitUntil([&] { return w.isLinked(); }, 5000))
        return -1;
    if (chartOpen)
        w.form->mnuChart_Click();
    w.form->Command2_Click();
    if (!waitUntil([&] { return w.form->readRangeDialog() != nullptr; }, 5000))
        return -1;
    Form2 *dialog = w.form->readRangeDialog();
    dialog->Text1->setText(QStringLiteral("1"));
    dialog->Text2->setText(QString::number(groups));
    QElapsedTimer clock;
    clock.start();
    dialog->Command1_Click();
    const int timeoutMs = lineRate ? 120000 : 60000;
    if (!waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, timeoutMs))
        return -1;
    return clock.elapsed() / 1000.0;
}

// Baseline: the same block requests answered by the same simulator, read by a
// bare POSIX client with no window, no serial stack and no framing check: it
// asks for the next block the moment the last byte is in.
double rawTransferSeconds(const sim::SimOptions &options)
{
    const qint32 groups = options.instrument.groups;
    QTemporaryDir dir;
    sim::PtyInstrument instrument(dir.path(), 3, options);
    const int fd = ::open(QFile::encodeName(instrument.linkPath()).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    QElapsedTimer clock;
    clock.start();
    char buf[65536];
    for (qint32 first = 1; first <= groups; first += kBlock) {
        const qint32 last = std::min(first + kBlock - 1, groups);
        const frames::Frame f = frames::blockFrame(first, last);
        if (::write(fd, f.data(), f.size()) != qint64(f.size()))
            return -1;
        qint64 want = qint64(last - first + 1) * frames::kRecordLength;
        while (want > 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                want -= n;
        }
    }
    const double seconds = clock.elapsed() / 1000.0;
    ::close(fd);
    return seconds;
}

void BM_ReadOut200000FullSpeed(benchmark::State &state)
{
    for (auto _ : state) {
        const double ours = readOutSeconds(simulator(200000, false));
        const double raw = rawTransferSeconds(simulator(200000, false));
        state.counters["harlune_s"] = ours;
        state.counters["raw_pty_s"] = raw;
        state.counters["ratio"] = raw > 0 ? ours / raw : 0;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
    }
}
BENCHMARK(BM_ReadOut200000FullSpeed)->Iterations(1)->Unit(benchmark::kSecond);

// 10000 groups at 115200 baud: 200000 bytes on the line take 200000 / 11520 s.
// Against the line time, and against the bare client on the same paced line,
// whose difference is what the window, the serial stack and the framing check
// (a quiet window after every block) cost.
void BM_ReadOut10000LineRate(benchmark::State &state)
{
    constexpr double kLineSeconds = 10000.0 * frames::kRecordLength / 11520.0;
    for (auto _ : state) {
        const double ours = readOutSeconds(simulator(10000, true));
        const double raw = rawTransferSeconds(simulator(10000, true));
        state.counters["harlune_s"] = ours;
        state.counters["raw_paced_s"] = raw;
        state.counters["line_time_s"] = kLineSeconds;
        state.counters["over_line_time_pct"] = (ours / kLineSeconds - 1.0) * 100.0;
        state.counters["over_raw_pct_of_line"] = (ours - raw) / kLineSeconds * 100.0;
    }
}
BENCHMARK(BM_ReadOut10000LineRate)->Iterations(1)->Unit(benchmark::kSecond);

// The same behind an FTDI adapter at its default 16 ms latency timer: each
// block waits for the quiet window the adapter's pauses call for.
void BM_ReadOut10000BehindA16msAdapter(benchmark::State &state)
{
    constexpr double kLineSeconds = 10000.0 * frames::kRecordLength / 11520.0;
    for (auto _ : state) {
        const double ours = readOutSeconds(behindAnFtdiAdapter(10000));
        const double raw = rawTransferSeconds(behindAnFtdiAdapter(10000));
        state.counters["harlune_s"] = ours;
        state.counters["raw_same_adapter_s"] = raw;
        state.counters["line_time_s"] = kLineSeconds;
        state.counters["over_raw_pct_of_line"] = (ours - raw) / kLineSeconds * 100.0;
    }
}
BENCHMARK(BM_ReadOut10000BehindA16msAdapter)->Iterations(1)->Unit(benchmark::kSecond);

// The same with the chart of the stored groups open, growing block by block:
// against the line time, and against the same read-out without the chart.
void BM_ReadOut10000LineRateChartOpen(benchmark::State &state)
{
    constexpr double kLineSeconds = 10000.0 * frames::kRecordLength / 11520.0;
    for (auto _ : state) {
        const double withChart = readOutSeconds(simulator(10000, true), true);
        const double without = readOutSeconds(simulator(10000, true));
        state.counters["chart_open_s"] = withChart;
        state.counters["no_chart_s"] = without;
        state.counters["over_line_time_pct"] = (withChart / kLineSeconds - 1.0) * 100.0;
        state.counters["chart_cost_pct_of_line"] = (withChart - without) / kLineSeconds * 100.0;
    }
}
BENCHMARK(BM_ReadOut10000LineRateChartOpen)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
