// How long the port search takes for a whole cycle over COM1 to COM16 with no
// instrument anywhere, when none, one or two of the ports open (devices that
// answer the probe with an echo, so each keeps its whole probe window).
// Prints the mean time between two visits of COM1, over a few cycles, with
// the pace of a cycle in which no port opens as the baseline from the same run.
#include "sim/pty_instrument.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kCycles = 5;
constexpr int kTimeoutMs = 30000;

// Mean milliseconds between visits of COM1 while `openPorts` hold devices that never answer.
double cycleMs(const std::vector<int> &openPorts)
{
    SimWindow w;
    w.killInstrument();
    std::vector<std::unique_ptr<sim::PtyInstrument>> talkers;
    sim::SimOptions echo;
    echo.instrument.talker = sim::Talker::Echo;
    for (int port : openPorts)
        talkers.push_back(std::make_unique<sim::PtyInstrument>(w.portDir.path(), port, echo));

    const QString com1 = w.deviceOf(1);
    std::vector<qint64> visits;
    QElapsedTimer clock;
    clock.start();
    qsizetype seen = 0;
    waitUntil(
        [&] {
            for (; seen < w.io->openAttempts.size(); ++seen) {
                if (w.io->openAttempts[seen] == com1)
                    visits.push_back(clock.elapsed());
            }
            return int(visits.size()) > kCycles;
        },
        kTimeoutMs);
    if (int(visits.size()) <= kCycles)
        return -1;
    return double(visits.back() - visits.front()) / double(visits.size() - 1);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double none = cycleMs({});
    std::printf("search cycle over 16 ports, no port opens:  %7.1f ms\n", none);
    for (const std::vector<int> &open : {std::vector<int>{2}, std::vector<int>{2, 9}}) {
        const double ms = cycleMs(open);
        std::printf("search cycle over 16 ports, %zu port(s) open: %7.1f ms  (%.2f x baseline)\n",
                    open.size(), ms, none > 0 ? ms / none : 0.0);
    }
    return 0;
}
